#include "keyseq/key_sequence.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"
#include "keyseq/key_names.h"

namespace {

struct Parsed {
    uint8_t modifier1, modifier2, modifier3, key, mark;
};

Parsed Parse(const std::string& text) {
    KeyAction record;
    CopyBounded(record.text, text);
    ParseKeySequence(record);
    return {record.modifier1, record.modifier2, record.modifier3, record.key, record.extendedMark};
}

struct Case {
    const char* text;
    Parsed expected;
};

constexpr uint8_t C = kVkControl, A = kVkAlt, S = kVkShift;

const Case kCases[] = {
    // Empty and prefix-only texts.
    {"", {0, 0, 0, 0, 0}},
    {"0-", {0, 0, 0, 0, 0}},
    {"1-", {0, 0, 0, 0, 1}},
    {"0-C-", {C, 0, 0, 0, 0}},
    // A letter is a modifier only when a '-' follows it.
    {"0-C", {0, 0, 0, 0x43, 0}},
    {"0-S", {0, 0, 0, 0x53, 0}},
    {"0-C-S", {C, 0, 0, 0x53, 0}},
    {"0-C-X", {C, 0, 0, 0x58, 0}},
    {"0-C-F2", {C, 0, 0, 0x71, 0}},
    // Every ordering of the modifiers fills the slots Control, Alt, Shift.
    {"0-C-A-S-F1", {C, A, S, 0x70, 0}},
    {"0-C-S-A-F1", {C, A, S, 0x70, 0}},
    {"0-A-C-S-F1", {C, A, S, 0x70, 0}},
    {"0-A-S-C-F1", {C, A, S, 0x70, 0}},
    {"0-S-C-A-F1", {C, A, S, 0x70, 0}},
    {"0-S-A-C-F1", {C, A, S, 0x70, 0}},
    {"0-C-A-DEL", {C, A, 0, 0x2E, 0}},
    {"0-A-C-DEL", {C, A, 0, 0x2E, 0}},
    {"0-S-C-DEL", {C, S, 0, 0x2E, 0}},
    {"0-S-A-DEL", {A, S, 0, 0x2E, 0}},
    {"0-A-DEL", {A, 0, 0, 0x2E, 0}},
    {"0-S-DEL", {S, 0, 0, 0x2E, 0}},
    // A repeated letter adds nothing; a letter after anything but the mark is no modifier.
    {"0-C-C-X", {C, 0, 0, 0x58, 0}},
    {"0-X-C-F5", {0, 0, 0, 0x74, 0}},
    // The mark, and its case.
    {"1-DOWN", {0, 0, 0, 0x28, 1}},
    {"1-numlock", {0, 0, 0, 0x90, 1}},
    {"0-Enter", {0, 0, 0, 0x0D, 0}},
    {"0-ENTER", {0, 0, 0, 0x0D, 0}},
    {"0-c-a-s-pgdown", {C, A, S, 0x22, 0}},
    {"2-C-X", {C, 0, 0, 0x58, 0}},
    // Without a mark the first two characters are still the mark's place.
    {"F2", {0, 0, 0, 0x71, 0}},
    {"C-X", {0, 0, 0, 0x58, 0}},
    {"C-A-X", {A, 0, 0, 0x58, 0}},
    // Cut at the first blank or semicolon.
    {" 0-C-X", {0, 0, 0, 0, 0}},
    {";0-C-X", {0, 0, 0, 0, 0}},
    {"0-C-X and more words", {C, 0, 0, 0x58, 0}},
    {"0-C-X;comment", {C, 0, 0, 0x58, 0}},
    // Unknown names keep the modifiers.
    {"0-C-NUMPAD10", {C, 0, 0, 0, 0}},
    {"0-F13", {0, 0, 0, 0, 0}},
    {"0-ESCAPE", {0, 0, 0, 0, 0}},
    // Minus and semicolon keys read back as written (D1).
    {"0--", {0, 0, 0, 0xBD, 0}},
    {"0-C--", {C, 0, 0, 0xBD, 0}},
    {"0-;", {0, 0, 0, 0xBA, 0}},
    {"0-S-C-A-;", {C, A, S, 0xBA, 0}},
    {"0-C-; trailing", {C, 0, 0, 0xBA, 0}},
    {";", {0, 0, 0, 0, 0}},
    {"0-;;", {0, 0, 0, 0, 0}},
    {"-", {0, 0, 0, 0, 0}},
    // Plus/equals reads under both names (D2).
    {"0-+", {0, 0, 0, 0xBB, 0}},
    {"0-=", {0, 0, 0, 0xBB, 0}},
    {"0-\\", {0, 0, 0, 0xDC, 0}},
};

TEST(ParseKeySequence, FollowsTheReadingRules) {
    for (const Case& c : kCases) {
        Parsed p = Parse(c.text);
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_EQ(p.modifier1, c.expected.modifier1);
        EXPECT_EQ(p.modifier2, c.expected.modifier2);
        EXPECT_EQ(p.modifier3, c.expected.modifier3);
        EXPECT_EQ(p.key, c.expected.key);
        EXPECT_EQ(p.mark, c.expected.mark);
    }
}

TEST(ParseKeySequence, LooksAtTwentyNineCharactersOnly) {
    // 27 characters of prefix and name fit; the 30th character is never read.
    std::string text = "0-C-" + std::string(23, 'x') + "-F";
    ASSERT_EQ(text.size(), 29u);
    EXPECT_EQ(Parse(text).key, 0x46);
    EXPECT_EQ(Parse(text + "1").key, 0x46);  // "F1" would be 0x70
}

TEST(ParseKeySequence, ReadsARecordWithoutTerminator) {
    KeyAction record;
    std::memset(record.text, 'a', sizeof record.text);
    record.text[0] = '0';
    record.text[1] = '-';
    ParseKeySequence(record);
    EXPECT_EQ(record.key, 0);
}

TEST(ParseKeySequence, ClearsWhatAnEarlierParseSet) {
    KeyAction record;
    CopyBounded(record.text, "1-C-A-S-UP");
    ParseKeySequence(record);
    CopyBounded(record.text, "x");
    ParseKeySequence(record);
    EXPECT_EQ(record.modifier1 | record.modifier2 | record.modifier3 | record.extendedMark, 0);
    EXPECT_EQ(record.key, 0x58);
}

TEST(ParseKeySequence, SurvivesArbitraryBytes) {
    const std::string odd[] = {std::string(255, '-'), std::string(255, ' '), std::string(300, ';'),
                               std::string("\xff\x80-\x01-c-"), std::string(40, 'c')};
    for (const std::string& text : odd) {
        Parsed p = Parse(text);
        EXPECT_TRUE(p.modifier1 == 0 || p.modifier1 == C || p.modifier1 == A || p.modifier1 == S);
    }
    for (int b = 0; b < 256; ++b) {
        for (int length = 0; length <= 31; ++length) {
            Parse(std::string(length, static_cast<char>(b)));
        }
    }
}

TEST(KeyNames, EveryReaderNameReadsInAnyCase) {
    int count = 0;
    const ReaderName* names = ReaderNames(&count);
    EXPECT_EQ(count, 96);  // 95 names and "=" for the plus/equals key
    for (int i = 0; i < count; ++i) {
        std::string lower, upper;
        for (const char* p = names[i].name; *p; ++p) {
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
        }
        EXPECT_EQ(KeyCodeFromName(lower), names[i].code) << lower;
        EXPECT_EQ(KeyCodeFromName(upper), names[i].code) << upper;
        EXPECT_EQ(Parse("0-" + upper).key, names[i].code) << upper;
    }
}

TEST(KeyNames, EveryWrittenNameReadsBackAsItsOwnKey) {
    int written = 0;
    for (int key = 0; key < 256; ++key) {
        const char* name = WrittenKeyName(static_cast<uint8_t>(key));
        if (name == nullptr) {
            continue;
        }
        ++written;
        for (unsigned modifiers = 0; modifiers < 16; ++modifiers) {
            std::string text = std::string(ModifierPrefix(modifiers)) + name;
            ASSERT_LE(text.size(), 29u);
            Parsed p = Parse(text);
            EXPECT_EQ(p.key, key) << text;
            EXPECT_EQ(p.mark, modifiers >= 8 ? 1 : 0) << text;
            unsigned sum = p.modifier1 + p.modifier2 + p.modifier3;
            unsigned expected =
                ((modifiers & 2) ? C : 0) + ((modifiers & 4) ? A : 0) + ((modifiers & 1) ? S : 0);
            EXPECT_EQ(sum, expected) << text;
        }
    }
    EXPECT_EQ(written, 97);  // 92 keys of the editor plus the five browser keys
}

TEST(KeyNames, KeysWithoutNames) {
    for (uint8_t code : {0x00, 0x2A, 0x5B, 0x6C, 0x7C, 0xAD, 0xFF}) {
        EXPECT_EQ(WrittenKeyName(code), nullptr) << int(code);
    }
    EXPECT_STREQ(WrittenKeyName(0xBB), "=");
    EXPECT_STREQ(WrittenKeyName(0xA8), "BROWSERREF");
    EXPECT_STREQ(ModifierPrefix(5), "0-S-A-");
    EXPECT_STREQ(ModifierPrefix(15), "1-S-C-A-");
}

}  // namespace
