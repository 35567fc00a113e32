// Settings and the install folder on the real registry of the test prefix.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/bounded_text.h"
#include "base/scoped_win32.h"
#include "config/program_folder_win32.h"
#include "config/program_folders.h"
#include "config/registry_win32.h"
#include "config/settings.h"

namespace {

// Starts and ends each test without the keys the programs use.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveKeys(); }
    void TearDown() override { RemoveKeys(); }

    static void RemoveKeys() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\VELQ");
    }

    static void SetInstallPath(const std::string& path) {
        HKEY created;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        ScopedRegistryKey key(created);
        RegSetValueExA(key.get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
    }

    Win32Registry registry;
};

TEST_F(RegistryTest, WriteThenReadRoundTripsTheSettings) {
    struct Case {
        std::string name;
        std::string expected;
    } cases[] = {
        {"Music", "Music"},
        {std::string(127, 'a'), std::string(127, 'a')},
        {std::string(300, 'b'), std::string(127, 'b')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.size());
        Settings written;
        written.enableOsd = c.name.size() % 2;
        CopyBounded(written.userDefineTable, c.name);
        WriteSettings(registry, written);

        Settings read;
        ReadSettings(registry, read);
        EXPECT_EQ(read.enableOsd, written.enableOsd);
        EXPECT_EQ(std::string(read.userDefineTable), c.expected);
    }
}

TEST_F(RegistryTest, TheNameIsStoredAsTheWhole128ByteBuffer) {
    Settings written;
    CopyBounded(written.userDefineTable, "Music");
    WriteSettings(registry, written);

    HKEY opened;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &opened), ERROR_SUCCESS);
    ScopedRegistryKey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    RegQueryValueExA(key.get(), "UserDefineTable", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 128u);
}

TEST_F(RegistryTest, MissingKeyOrValuesLeaveThePreviousSettings) {
    Settings settings;
    settings.enableOsd = 1;
    CopyBounded(settings.userDefineTable, "Before");
    ReadSettings(registry, settings);
    EXPECT_EQ(settings.enableOsd, 1u);
    EXPECT_STREQ(settings.userDefineTable, "Before");

    // The key exists, the values do not.
    HKEY created;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &created, nullptr),
              ERROR_SUCCESS);
    ScopedRegistryKey key(created);
    ReadSettings(registry, settings);
    EXPECT_EQ(settings.enableOsd, 1u);
    EXPECT_STREQ(settings.userDefineTable, "Before");
}

TEST_F(RegistryTest, PathWithOrWithoutBackslashGivesTheSameFiles) {
    SetInstallPath("C:\\Remote");
    IniPaths without = IniPathsInFolder(EditorFolder(registry, "C:\\Own\\"));
    SetInstallPath("C:\\Remote\\");
    IniPaths with = IniPathsInFolder(EditorFolder(registry, "C:\\Own\\"));

    EXPECT_EQ(without.userDef, "C:\\Remote\\UserDef.ini");
    EXPECT_EQ(with.twCtrl, without.twCtrl);
    EXPECT_EQ(with.userDef, without.userDef);
    EXPECT_EQ(with.userDefInf, without.userDefInf);
}

TEST_F(RegistryTest, WithoutPathTheEditorUsesItsOwnFolder) {
    const std::string own = OwnProgramFolder();
    EXPECT_EQ(own.back(), '\\');
    char modulePath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    EXPECT_EQ(std::string(modulePath).rfind(own, 0), 0u) << modulePath;

    EXPECT_EQ(EditorFolder(registry, own), own);
}

}  // namespace
