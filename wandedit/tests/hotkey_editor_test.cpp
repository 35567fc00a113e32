#include "wandedit/hotkey_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/program_folders.h"
#include "testing/fake_profile_store.h"

namespace {

const IniPaths kPaths = IniPathsInFolder("C:\\Tellwand\\");

// Remembers the order of the writes: file and key of each.
class WriteRecordingStore : public FakeProfileStore {
  public:
    void WriteString(const std::string& file, const char* section, const char* key,
                     const char* value) override {
        writes.push_back(file + " " + key);
        FakeProfileStore::WriteString(file, section, key, value);
    }
    std::vector<std::string> writes;
};

class HotkeyEditorTest : public ::testing::Test {
  protected:
    HotkeyEditorTest() : editor(profiles) {
        editor.SetPaths(kPaths);
        Store("Player", "0", "1-DOWN", "Down");
        Store("Player", "2", "0-A-C-F5", "Refresh");
        Store("Player", "5", "0-BrowserBack", "Back");
        Store("Player", "34", "0-C-+", "Zoom");
        profiles.WriteString(kPaths.userDef, "Player", "FilePath", "C:\\Player\\player.exe");
        Store("Other", "0", "0-Q", "Quit");
    }
    void Store(const char* table, const char* key, const char* text, const char* description) {
        profiles.WriteString(kPaths.userDef, table, key, text);
        profiles.WriteString(kPaths.userDefInf, table, key, description);
    }
    std::string Stored(const std::string& file, const char* table, int button) {
        char value[256] = {};
        profiles.ReadString(file, table, std::to_string(button).c_str(), value, sizeof value);
        return value;
    }
    // The selection procedure as the dialog runs it: the field and box hold what is shown.
    void SelectShowing(int button, HotkeyRecord field, const char* description) {
        editor.Select(button, field, description);
    }
    void Reselect(int button) {
        int shown = editor.selected();
        editor.Select(button, editor.hotkey(shown), editor.description(shown));
    }

    WriteRecordingStore profiles;
    HotkeyEditor editor;
};

TEST_F(HotkeyEditorTest, LoadsTheHotkeysDescriptionsAndProgramOfATable) {
    editor.LoadTable("Player");
    struct Expected {
        int button;
        uint16_t virtualKey;
        uint16_t flags;
        const char* description;
    };
    const Expected expected[] = {
        {0, 0x28, 8, "Down"},  {2, 0x74, 6, "Refresh"}, {5, 0xA6, 0, "Back"},
        {34, 0xBB, 2, "Zoom"}, {1, 0, 0, ""},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.button);
        EXPECT_EQ(editor.hotkey(e.button).virtualKey, e.virtualKey);
        EXPECT_EQ(editor.hotkey(e.button).modifierFlags, e.flags);
        EXPECT_STREQ(editor.description(e.button), e.description);
    }
    EXPECT_STREQ(editor.filePath(), "C:\\Player\\player.exe");
    EXPECT_EQ(editor.application(), "Player");
}

TEST_F(HotkeyEditorTest, LoadingAnotherTableDropsEditsAndEmptiesItsButtons) {
    editor.LoadTable("Player");
    SelectShowing(7, editor.hotkey(0), "edited");
    editor.LoadTable("Other");
    EXPECT_EQ(editor.hotkey(0).virtualKey, 0x51);
    EXPECT_STREQ(editor.description(0), "Quit");
    EXPECT_EQ(editor.hotkey(2).virtualKey, 0);
    EXPECT_EQ(editor.hotkey(2).modifierFlags, 0);
    EXPECT_STREQ(editor.description(2), "");
    EXPECT_STREQ(editor.filePath(), "");
}

