// The configuration files on real files in a temporary folder, through the profile functions.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "config/default_tables.h"
#include "config/file_system_win32.h"
#include "config/profile_store_win32.h"
#include "config/program_folders.h"
#include "config/tests/default_tables_expected.h"
#include "config/tests/store_under_test.h"
#include "config/user_tables.h"
#include "testing/file_bytes.h"
#include "testing/temp_folder_win32.h"

namespace {

class RealFilesUnderTest : public StoreUnderTest {
  public:
    ProfileStore& store() override { return store_; }
    const std::string& folder() const override { return folder_.path(); }

  private:
    Win32ProfileStore store_;
    TempFolder folder_;
};

std::unique_ptr<StoreUnderTest> MakeRealFiles() {
    return std::make_unique<RealFilesUnderTest>();
}

INSTANTIATE_TEST_SUITE_P(RealFiles, ProfileStoreContract, ::testing::Values(&MakeRealFiles));
INSTANTIATE_TEST_SUITE_P(RealFiles, UserTablesOnStore, ::testing::Values(&MakeRealFiles));

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class DefaultTablesOnDisk : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string twCtrl = folder.path() + "TWCtrl.ini";
    Win32FileSystem files;
    Win32ProfileStore profiles;
};

TEST_F(DefaultTablesOnDisk, FirstStartWritesExactlyTheTwoTables) {
    EXPECT_TRUE(CreateDefaultTablesIfMissing(files, profiles, twCtrl));
    EXPECT_EQ(ReadFileBytes(twCtrl), ExpectedDefaultTwCtrl("\r\n"));

    // The second start finds the file and leaves it alone.
    EXPECT_FALSE(CreateDefaultTablesIfMissing(files, profiles, twCtrl));
}

// How another program may hold the file open at that moment.
struct Holder {
    const char* name;
    DWORD access;
    DWORD sharing;
};

const Holder kHolders[] = {
    {"nobody", 0, 0},
    {"a reader that shares writing only", GENERIC_READ, FILE_SHARE_WRITE},
    {"a writer that shares nothing", GENERIC_READ | GENERIC_WRITE, 0},
};

TEST_F(DefaultTablesOnDisk, AnExistingFileIsLeftByteForByteWhoeverHoldsIt) {
    for (const Holder& holder : kHolders) {
        for (const std::string& content :
             {std::string(), std::string("[VCR]\r\n0=0-C-Q\r\n; mine\r\n[FM]\r\nKeyPath=x\r\n")}) {
            SCOPED_TRACE(holder.name);
            WriteFileBytes(twCtrl, content);
            HANDLE held = INVALID_HANDLE_VALUE;
            if (holder.access != 0 || holder.sharing != 0) {
                held = CreateFileA(twCtrl.c_str(), holder.access, holder.sharing, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
                ASSERT_NE(held, INVALID_HANDLE_VALUE);
            }
            EXPECT_FALSE(CreateDefaultTablesIfMissing(files, profiles, twCtrl));
            if (held != INVALID_HANDLE_VALUE) {
                CloseHandle(held);
            }
            EXPECT_EQ(ReadFileBytes(twCtrl), content);
        }
    }
}

TEST_F(DefaultTablesOnDisk, AnUncreatableFileWritesNothing) {
    const std::string missingFolder = folder.path() + "missing\\";
    EXPECT_FALSE(CreateDefaultTablesIfMissing(files, profiles, missingFolder + "TWCtrl.ini"));
    EXPECT_FALSE(Exists(missingFolder));
}

// "New" asks whether the chosen program is there, and so does Tellwand before it starts one.
TEST(FilesOnDisk, AFileIsThereWhateverHoldsItButAFolderOrAPatternIsNot) {
    TempFolder folder;
    const std::string program = folder.path() + "player.exe";
    WriteFileBytes(program, "MZ");
    // Held by a program that lets nobody else open it.
    HANDLE held = CreateFileA(program.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string inFolder = folder.path().substr(0, folder.path().size() - 1);
    struct Case {
        std::string path;
        bool there;
    };
    const Case cases[] = {
        {program, true},
        {folder.path() + "missing.exe", false},
        {folder.path() + "*.exe", false},
        {folder.path() + "player.ex?", false},
        {folder.path() + "player<", false},  // the system's own wildcards in a search
        {inFolder, false},
        {folder.path(), false},
        {"", false},
    };
    Win32FileSystem files;
    for (const Case& c : cases) {
        EXPECT_EQ(files.FileExists(c.path), c.there) << c.path;
    }
    CloseHandle(held);
}

TEST(FilesOnDisk, ProgramFilesHoldsTheFolderTheSystemGivesThisProgram) {
    char own[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("ProgramFiles", own, sizeof own), 0u);
    std::vector<std::string> folders = Win32FileSystem().ProgramFilesFolders();
    EXPECT_TRUE(LiesInsideAnyFolder(std::string(own) + "\\App\\app.exe", folders));
    EXPECT_FALSE(LiesInsideAnyFolder(std::string(own) + "\\..\\app.exe", folders));
}

TEST(UserTablesOnDisk, AMissingFolderReadsAsNoTablesAndIgnoresWrites) {
    TempFolder folder;
    const std::string missingFolder = folder.path() + "missing\\";
    const IniPaths paths = IniPathsInFolder(missingFolder);
    Win32ProfileStore profiles;
    KeyTable keys;
    CopyBounded(keys[0].text, "0-C-X");
    SaveUserTable(profiles, paths, "Music", keys);
    SetTableProgram(profiles, paths, "Music", "C:\\music.exe");

    char filePath[kFilePathSize] = "x";
    LoadUserTable(profiles, paths, "Music", keys, filePath);
    EXPECT_EQ(keys[0].key, 0);
    EXPECT_STREQ(filePath, "");
    EXPECT_TRUE(ListUserTables(profiles, paths).empty());
    EXPECT_FALSE(Exists(missingFolder));
}

TEST(UserTablesOnDisk, SaveWritesBothFilesAsTheEditorLeavesThem) {
    TempFolder folder;
    const IniPaths paths = IniPathsInFolder(folder.path());
    Win32ProfileStore profiles;
    KeyTable keys;
    for (KeyAction& record : keys) {
        CopyBounded(record.text, "0-");
    }
    CopyBounded(keys[9].text, "0-Space");
    CopyBounded(keys[9].description, "Play/Pause");
    SaveUserTable(profiles, paths, "Music", keys);

    std::string texts = "[Music]\r\n";
    std::string descriptions = "[Music]\r\n";
    for (int n = 0; n < kButtonCount; ++n) {
        texts += std::to_string(n) + (n == 9 ? "=0-Space\r\n" : "=0-\r\n");
        descriptions += std::to_string(n) + (n == 9 ? "=Play/Pause\r\n" : "=\r\n");
    }
    EXPECT_EQ(ReadFileBytes(paths.userDef), texts);
    EXPECT_EQ(ReadFileBytes(paths.userDefInf), descriptions);
}

}  // namespace
