// Both programs from bin-virtual/ together, as installed: Tellwand starts WandEdit, the OSD shows
// what a press did, the editor's choice reaches Tellwand, and Exit ends both.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "config/program_folders.h"
#include "config/protocol.h"
#include "config/settings.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "testing/e2e_win32.h"
#include "testing/key_log_window_win32.h"
#include "testing/osd_window_win32.h"
#include "testing/temp_folder_win32.h"
#include "wandedit/resource_ids.h"

namespace {

class SystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetRegistry();
        ASSERT_TRUE(CopyProgram("Tellwand.exe", folder.path()));
        ASSERT_TRUE(CopyProgram(kEditorProgram, folder.path()));
        HKEY key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.path().c_str()),
                       static_cast<DWORD>(folder.path().size() + 1));
        RegCloseKey(key);
        AddTable("Music", "4", "0-C-X", "Replay");
        AddTable("Movies", "4", "0-C-F2", "Chapters");
        remote = std::make_unique<VirtualReceiverServer>(0x147A, 0xE001);
        ASSERT_TRUE(remote->Start());
    }
    void TearDown() override {
        if (HWND window = FindWindowA(kTellwandWindowClass, nullptr)) {
            PostMessageA(window, WM_COMMAND, kCommandExit, 0);
            tellwand.WaitForExit(5000);
        }
        WaitForNoWindow(nullptr, kEditorTitle, 5000);
        WaitForMutexGone(kEditorMutex);
        WaitForMutexGone(kTellwandMutex);
        ForgetRegistry();
    }
    static void ForgetRegistry() { DeleteMachineKey("Software\\VELQ"); }

    void AddTable(const char* name, const char* key, const char* keys, const char* description) {
        WritePrivateProfileStringA(name, key, keys, (folder.path() + "UserDef.ini").c_str());
        WritePrivateProfileStringA(name, "FilePath", "C:\\windows\\notepad.exe",
                                   (folder.path() + "UserDef.ini").c_str());
        WritePrivateProfileStringA(name, key, description,
                                   (folder.path() + "UserDefInf.ini").c_str());
    }
    void StoreSettings(DWORD enableOsd, const char* table) {
        HKEY key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyAsCreated, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        char name[kTableNameValueSize] = {};
        lstrcpynA(name, table, sizeof name);
        RegSetValueExA(key, "EnableOSD", 0, REG_DWORD, reinterpret_cast<BYTE*>(&enableOsd), 4);
        RegSetValueExA(key, "UserDefineTable", 0, REG_SZ, reinterpret_cast<BYTE*>(name),
                       sizeof name);
        RegCloseKey(key);
    }

    // Tellwand running with its hidden WandEdit, whose OSD has announced itself.
    void StartBoth() {
        ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
        tellwandWindow = WaitForWindow(kTellwandWindowClass, nullptr);
        ASSERT_NE(tellwandWindow, nullptr);
        ASSERT_TRUE(remote->WaitForClients(1, 10000));
        editorDialog = WaitForWindow(nullptr, kEditorTitle);
        ASSERT_NE(editorDialog, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return (osd = FindOsdWindow()) != nullptr; }));
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(editorDialog); }));
    }
    void Send(HWND window, UINT message, WPARAM wParam) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 10000, &result);
    }
    void Press(int code) {
        const uint8_t down[5] = {0, 0x40, 0, static_cast<uint8_t>(code), 0x0F};
        const uint8_t up[5] = {0, 0x40, 1, static_cast<uint8_t>(code), 0x0F};
        ASSERT_GE(remote->SendReport(down), 1);
        ASSERT_GE(remote->SendReport(up), 1);
    }

    TempFolder folder;
    std::unique_ptr<VirtualReceiverServer> remote;
    ChildProcess tellwand;
    HWND tellwandWindow = nullptr;
    HWND editorDialog = nullptr;
    HWND osd = nullptr;
};

