#include "keyseq/key_player.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "config/key_table.h"
#include "keyseq/key_sequence.h"
#include "testing/fake_profile_store.h"
#include "testing/recording_input.h"

namespace {

using Events = std::vector<std::string>;

KeyAction Record(const char* text) {
    KeyAction record;
    CopyBounded(record.text, text);
    ParseKeySequence(record);
    return record;
}

struct PlayCase {
    const char* text;
    Events press;
    Events release;
};

const PlayCase kPlayCases[] = {
    {"",
     {"key 00 0", "key 00 0", "key 00 0", "key 00 0"},
     {"key 00 2", "pause 50", "key 00 2", "key 00 2", "key 00 2"}},
    {"1-DOWN",
     {"key 00 0", "key 00 0", "key 00 0", "key 28 1"},
     {"key 28 3", "pause 50", "key 00 2", "key 00 2", "key 00 2"}},
    {"0-LEFT",
     {"key 00 0", "key 00 0", "key 00 0", "key 25 1"},
     {"key 25 3", "pause 50", "key 00 2", "key 00 2", "key 00 2"}},
    // The mark does not make a key extended: only the arrows are.
    {"1-NUMLOCK",
     {"key 00 0", "key 00 0", "key 00 0", "key 90 0"},
     {"key 90 2", "pause 50", "key 00 2", "key 00 2", "key 00 2"}},
    {"1-INS",
     {"key 00 0", "key 00 0", "key 00 0", "key 2D 0"},
     {"key 2D 2", "pause 50", "key 00 2", "key 00 2", "key 00 2"}},
    {"0-C-X",
     {"key 11 0", "key 00 0", "key 00 0", "key 58 0"},
     {"key 58 2", "pause 50", "key 00 2", "key 00 2", "key 11 2"}},
    {"0-C-",
     {"key 11 0", "key 00 0", "key 00 0", "key 00 0"},
     {"key 00 2", "pause 50", "key 00 2", "key 00 2", "key 11 2"}},
    {"0-S-A-C-UP",
     {"key 11 0", "key 12 0", "key 10 0", "key 26 1"},
     {"key 26 3", "pause 50", "key 10 2", "key 12 2", "key 11 2"}},
};

TEST(KeyPlayer, PressAndReleaseSendExactlyTheseEvents) {
    for (const PlayCase& c : kPlayCases) {
        SCOPED_TRACE(c.text);
        KeyAction record = Record(c.text);
        RecordingInput press, release;
        PressKeyAction(record, press);
        ReleaseKeyAction(record, release);
        EXPECT_EQ(press.events, c.press);
        EXPECT_EQ(release.events, c.release);
    }
}

class LoadKeyTableTest : public ::testing::Test {
  protected:
    IniPaths paths{"C:\\tw\\TWCtrl.ini", "C:\\tw\\UserDef.ini", "C:\\tw\\UserDefInf.ini"};
    FakeProfileStore profiles;
    KeyTable table;
};

TEST_F(LoadKeyTableTest, BuiltInTableReadsTextsOnly) {
    profiles.WriteString(paths.twCtrl, "VCR", "0", "0-C-X");
    profiles.WriteString(paths.twCtrl, "VCR", "34", "0-c-c");
    profiles.WriteString(paths.userDefInf, "VCR", "0", "never read");
    LoadKeyTable(profiles, paths, "vcr", false, table);
    EXPECT_STREQ(table[0].text, "0-C-X");
    EXPECT_EQ(table[0].modifier1, kVkControl);
    EXPECT_EQ(table[0].key, 0x58);
    EXPECT_STREQ(table[34].text, "0-c-c");
    EXPECT_EQ(table[34].key, 0x43);
    for (const KeyAction& record : table) {
        EXPECT_STREQ(record.description, "");
    }
}

TEST_F(LoadKeyTableTest, UserTableReadsTextsAndDescriptions) {
    profiles.WriteString(paths.userDef, "Music", "5", "1-UP");
    profiles.WriteString(paths.userDefInf, "Music", "5", "Louder");
    profiles.WriteString(paths.twCtrl, "Music", "6", "0-C-X");
    LoadKeyTable(profiles, paths, "Music", true, table);
    EXPECT_EQ(table[5].key, 0x26);
    EXPECT_EQ(table[5].extendedMark, 1);
    EXPECT_STREQ(table[5].description, "Louder");
    EXPECT_EQ(table[6].key, 0);
}

TEST_F(LoadKeyTableTest, EveryLoadRewritesAllRecords) {
    for (int n = 0; n < kButtonCount; ++n) {
        profiles.WriteString(paths.userDef, "Old", std::to_string(n).c_str(), "0-C-A-S-F1");
        profiles.WriteString(paths.userDefInf, "Old", std::to_string(n).c_str(), "old");
    }
    LoadKeyTable(profiles, paths, "Old", true, table);
    profiles.WriteString(paths.twCtrl, "DVD", "7", "0-C");
    LoadKeyTable(profiles, paths, "DVD", false, table);
    for (int n = 0; n < kButtonCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(table[n].modifier1, 0);
        EXPECT_STREQ(table[n].description, "");
        EXPECT_EQ(table[n].key, n == 7 ? 0x43 : 0);
    }
}

TEST_F(LoadKeyTableTest, LongValuesAreCut) {
    std::string longText = "0-C-" + std::string(40, 'q');
    std::string longDescription(400, 'd');
    profiles.WriteString(paths.userDef, "T", "1", longText.c_str());
    profiles.WriteString(paths.userDefInf, "T", "1", longDescription.c_str());
    LoadKeyTable(profiles, paths, "T", true, table);
    EXPECT_EQ(std::string(table[1].text), longText.substr(0, 29));
    EXPECT_EQ(std::string(table[1].description), longDescription.substr(0, 254));
}

}  // namespace
