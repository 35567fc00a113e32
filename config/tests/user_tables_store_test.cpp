// The user-table operations on every profile store, real files included.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "config/tests/store_under_test.h"
#include "config/user_tables.h"

namespace {

using Names = std::vector<std::string>;

std::string NumberedName(int n) {
    char name[kTableNameSize];
    std::snprintf(name, sizeof name, "Table%014d", n);  // 19 characters
    return name;
}

TEST_P(UserTablesOnStore, ListsOnlySectionsWithContentInFileOrder) {
    const IniPaths paths = Paths();
    store().WriteString(paths.userDef, "Music", "0", "0-Space");
    store().WriteString(paths.userDef, "Bare", "0", "0-F2");
    store().EmptySection(paths.userDef, "Bare");
    store().WriteString(paths.userDef, "Player", "FilePath", "C:\\player.exe");
    CreateUserTable(store(), paths, "Fresh");
    store().WriteString(paths.userDefInf, "DescriptionsOnly", "0", "Play");

    EXPECT_EQ(ListUserTables(store(), paths), (Names{"Music", "Player"}));
}

TEST_P(UserTablesOnStore, DeletedTableComesBackOnceItHasAKey) {
    const IniPaths paths = Paths();
    KeyTable keys;
    SaveUserTable(store(), paths, "Music", keys);
    SaveUserTable(store(), paths, "Video", keys);

    DeleteUserTable(store(), paths, "Music");
    EXPECT_EQ(ListUserTables(store(), paths), Names{"Video"});
    char lines[8] = "x";
    store().ReadSection(paths.userDefInf, "Music", lines, sizeof lines);
    EXPECT_EQ(lines[0], '\0');

    CreateUserTable(store(), paths, "Music");
    EXPECT_EQ(ListUserTables(store(), paths), Names{"Video"});
    SetTableProgram(store(), paths, "Music", "C:\\music.exe");
    EXPECT_EQ(ListUserTables(store(), paths), (Names{"Music", "Video"}));
}

TEST_P(UserTablesOnStore, ListsAtMostAHundredTables) {
    const IniPaths paths = Paths();
    std::string file = paths.userDef;
    Names written;
    for (int n = 0; n < 110; ++n) {
        std::string name = "T" + std::to_string(n);
        store().WriteString(file, name.c_str(), "0", "0-A");
        written.push_back(name);
    }
    EXPECT_EQ(ListUserTables(store(), paths), Names(written.begin(), written.begin() + 100));
}

TEST_P(UserTablesOnStore, ListsOnlyTheNamesThatFitInTheNameList) {
    const IniPaths paths = Paths();
    Names written;
    for (int n = 0; n < 60; ++n) {
        written.push_back(NumberedName(n));
        store().WriteString(paths.userDef, written.back().c_str(), "0", "0-A");
    }
    // 20 bytes a name: 51 fit whole before the list's two final zeros.
    EXPECT_EQ(ListUserTables(store(), paths), Names(written.begin(), written.begin() + 51));
}

TEST_P(UserTablesOnStore, OddSectionNamesNeitherBreakNorOverrunTheList) {
    const IniPaths paths = Paths();
    const std::string tooLong(300, 'L');
    for (const std::string& odd :
         {std::string("a=b"), std::string("semi;colon"), std::string("sp ace"), tooLong}) {
        store().WriteString(paths.userDef, odd.c_str(), "0", "0-A");
    }
    store().WriteString(paths.userDef, "Normal", "0", "0-A");

    Names listed = ListUserTables(store(), paths);
    EXPECT_NE(std::find(listed.begin(), listed.end(), "Normal"), listed.end());
    for (const std::string& name : listed) {
        EXPECT_LE(name.size(), kListedTableNameSize - 1);
    }
}

TEST_P(UserTablesOnStore, LoadingCutsOverlongValuesToTheirBuffers) {
    const IniPaths paths = Paths();
    const std::string huge(5000, 'z');
    store().WriteString(paths.userDef, "Big", "0", huge.c_str());
    store().WriteString(paths.userDef, "Big", "34", "0-C-F2");
    store().WriteString(paths.userDefInf, "Big", "0", huge.c_str());
    store().WriteString(paths.userDef, "Big", "FilePath", huge.c_str());

    KeyTable keys;
    char filePath[kFilePathSize];
    LoadUserTable(store(), paths, "Big", keys, filePath);

    EXPECT_EQ(std::string(keys[0].text), huge.substr(0, kKeyTextSize - 1));
    EXPECT_EQ(std::string(keys[0].description), huge.substr(0, kDescriptionSize - 1));
    EXPECT_EQ(std::string(filePath), huge.substr(0, kFilePathSize - 1));
    EXPECT_STREQ(keys[34].text, "0-C-F2");
    EXPECT_NE(keys[34].key, 0);
}

}  // namespace
