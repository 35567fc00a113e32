#include "config/user_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"
#include "config/program_folders.h"
#include "testing/fake_profile_store.h"

namespace {

const IniPaths kPaths = IniPathsInFolder("C:\\Remote\\");

KeyTable EditedTable() {
    KeyTable keys;
    for (KeyAction& record : keys) {
        CopyBounded(record.text, "0-");
    }
    CopyBounded(keys[0].text, "0-C-X");
    CopyBounded(keys[0].description, "Exit");
    CopyBounded(keys[34].text, "1-UP");
    return keys;
}

std::string SavedFile(const char* section, const char* (*value)(int)) {
    std::string text = std::string("[") + section + "]\n";
    for (int n = 0; n < kButtonCount; ++n) {
        text += std::to_string(n) + "=" + value(n) + "\n";
    }
    return text;
}

TEST(UserTables, SaveWritesAll35KeysOfBothFilesInOrder) {
    FakeProfileStore profiles;
    EXPECT_TRUE(SaveUserTable(profiles, kPaths, "Music", EditedTable()));

    EXPECT_EQ(profiles.FileText(kPaths.userDef), SavedFile("Music", [](int n) {
                  return n == 0 ? "0-C-X" : n == 34 ? "1-UP" : "0-";
              }));
    EXPECT_EQ(profiles.FileText(kPaths.userDefInf),
              SavedFile("Music", [](int n) { return n == 0 ? "Exit" : ""; }));
}

TEST(UserTables, SavedTableLoadsBackWithItsProgram) {
    FakeProfileStore profiles;
    SaveUserTable(profiles, kPaths, "Music", EditedTable());
    SetTableProgram(profiles, kPaths, "Music", "C:\\Player\\play.exe");

    KeyTable keys;
    char filePath[kFilePathSize];
    LoadUserTable(profiles, kPaths, "music", keys, filePath);
    EXPECT_STREQ(keys[0].text, "0-C-X");
    EXPECT_STREQ(keys[0].description, "Exit");
    EXPECT_EQ(keys[34].key, 0x26);
    EXPECT_STREQ(filePath, "C:\\Player\\play.exe");

    char shortPath[8];
    EXPECT_EQ(ReadTableFilePath(profiles, kPaths, "Music", shortPath, sizeof shortPath), 7u);
    EXPECT_STREQ(shortPath, "C:\\Play");
}

TEST(UserTables, NewTableEmptiesItsSectionOfUserDefOnly) {
    FakeProfileStore profiles;
    profiles.WriteString(kPaths.userDef, "Fresh", "0", "0-C-X");

    EXPECT_TRUE(CreateUserTable(profiles, kPaths, "Fresh"));

    char lines[8] = "x";
    profiles.ReadSection(kPaths.userDef, "Fresh", lines, sizeof lines);
    EXPECT_EQ(lines[0], '\0');
    EXPECT_FALSE(profiles.HasFile(kPaths.userDefInf));
}

TEST(UserTables, NamesAreCutToTheBuffersTheOperationsReadThemInto) {
    FakeProfileStore profiles;
    const std::string longName(60, 'n');
    SaveUserTable(profiles, kPaths, longName.c_str(), KeyTable{});
    SetTableProgram(profiles, kPaths, longName.c_str(), "C:\\play.exe");

    char names[256];
    profiles.ReadSectionNames(kPaths.userDef, names, sizeof names);
    EXPECT_EQ(std::string(names), std::string(29, 'n'));
    EXPECT_EQ(std::string(names + 30), std::string(49, 'n'));
}

TEST(UserTables, EmptyNamesAreRefusedAndWriteNothing) {
    FakeProfileStore profiles;
    for (const char* name : {static_cast<const char*>(nullptr), ""}) {
        EXPECT_FALSE(SaveUserTable(profiles, kPaths, name, EditedTable()));
        EXPECT_FALSE(CreateUserTable(profiles, kPaths, name));
        EXPECT_FALSE(DeleteUserTable(profiles, kPaths, name));
        EXPECT_FALSE(SetTableProgram(profiles, kPaths, name, "C:\\play.exe"));
    }
    EXPECT_EQ(profiles.writeCount, 0);
}

}  // namespace
