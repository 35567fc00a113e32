#include "wandedit/settings_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/program_folders.h"
#include "testing/fake_profile_store.h"
#include "testing/fake_registry.h"
#include "wandedit/tests/selector_post.h"

namespace {

constexpr char kOwnFolder[] = "C:\\Own\\";
constexpr char kInstallFolder[] = "D:\\Tellwand\\";

class RecordingTellwand : public TellwandLink {
  public:
    explicit RecordingTellwand(Registry& registry) : registry_(registry) {}
    void PostTableSelector(int32_t tableSelector) override {
        posts.push_back(ReadSelectorPost(registry_, tableSelector));
    }
    std::vector<SelectorPost> posts;

  private:
    Registry& registry_;
};

class SettingsEditorTest : public ::testing::Test {
  protected:
    SettingsEditorTest() : tellwand(registry) {
        registry.SetString(kInstallKey, "Path", kInstallFolder);
        AddTable("Music", "C:\\Music\\player.exe");
        AddTable("Video", "C:\\Video\\viewer.exe");
        AddTable("Slides", "");
        profiles.WriteString(UserDef(), "Empty", "0", "");
        profiles.EmptySection(UserDef(), "Empty");
    }

    std::string UserDef() const { return IniPathsInFolder(kInstallFolder).userDef; }
    void AddTable(const char* name, const char* filePath) {
        profiles.WriteString(UserDef(), name, "0", "0-0-A");
        if (filePath[0] != '\0') {
            profiles.WriteString(UserDef(), name, "FilePath", filePath);
        }
    }
    void StoreSettings(uint32_t enableOsd, const char* table) {
        registry.WriteDword(kSettingsKey, "EnableOSD", enableOsd);
        registry.SetString(kSettingsKey, "UserDefineTable", table);
    }

    FakeRegistry registry;
    FakeProfileStore profiles;
    RecordingTellwand tellwand;
};

TEST_F(SettingsEditorTest, LoadSelectsTheStoredTableIgnoringCaseAndShowsItsProgram) {
    StoreSettings(1, "vIDEO");
    SettingsEditor editor(registry, profiles, tellwand, 15);
    editor.Load(kOwnFolder);

    EXPECT_EQ(editor.tables(), (std::vector<std::string>{"Music", "Video", "Slides"}));
    EXPECT_EQ(editor.selectedTable(), 1);
    EXPECT_EQ(editor.filePath(), "C:\\Video\\viewer.exe");
    EXPECT_TRUE(editor.UserMode());
    EXPECT_TRUE(editor.OsdWanted());
    EXPECT_TRUE(tellwand.posts.empty());
}

TEST_F(SettingsEditorTest, LoadWithoutAMatchingTableKeepsTheFirstEntry) {
    StoreSettings(0, "Gone");
    SettingsEditor editor(registry, profiles, tellwand, 0);
    editor.Load(kOwnFolder);

    EXPECT_EQ(editor.selectedTable(), 0);
    EXPECT_EQ(editor.filePath(), "");
    EXPECT_FALSE(editor.UserMode());
    EXPECT_FALSE(editor.OsdWanted());
}

TEST_F(SettingsEditorTest, LoadUsesTheOwnFolderWhenPathIsMissingOrEmpty) {
    for (const char* path : std::vector<const char*>{"", nullptr}) {
        FakeRegistry otherRegistry;
        if (path != nullptr) {
            otherRegistry.SetString(kInstallKey, "Path", path);
        }
        FakeProfileStore ownFiles;
        ownFiles.WriteString(IniPathsInFolder(kOwnFolder).userDef, "Own", "0", "0-0-A");
        SettingsEditor editor(otherRegistry, ownFiles, tellwand, 0);
        editor.Load(kOwnFolder);
        EXPECT_EQ(editor.tables(), std::vector<std::string>{"Own"});
    }
}

TEST_F(SettingsEditorTest, NoUserTablesGiveAnEmptyListAndNoSelection) {
    FakeProfileStore noFiles;
    SettingsEditor editor(registry, noFiles, tellwand, 15);
    editor.Load(kOwnFolder);
    EXPECT_TRUE(editor.tables().empty());
    EXPECT_EQ(editor.selectedTable(), -1);
    EXPECT_EQ(editor.filePath(), "");
}

TEST_F(SettingsEditorTest, RadioButtonsAndListChangeTellTellwandButWriteNothing) {
    StoreSettings(1, "Music");
    registry.createdKeys.clear();
    SettingsEditor editor(registry, profiles, tellwand, 15);
    editor.Load(kOwnFolder);

    editor.SelectTable(1);
    EXPECT_STREQ(editor.userTableName(), "Video");
    EXPECT_EQ(editor.filePath(), "C:\\Video\\viewer.exe");
    editor.ChooseDefault();
    EXPECT_FALSE(editor.UserMode());
    EXPECT_FALSE(editor.OsdWanted());
    editor.ChooseUserDefined();
    EXPECT_TRUE(editor.UserMode());

    ASSERT_EQ(tellwand.posts.size(), 3u);
    EXPECT_EQ(tellwand.posts[0].tableSelector, 15);
    EXPECT_EQ(tellwand.posts[1].tableSelector, 0);
    EXPECT_EQ(tellwand.posts[2].tableSelector, 15);
    EXPECT_TRUE(registry.createdKeys.empty());
    EXPECT_EQ(StoredTable(registry), "Music");
}

TEST_F(SettingsEditorTest, UserDefinedRereadsTheRegistryAndReselects) {
    StoreSettings(0, "Music");
    SettingsEditor editor(registry, profiles, tellwand, 0);
    editor.Load(kOwnFolder);
    AddTable("Radio", "");
    StoreSettings(1, "RADIO");

    editor.ChooseUserDefined();
    EXPECT_EQ(editor.tables().size(), 4u);
    EXPECT_EQ(editor.selectedTable(), 3);
    EXPECT_TRUE(editor.OsdWanted());
}

TEST_F(SettingsEditorTest, OsdCheckBoxWritesBothValuesBeforeTellingTellwand) {
    StoreSettings(0, "Music");
    SettingsEditor editor(registry, profiles, tellwand, 15);
    editor.Load(kOwnFolder);
    editor.SelectTable(2);

    editor.SetOsdEnabled(true);
    ASSERT_EQ(tellwand.posts.size(), 2u);
    EXPECT_TRUE(tellwand.posts[1].settingsStored);
    EXPECT_EQ(tellwand.posts[1].enableOsd, 1u);
    EXPECT_EQ(tellwand.posts[1].userDefineTable, "Slides");
    EXPECT_TRUE(editor.OsdWanted());
}

TEST_F(SettingsEditorTest, OkInUserModeStoresTheCurrentEntryBeforeTellingTellwand) {
    StoreSettings(1, "Music");
    SettingsEditor editor(registry, profiles, tellwand, 15);
    editor.Load(kOwnFolder);

    editor.Commit(1);
    ASSERT_EQ(tellwand.posts.size(), 1u);
    EXPECT_EQ(tellwand.posts[0].tableSelector, 15);
    EXPECT_EQ(tellwand.posts[0].enableOsd, 1u);
    EXPECT_EQ(tellwand.posts[0].userDefineTable, "Video");
}

TEST_F(SettingsEditorTest, OkOutsideUserModeWritesAndSendsNothing) {
    for (int32_t selector : {0, 3}) {
        FakeRegistry fresh;
        fresh.SetString(kInstallKey, "Path", kInstallFolder);
        RecordingTellwand silent(fresh);
        SettingsEditor editor(fresh, profiles, silent, selector);
        editor.Load(kOwnFolder);
        editor.Commit(0);
        EXPECT_TRUE(fresh.createdKeys.empty()) << selector;
        EXPECT_TRUE(silent.posts.empty()) << selector;
    }
}

TEST_F(SettingsEditorTest, OkWithAnEmptyListKeepsTheStoredTableName) {
    StoreSettings(1, "Music");
    FakeProfileStore noFiles;
    SettingsEditor editor(registry, noFiles, tellwand, 15);
    editor.Load(kOwnFolder);

    editor.Commit(-1);
    ASSERT_EQ(tellwand.posts.size(), 1u);
    EXPECT_EQ(tellwand.posts[0].userDefineTable, "Music");
}

}  // namespace

