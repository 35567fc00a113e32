// Application tables in the HotKey Configuration dialog of WandEdit from bin-virtual/: New and
// Delete through the real name, file-open, "File path error" and "Delete HotKey" windows.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "config/program_folders.h"
#include "config/registry_win32.h"
#include "protocol/protocol.h"
#include "testing/e2e_win32.h"
#include "testing/editor_setup_win32.h"
#include "testing/temp_folder_win32.h"
#include "testing/traced_process_win32.h"
#include "wandedit/resource_ids.h"

namespace {

constexpr char kAppNameTitle[] = "Application Name";
constexpr char kFilePathErrorTitle[] = "File path error";
constexpr char kDeleteTitle[] = "Delete HotKey";
constexpr char kOpenTitle[] = "Open";
// The file-name field of the file-open dialog: a combo box on some systems, an edit on others.
constexpr int kFileNameCombo = 1148;
constexpr int kFileNameEdit = 1152;

// Sent: GetWindowText and SetWindowText do not reach controls of another process.
std::string WindowText(HWND window) {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void SetText(HWND window, const std::string& text) {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

struct OwnedDialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<OwnedDialogSearch*>(lParam);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (GetWindow(window, GW_OWNER) == search->owner && std::string(name) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The message box a window of WandEdit shows: WandEdit has other untitled dialogs.
HWND MessageBoxOwnedBy(HWND owner) {
    OwnedDialogSearch search = {owner, nullptr};
    EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits for the owner's message box, returns its text and answers OK.
bool AnswerMessageBoxOf(HWND owner, std::string* text) {
    HWND box = nullptr;
    if (!PumpUntil([&] { return (box = MessageBoxOwnedBy(owner)) != nullptr; }, 10000)) {
        return false;
    }
    return AnswerMessageBox(box, text);
}

void PressEnter(HWND window) {
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(window, WM_KEYUP, VK_RETURN, 0);
}

class TableManagementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetEditorRegistry();
        ASSERT_TRUE(CopyProgram(kEditorProgram, folder.path()));
        StoreEditorFolder(registry, folder.path());
        WritePrivateProfileStringA("Music", "0", "0-C-X", UserDef().c_str());
        WritePrivateProfileStringA("Radio", "0", "0-Q", UserDef().c_str());
        WritePrivateProfileStringA("Music", "0", "Cut", UserDefInf().c_str());
        StoreSettings(registry, 0, "Music");

        ASSERT_TRUE(wandEdit.Start(folder.path() + kEditorProgram, "15", folder.path()));
        HWND settingsWindow = WaitForWindow(nullptr, kEditorTitle);
        ASSERT_NE(settingsWindow, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(settingsWindow) != FALSE; }));
        dialog = OpenHotkeyDialog(settingsWindow);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Application() == "Music"; }));
    }
    void TearDown() override {
        // Whatever a failed test left open goes with the process.
        wandEdit.Kill();
        ForgetEditorRegistry();
    }

    std::string UserDef() const { return IniPathsInFolder(folder.path()).userDef; }
    std::string UserDefInf() const { return IniPathsInFolder(folder.path()).userDefInf; }
    // The section's "key=value" lines, separated by '|'.
    std::string Section(const std::string& file, const char* section) {
        char text[1024] = {};
        DWORD length = GetPrivateProfileSectionA(section, text, sizeof text, file.c_str());
        for (DWORD i = 0; i + 1 < length; ++i) {
            if (text[i] == '\0') {
                text[i] = '|';
            }
        }
        return text;
    }

    void Command(int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    std::string Application() {
        char text[64] = {};
        GetDlgItemTextA(dialog, IDC_APP_NAME, text, sizeof text);
        return text;
    }
    std::vector<std::string> Entries() {
        HWND list = GetDlgItem(dialog, IDC_APP_LIST);
        std::vector<std::string> entries;
        LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
        // The wide form: the narrow one comes back cut when sent to another process.
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            char narrow[64] = {};
            WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
            entries.push_back(narrow);
        }
        return entries;
    }
    LRESULT Selected() {
        return SendMessageA(GetDlgItem(dialog, IDC_APP_LIST), CB_GETCURSEL, 0, 0);
    }
    void ExpectListed(const std::vector<std::string>& entries, LRESULT selected) {
        bool listed = PumpUntil([&] { return Entries() == entries && Selected() == selected; });
        std::string shown;
        for (const std::string& entry : Entries()) {
            shown += entry + ",";
        }
        EXPECT_TRUE(listed) << shown << " selected " << Selected();
    }

    // "New", the name typed into "Application Name" and Enter.
    HWND NewNamed(const char* name) {
        Command(IDC_NEW);
        HWND ask = WaitForWindow("#32770", kAppNameTitle);
        if (ask == nullptr) {
            return nullptr;
        }
        HWND edit = WaitForDialogItem(ask, IDC_APP_NAME_EDIT);
        for (const char* c = name; *c != '\0'; ++c) {
            PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 0);
        }
        if (!PumpUntil([&] { return WindowText(edit) == name; })) {
            return nullptr;
        }
        PressEnter(edit);
        return ask;
    }
    HWND WaitForOpenDialog() { return WaitForWindow("#32770", kOpenTitle); }
    // Types the path into the file-open dialog's file-name field and presses its OK.
    bool Pick(HWND open, const std::string& path) {
        // The dialog sets itself up after it appears; the field is the visible one.
        HWND field = nullptr;
        bool shown = PumpUntil([&] {
            for (int id : {kFileNameCombo, kFileNameEdit}) {
                HWND candidate = GetDlgItem(open, id);
                if (candidate != nullptr && IsWindowVisible(candidate)) {
                    field = candidate;
                    return true;
                }
            }
            return false;
        });
        if (!shown) {
            return false;
        }
        // A combo box takes the typing in its edit.
        HWND edit = FindWindowExA(field, nullptr, "Edit", nullptr);
        if (edit != nullptr) {
            field = edit;
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            SetText(field, path);
            if (WindowText(field) != path) {
                continue;
            }
            PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)));
            if (WaitForNoWindow("#32770", kOpenTitle, 3000)) {
                return true;
            }
        }
        return false;
    }

    TempFolder folder;
    Win32Registry registry;
    TracedProcess wandEdit;
    HWND dialog = nullptr;
};