TEST_F(HotkeyEditorTest, SelectionKeepsTheShownValuesOfTheButtonItLeaves) {
    editor.LoadTable("Player");
    Reselect(5);
    SelectShowing(9, {0x41, 2}, "new text");
    EXPECT_EQ(editor.selected(), 9);
    EXPECT_EQ(editor.hotkey(5).virtualKey, 0x41);
    EXPECT_EQ(editor.hotkey(5).modifierFlags, 2);
    EXPECT_STREQ(editor.description(5), "new text");
    // Coming back shows what was kept; button 9 keeps its own values.
    Reselect(5);
    EXPECT_EQ(editor.hotkey(9).virtualKey, 0);
    EXPECT_STREQ(editor.description(9), "");
    EXPECT_STREQ(editor.description(5), "new text");
    // Selecting the selected button stores and shows the same values again.
    SelectShowing(5, {0x42, 0}, "again");
    EXPECT_EQ(editor.selected(), 5);
    EXPECT_EQ(editor.hotkey(5).virtualKey, 0x42);
    // Numbers that are no button change nothing, not even the stored values.
    SelectShowing(35, {0x43, 0}, "ignored");
    SelectShowing(-1, {0x43, 0}, "ignored");
    EXPECT_EQ(editor.selected(), 5);
    EXPECT_EQ(editor.hotkey(5).virtualKey, 0x42);
    EXPECT_STREQ(editor.description(5), "again");
}

TEST_F(HotkeyEditorTest, NothingIsWrittenBeforeSave) {
    editor.LoadTable("Player");
    int writes = profiles.writeCount;
    SelectShowing(3, {0x41, 0}, "changed");
    editor.Clear();
    EXPECT_EQ(profiles.writeCount, writes);
}

TEST_F(HotkeyEditorTest, SaveWritesAll35KeysToBothFilesInOrder) {
    editor.LoadTable("Player");
    SelectShowing(0, editor.hotkey(0), editor.description(0));
    profiles.writes.clear();
    ASSERT_TRUE(editor.Save());

    const std::pair<int, const char*> texts[] = {
        {0, "1-DOWN"}, {1, "0-"}, {2, "0-C-A-F5"}, {5, "0-BROWSERBACK"}, {34, "0-C-="}};
    for (const auto& [button, text] : texts) {
        EXPECT_EQ(Stored(kPaths.userDef, "Player", button), text) << button;
    }
    EXPECT_EQ(Stored(kPaths.userDefInf, "Player", 34), "Zoom");
    EXPECT_EQ(Stored(kPaths.userDef, "Player", 99), "");
    // Each key in button order, first to UserDef.ini, then to UserDefInf.ini.
    ASSERT_EQ(profiles.writes.size(), 2u * kButtonCount);
    for (int n = 0; n < kButtonCount; ++n) {
        EXPECT_EQ(profiles.writes[2 * n], kPaths.userDef + " " + std::to_string(n));
        EXPECT_EQ(profiles.writes[2 * n + 1], kPaths.userDefInf + " " + std::to_string(n));
    }
    EXPECT_NE(profiles.FileText(kPaths.userDef).find("FilePath=C:\\Player\\player.exe"),
              std::string::npos);
}

TEST_F(HotkeyEditorTest, ClearThenSaveWritesThePrefixAloneAndNoDescription) {
    editor.LoadTable("Player");
    Reselect(2);
    editor.Clear();
    EXPECT_EQ(editor.hotkey(2).virtualKey, 0);
    EXPECT_EQ(editor.hotkey(2).modifierFlags, 0);
    EXPECT_STREQ(editor.description(2), "");
    EXPECT_EQ(editor.record(2).key, 0);
    EXPECT_EQ(editor.record(2).modifier1, 0);
    SelectShowing(0, {}, "");  // the field and box the dialog emptied
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(Stored(kPaths.userDef, "Player", 2), "0-");
    EXPECT_EQ(Stored(kPaths.userDefInf, "Player", 2), "");
}

TEST_F(HotkeyEditorTest, SaveWithoutAnApplicationWritesNothing) {
    editor.LoadTable("");
    int writes = profiles.writeCount;
    EXPECT_FALSE(editor.Save());
    EXPECT_EQ(profiles.writeCount, writes);
}