TEST_F(SystemTest, APressInUserModeShowsItsDescriptionOnTheOsdForASecond) {
    StoreSettings(1, "Music");
    StartBoth();
    Send(tellwandWindow, kMsgTableSelector, 15);
    Send(tellwandWindow, WM_COMMAND, kCommandEnable);

    Press(5);  // Menu: "Replay"
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(osd) && OsdText(osd) == "Replay"; }));
    RECT place = {};
    GetWindowRect(osd, &place);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(place.left, static_cast<int>(width * 0.8));
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right - place.left, static_cast<int>(width * 0.2));
    EXPECT_EQ(place.bottom - place.top, static_cast<int>(height * 0.1));
    EXPECT_NE(GetWindowLongA(osd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(GetForegroundWindow(), osd);
    // Gone about a second after the release's show.
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(osd); }, 5000));
}

TEST_F(SystemTest, EveryPressShowsItsOwnText) {
    AddTable("Music", "14", "1-UP", "Louder");
    AddTable("Music", "9", "0-SPACE", "Pause");
    StoreSettings(1, "Music");
    StartBoth();
    Send(tellwandWindow, kMsgTableSelector, 15);
    Send(tellwandWindow, WM_COMMAND, kCommandEnable);
    HWND target = CreateKeyLogWindow();
    // Under Wine without a window manager a show or hide can stall for seconds on a busy
    // machine, so each press waits for its text and for the OSD to go before the next.
    const std::pair<int, const char*> presses[] = {
        {5, "Replay"}, {15, "Louder"}, {10, "Pause"}, {5, "Replay"}};
    for (const auto& press : presses) {
        Press(press.first);
        EXPECT_TRUE(
            PumpUntil([&] { return IsWindowVisible(osd) && OsdText(osd) == press.second; }, 10000))
            << press.second;
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(osd); }, 10000));
    }
    // The OSD never takes the keys from the window the user works in.
    EXPECT_EQ(LoggedKeys(), (std::vector<std::string>{"down 11", "down 58", "up 58", "up 11",
                                                      "down 26", "up 26", "down 20", "up 20",
                                                      "down 11", "down 58", "up 58", "up 11"}));
    EXPECT_EQ(GetForegroundWindow(), target);
    DestroyWindow(target);
}

TEST_F(SystemTest, OsdSwitchedOffShowsNothing) {
    StoreSettings(0, "Music");
    StartBoth();
    Send(tellwandWindow, kMsgTableSelector, 15);
    Send(tellwandWindow, WM_COMMAND, kCommandEnable);
    Press(5);
    EXPECT_FALSE(PumpUntil([&] { return IsWindowVisible(osd) != FALSE; }, 1500));
}

TEST_F(SystemTest, OpenEditorRestoresTheRunningEditorAndExitEndsBoth) {
    StartBoth();
    PostMessageA(tellwandWindow, WM_COMMAND, kCommandOpenEditor, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(editorDialog) != FALSE; }));
    EXPECT_EQ(FindWindowA(nullptr, kEditorTitle), editorDialog);  // the same one, not a second

    PostMessageA(tellwandWindow, WM_COMMAND, kCommandExit, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(tellwand.WaitForExit(10000, &exitCode));
    EXPECT_TRUE(WaitForNoWindow(nullptr, kEditorTitle));
}

TEST_F(SystemTest, TheTableChosenInTheEditorPlaysAfterTheNextEnable) {
    StoreSettings(0, "Music");
    StartBoth();
    PostMessageA(tellwandWindow, WM_COMMAND, kCommandOpenEditor, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(editorDialog) != FALSE; }));

    SendMessageA(GetDlgItem(editorDialog, IDC_USER_DEFINED), BM_CLICK, 0, 0);
    HWND list = GetDlgItem(editorDialog, IDC_TABLE_LIST);
    int movies = static_cast<int>(
        SendMessageA(list, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Movies")));
    ASSERT_GE(movies, 0);
    SendMessageA(list, CB_SETCURSEL, movies, 0);
    SendMessageA(editorDialog, WM_COMMAND, MAKEWPARAM(IDC_TABLE_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    SendMessageA(GetDlgItem(editorDialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(editorDialog); }));

    Send(tellwandWindow, WM_COMMAND, kCommandEnable);
    HWND target = CreateKeyLogWindow();
    Press(5);
    EXPECT_TRUE(PumpUntil([] { return LoggedKeys().size() >= 4; }));
    EXPECT_EQ(LoggedKeys(), (std::vector<std::string>{"down 11", "down 71", "up 71", "up 11"}));
    DestroyWindow(target);
}

}  // namespace