TEST_F(TableManagementTest, NewTableWithAnExistingProgramIsListedLastThenDeleted) {
    ASSERT_NE(NewNamed("Player"), nullptr);
    ASSERT_TRUE(WaitForNoWindow("#32770", kAppNameTitle));
    HWND open = WaitForOpenDialog();
    ASSERT_NE(open, nullptr);
    std::string program = folder.path() + kEditorProgram;
    ASSERT_TRUE(Pick(open, program));

    ExpectListed({"Music", "Radio", "Player"}, 2);
    EXPECT_TRUE(PumpUntil([&] { return Application() == "Player"; }));
    char shown[300] = {};
    GetDlgItemTextA(dialog, IDC_PROGRAM_PATH, shown, sizeof shown);
    EXPECT_EQ(shown, program);
    EXPECT_EQ(Section(UserDef(), "Player"), "FilePath=" + program);
    EXPECT_EQ(Section(UserDefInf(), "Player"), "");

    Command(IDC_DELETE);
    HWND confirm = WaitForWindow("#32770", kDeleteTitle);
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(DialogItemText(confirm, IDC_DELETE_MESSAGE),
              "Delete HotKey for \"Player\" Application ?");
    PressEnter(confirm);  // OK is the default button
    ASSERT_TRUE(WaitForNoWindow("#32770", kDeleteTitle));

    ExpectListed({"Music", "Radio"}, 0);
    EXPECT_TRUE(PumpUntil([&] { return Application() == "Music"; }));
    EXPECT_EQ(Section(UserDef(), "Player"), "");
    EXPECT_EQ(Section(UserDef(), "Music"), "0=0-C-X");
}

TEST_F(TableManagementTest, EnterInFilePathErrorGivesUpTheNewTable) {
    ASSERT_NE(NewNamed("Player"), nullptr);
    HWND open = WaitForOpenDialog();
    ASSERT_NE(open, nullptr);
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(open, IDCANCEL)));
    HWND error = WaitForWindow("#32770", kFilePathErrorTitle);
    ASSERT_NE(error, nullptr);
    PressEnter(error);  // "Give up" is the default button
    ASSERT_TRUE(WaitForNoWindow("#32770", kFilePathErrorTitle));

    ExpectListed({"Music", "Radio"}, 0);
    EXPECT_EQ(Application(), "Music");
    EXPECT_EQ(Section(UserDef(), "Player"), "");
    EXPECT_EQ(Section(UserDef(), "Radio"), "0=0-Q");
}

TEST_F(TableManagementTest, ApplicationNameRefusesTakenAndEmptyNamesAndStaysOpen) {
    struct Case {
        const char* name;
        const char* message;
    };
    const Case cases[] = {
        {"rADIO", "Application name exist"},
        {"", "Please enter the application name"},
        {"[Radio]", "Please enter the application name without [ or ]"},
    };
    for (const Case& c : cases) {
        HWND ask = NewNamed(c.name);
        ASSERT_NE(ask, nullptr) << c.name;
        std::string text;
        EXPECT_TRUE(AnswerMessageBoxOf(ask, &text)) << c.name;
        EXPECT_EQ(text, c.message);
        EXPECT_TRUE(IsWindow(ask)) << c.name;
        PostMessageA(ask, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ASSERT_TRUE(WaitForNoWindow("#32770", kAppNameTitle)) << c.name;
    }
    ExpectListed({"Music", "Radio"}, 0);
    EXPECT_FALSE(IsWindow(FindWindowA("#32770", kOpenTitle)));
}

}  // namespace