TEST_F(HotkeyEditorTest, LongDescriptionsAreCutTo254Characters) {
    editor.LoadTable("Player");
    std::string longText(400, 'd');
    SelectShowing(1, {}, longText.c_str());
    EXPECT_EQ(std::string(editor.description(0)), std::string(254, 'd'));
}

TEST(ButtonFromEditorReport, SelectsOnlyCheckedReportsOfButtons) {
    struct Case {
        uint8_t code;
        uint8_t check;
        int button;
    };
    const Case cases[] = {
        {1, 0x0F, 0},   {2, 0x0F, 1},   {35, 0x0F, 2},  {4, 0x0F, 3},   {33, 0x0F, 32},
        {36, 0x0F, 33}, {46, 0x0F, 34}, {3, 0x0F, -1},  {34, 0x0F, -1}, {0, 0x0F, -1},
        {47, 0x0F, -1}, {35, 0x0E, -1}, {35, 0x00, -1}, {1, 0xFF, -1},
    };
    for (const Case& c : cases) {
        const uint8_t report[5] = {0, 0x40, 1, c.code, c.check};
        EXPECT_EQ(ButtonFromEditorReport(report, sizeof report), c.button)
            << "code " << int(c.code) << " check " << int(c.check);
    }
    const uint8_t shortReport[4] = {0, 0x40, 1, 35};
    EXPECT_EQ(ButtonFromEditorReport(shortReport, sizeof shortReport), -1);
}

TEST(BlinkPhase, AlternatesNormalAndHighlightedImagesForever) {
    BlinkPhase blink;
    for (int tick = 0; tick < 6; ++tick) {
        EXPECT_EQ(blink.NextImageBase(), tick % 2 == 0 ? 300 : 400) << tick;
    }
}

TEST(CaptureKeys, ReserveEachCombinationOnceUnderItsIdentifier) {
    const auto& keys = ReservedCaptureKeys();
    std::set<int> ids;
    std::set<std::pair<int, unsigned>> combinations;
    for (const CaptureKey& key : keys) {
        ids.insert(key.id);
        combinations.insert({key.virtualKey, key.modifiers});
        EXPECT_LE(key.modifiers, 7u);
    }
    EXPECT_EQ(ids.size(), keys.size());
    EXPECT_EQ(combinations.size(), keys.size());
    EXPECT_EQ(keys.size(), 33u);
    for (int unused : {0, 9, 25, 33, 37}) {
        EXPECT_EQ(ids.count(unused), 0u) << unused;
    }
    // Plain Enter and Space stay free for the key-down interception.
    EXPECT_EQ(combinations.count({0x0D, 0}), 0u);
    EXPECT_EQ(combinations.count({0x20, 0}), 0u);
    // Each identifier stands for its combination, whatever the order of the list.
    const CaptureKey expected[] = {
        {1, 0x1B, 0},
        {3, 0x1B, kSystemAlt},
        {11, 0x0D, kSystemAlt},
        {22, 0x09, kSystemControl | kSystemShift},
        {32, 0x20, kSystemAlt | kSystemControl | kSystemShift},
        {36, 0x2A, 0},
    };
    for (const CaptureKey& want : expected) {
        auto found = std::find_if(keys.begin(), keys.end(),
                                  [&](const CaptureKey& key) { return key.id == want.id; });
        ASSERT_NE(found, keys.end()) << want.id;
        EXPECT_EQ(found->virtualKey, want.virtualKey) << want.id;
        EXPECT_EQ(found->modifiers, want.modifiers) << want.id;
    }
}

TEST(CaptureKeys, SystemModifiersBecomeTheFieldsFlags) {
    const std::pair<unsigned, uint16_t> conversions[] = {
        {0, 0}, {1, 4}, {2, 2}, {3, 6}, {4, 1}, {5, 5}, {6, 3}, {7, 7},
    };
    for (const auto& [system, flags] : conversions) {
        EXPECT_EQ(HotkeyFlagsFromSystemModifiers(system), flags) << system;
    }
}

}  // namespace
