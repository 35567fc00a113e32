#include "config/program_folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(ProgramFolders, APathLiesInsideAFolderOnlyAsTheFileSystemResolvesIt) {
    const std::vector<std::string> kProgramFiles = {"C:\\Program Files", "\\\\srv\\apps\\"};
    struct Case {
        const char* path;
        bool inside;
    } cases[] = {
        {"C:\\Program Files\\App\\app.exe", true},
        {"c:/program files/App/app.exe", true},
        {"C:\\Program Files\\.\\App\\\\app.exe", true},
        {"C:\\Program Files\\App\\..\\..\\Users\\x.exe", false},
        {"C:\\Program Files\\..\\x.exe", false},
        {"C:\\Program Files\\..\\..\\..\\Program Files\\x.exe", true},
        {"C:\\Program Files", false},
        {"C:\\Program Files (x86)\\x.exe", false},
        {"C:\\Program Files x.exe", false},
        {"D:\\Program Files\\x.exe", false},
        {"\\Program Files\\x.exe", false},
        {"Program Files\\x.exe", false},
        {"C:Program Files\\x.exe", false},
        {"\\\\srv\\apps\\x.exe", true},
        {"\\\\SRV\\Apps\\..\\x.exe", true},  // ".." stops at the share
        {"\\\\srv\\other\\x.exe", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LiesInsideAnyFolder(c.path, kProgramFiles), c.inside) << c.path;
    }
}

}  // namespace