TEST_F(SettingsEditorTest, AfterTheHotkeyDialogTheListIsReadAgainAndNothingIsStored) {
    StoreSettings(1, "Music");
    SettingsEditor editor(registry, profiles, tellwand, 15);
    editor.Load(kOwnFolder);
    AddTable("Added", "C:\\Added\\added.exe");

    editor.ShowTablesAfterHotkeys(3, "Video");
    EXPECT_EQ(editor.tables(), (std::vector<std::string>{"Music", "Video", "Slides", "Added"}));
    EXPECT_EQ(editor.selectedTable(), 3);
    EXPECT_EQ(editor.filePath(), "C:\\Video\\viewer.exe");
    EXPECT_STREQ(editor.userTableName(), "Music");
    EXPECT_TRUE(tellwand.posts.empty());

    editor.ShowTablesAfterHotkeys(7, "");
    EXPECT_EQ(editor.selectedTable(), -1);
    EXPECT_EQ(editor.filePath(), "");
}

TEST_F(SettingsEditorTest, CancelledHotkeysKeepTheChosenTableByNameOrNone) {
    StoreSettings(1, "Music");
    SettingsEditor editor(registry, profiles, tellwand, 15);
    editor.Load(kOwnFolder);
    editor.SelectTable(1);

    // A table listed before the chosen one was deleted there: the chosen one has moved up.
    profiles.EmptySection(UserDef(), "Music");
    editor.ShowTablesAfterCancelledHotkeys("Video");
    EXPECT_EQ(editor.tables(), (std::vector<std::string>{"Video", "Slides"}));
    EXPECT_EQ(editor.selectedTable(), 0);
    EXPECT_EQ(editor.filePath(), "C:\\Video\\viewer.exe");

    // The chosen one itself was deleted: nothing is selected, and OK keeps the user's choice.
    profiles.EmptySection(UserDef(), "Video");
    editor.ShowTablesAfterCancelledHotkeys("Video");
    EXPECT_EQ(editor.selectedTable(), -1);
    EXPECT_EQ(editor.filePath(), "");
    editor.Commit(editor.selectedTable());
    EXPECT_EQ(tellwand.posts.back().userDefineTable, "Video");
}
