#include "keyseq/hotkey.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"
#include "keyseq/key_names.h"
#include "keyseq/key_sequence.h"

namespace {

HotkeyRecord Load(const std::string& text) {
    KeyAction record;
    CopyBounded(record.text, text);
    ParseKeySequence(record);
    HotkeyRecord hotkey;
    HotkeyFromKeyAction(record, hotkey);
    return hotkey;
}

std::string Save(const HotkeyRecord& hotkey) {
    KeyAction record;
    FormatKeySequence(hotkey, record);
    return record.text;
}

struct RoundTrip {
    const char* stored;
    uint16_t virtualKey;
    uint16_t flags;
    const char* saved;
};

const RoundTrip kRoundTrips[] = {
    {"1-DOWN", 0x28, 8, "1-DOWN"},
    {"0-Enter", 0x0D, 0, "0-ENTER"},
    // Modifiers in any order are saved in the fixed order of the prefixes.
    {"0-A-C-F5", 0x74, 6, "0-C-A-F5"},
    {"0-S-C-X", 0x58, 3, "0-C-S-X"},
    {"0-A-S-X", 0x58, 5, "0-S-A-X"},
    {"1-C-A-S-F12", 0x7B, 15, "1-S-C-A-F12"},
    {"0-s-home", 0x24, 1, "0-S-HOME"},
    {"0-a-tab", 0x09, 4, "0-A-TAB"},
    // Browser keys keep their names.
    {"0-BrowserBack", 0xA6, 0, "0-BROWSERBACK"},
    {"0-C-browserfav", 0xAB, 2, "0-C-BROWSERFAV"},
    // "+" is saved as "=", which reads back as the same key.
    {"0-C-+", 0xBB, 2, "0-C-="},
    {"0--", 0xBD, 0, "0--"},
    {"0-S-;", 0xBA, 1, "0-S-;"},
    // Modifiers alone, and nothing at all.
    {"0-C-", 0, 2, "0-C-"},
    {"", 0, 0, "0-"},
    {"0-C-NOSUCHKEY", 0, 2, "0-C-"},
};

TEST(Hotkey, LoadsAndSavesStoredTexts) {
    for (const RoundTrip& c : kRoundTrips) {
        SCOPED_TRACE(std::string("stored \"") + c.stored + "\"");
        HotkeyRecord hotkey = Load(c.stored);
        EXPECT_EQ(hotkey.virtualKey, c.virtualKey);
        EXPECT_EQ(hotkey.modifierFlags, c.flags);
        std::string saved = Save(hotkey);
        EXPECT_EQ(saved, c.saved);
        HotkeyRecord again = Load(saved);
        EXPECT_EQ(again.virtualKey, c.virtualKey);
        EXPECT_EQ(again.modifierFlags, c.flags);
    }
}

// Every saved table holds these prefixes; the reader takes the letters in any order, so a
// changed order would pass a round trip and still rewrite every user's file.
TEST(Hotkey, EachModifierValueSavesItsOwnPrefix) {
    const char* const kSaved[16] = {
        "0-X", "0-S-X", "0-C-X", "0-C-S-X", "0-A-X", "0-S-A-X", "0-C-A-X", "0-S-C-A-X",
        "1-X", "1-S-X", "1-C-X", "1-C-S-X", "1-A-X", "1-S-A-X", "1-C-A-X", "1-S-C-A-X",
    };
    for (uint16_t flags = 0; flags < 16; ++flags) {
        EXPECT_EQ(Save({'X', flags}), kSaved[flags]) << "flags " << flags;
    }
}

TEST(Hotkey, EveryNamedKeyWithEveryFlagSurvivesSaveAndLoad) {
    for (unsigned key = 1; key <= 0xFF; ++key) {
        if (WrittenKeyName(static_cast<uint8_t>(key)) == nullptr) {
            continue;
        }
        for (uint16_t flags = 0; flags < 16; ++flags) {
            HotkeyRecord hotkey{static_cast<uint16_t>(key), flags};
            std::string saved = Save(hotkey);
            HotkeyRecord loaded = Load(saved);
            EXPECT_EQ(loaded.virtualKey, key) << saved;
            EXPECT_EQ(loaded.modifierFlags, flags) << saved;
        }
    }
}

TEST(Hotkey, KeysWithoutAWrittenNameSaveThePrefixAlone) {
    EXPECT_EQ(Save({0x2A, 0}), "0-");        // Print
    EXPECT_EQ(Save({0x5B, 4}), "0-A-");      // a key outside the table
    EXPECT_EQ(Save({0x141, 2}), "0-C-");     // beyond eight bits: not 0x41 "A"
    EXPECT_EQ(Save({0x41, 0x12}), "0-C-A");  // only the four flag bits count
}

TEST(Hotkey, SlotsNoReaderProducesLeaveTheFlagsAsTheyWere) {
    KeyAction record;
    record.modifier1 = kVkAlt;
    record.modifier2 = kVkAlt;  // a sum no set of different modifiers has
    record.key = 0x41;
    HotkeyRecord hotkey{0, 3};
    HotkeyFromKeyAction(record, hotkey);
    EXPECT_EQ(hotkey.virtualKey, 0x41);
    EXPECT_EQ(hotkey.modifierFlags, 3);
}

TEST(Hotkey, FieldValueCarriesFlagsInTheSecondByte) {
    HotkeyRecord hotkey{0x1B, 4};
    EXPECT_EQ(HotkeyFieldValue(hotkey), 0x041Bu);
    HotkeyRecord back = HotkeyFromFieldValue(0x0A28);
    EXPECT_EQ(back.virtualKey, 0x28);
    EXPECT_EQ(back.modifierFlags, 10);
}

}  // namespace
