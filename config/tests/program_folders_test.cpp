#include "config/program_folders.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/fake_registry.h"

namespace {

TEST(ProgramFolders, ModulePathIsCutAfterItsLastBackslash) {
    struct Case {
        const char* modulePath;
        const char* folder;
    } cases[] = {
        {"C:\\Program Files\\Tellwand\\Tellwand.exe", "C:\\Program Files\\Tellwand\\"},
        {"C:\\Tellwand.exe", "C:\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderFromModulePath(c.modulePath), c.folder);
    }
}

TEST(ProgramFolders, EditorFolderComesFromPathWithOrWithoutABackslash) {
    for (const char* path : {"D:\\Remote", "D:\\Remote\\"}) {
        FakeRegistry registry;
        registry.SetString(kInstallKey, "Path", path);
        EXPECT_EQ(EditorFolder(registry, "C:\\Own\\"), "D:\\Remote\\") << path;
    }
}

TEST(ProgramFolders, EditorFolderFallsBackToItsOwnFolder) {
    FakeRegistry missing;
    EXPECT_EQ(EditorFolder(missing, "C:\\Own\\"), "C:\\Own\\");

    FakeRegistry empty;
    empty.SetString(kInstallKey, "Path", "");
    EXPECT_EQ(EditorFolder(empty, "C:\\Own"), "C:\\Own\\");
}

TEST(ProgramFolders, APathLongerThanItsBufferIsCut) {
    FakeRegistry registry;
    registry.SetString(kInstallKey, "Path", std::string(400, 'p'));
    EXPECT_EQ(EditorFolder(registry, "C:\\Own\\"), std::string(255, 'p') + "\\");
}

}  // namespace
