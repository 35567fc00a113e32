// Tellwand from bin-virtual/ as a user meets it: started in a fresh folder, driven through the
// virtual receiver and its window's messages, checked by the keys and mouse events that reach
// a focused window of this test.

#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: shlobj.h builds on its types.
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/scoped_win32.h"
#include "config/buttons.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "tellwand/tray_icon.h"
#include "testing/e2e_win32.h"
#include "testing/file_bytes.h"
#include "testing/key_log_window_win32.h"
#include "testing/tellwand_e2e_win32.h"
#include "testing/temp_folder_win32.h"
#include "testing/test_window_win32.h"
#include "testing/traced_process_win32.h"

namespace {

// The mouse buttons' messages as "left down" and the like; nullptr for any other message.
const char* MouseButtonEvent(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return "left down";
        case WM_LBUTTONUP:
            return "left up";
        case WM_RBUTTONDOWN:
            return "right down";
        case WM_RBUTTONUP:
            return "right up";
    }
    return nullptr;
}

// Logs the mouse buttons among the keys that reach the window.
LRESULT CALLBACK TargetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char* event = MouseButtonEvent(message)) {
        LoggedKeys().push_back(event);
        return 0;
    }
    return KeyLogWindowProc(window, message, wParam, lParam);
}

// A plain window of this test that has the focus, as the user's media program would. It
// covers the screen, so the pad's clicks land on it wherever the pointer has moved.
class TargetWindow {
  public:
    TargetWindow()
        : window_(CreateFocusedWindow("TellwandTestTarget", TargetWindowProc, 1024, 768)) {}
    ~TargetWindow() { DestroyWindow(window_); }
    void Focus() { FocusWindow(window_); }

  private:
    HWND window_;
};

class TrayProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteMachineKey("Software\\VELQ");
        ASSERT_TRUE(CopyProgram("Tellwand.exe", folder.path()));
        LoggedKeys().clear();
    }
    void TearDown() override {
        if (tellwand.IsRunning()) {
            ExitTellwand(tellwand);
        }
        DeleteMachineKey("Software\\VELQ");
    }

    void PlugInReceiver(uint16_t product = kReceiverProductId) {
        remote = std::make_unique<VirtualReceiverServer>(kReceiverVendorId, product);
        ASSERT_TRUE(remote->Start());
    }

    // Starts Tellwand and waits until its window exists and it reads the receiver.
    void StartTellwand() {
        ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
        ASSERT_NE(WaitForWindow(kTellwandWindowClass, nullptr), nullptr);
        if (remote) {
            ASSERT_TRUE(remote->WaitForClients(1, 10000));
        }
    }

    HWND window() { return FindWindowA(kTellwandWindowClass, nullptr); }

    void Command(int command) { SendToTellwand(WM_COMMAND, command); }

    void Press(uint8_t code, bool down) { ASSERT_TRUE(SendButton(*remote, code, down)); }

    void Pad(uint8_t type, uint8_t x, uint8_t y) {
        const uint8_t report[5] = {0, type, x, y, 0};
        ASSERT_GE(remote->SendReport(report), 1);
    }

    bool WaitForEvents(const std::vector<std::string>& expected) {
        bool arrived = PumpUntil([&] { return LoggedKeys().size() >= expected.size(); });
        PumpFor(150);  // nothing more may follow
        EXPECT_EQ(LoggedKeys(), expected);
        LoggedKeys().clear();
        return arrived;
    }

    // A user table "Music", chosen in the settings as WandEdit's OK stores it.
    void StoreUserTable() {
        WriteFileBytes(folder.path() + "UserDef.ini",
                       "[Music]\r\nFilePath=C:\\windows\\notepad.exe\r\n4=0-C-X\r\n14=1-UP\r\n"
                       "21=0-S-A-C-F5\r\n");
        ASSERT_TRUE(StoreSettings(0, "Music"));
    }

    // Control+X and the left mouse key held down.
    void HoldKeysAndLeftButton() {
        Press(5, true);
        Pad(0x89, 0, 0);
        WaitForEvents({"down 11", "down 58", "left down"});
    }

    // The user table in user mode, selected as WandEdit's OK does it.
    void SetUpUserMode() {
        StoreUserTable();
        SelectModeAndEnable(kUserMode);
    }

    TempFolder folder;
    std::unique_ptr<VirtualReceiverServer> remote;
    TracedProcess tellwand;
};

TEST_F(TrayProgramTest, FirstStartWritesTheDefaultsAndASecondInstanceEndsAtOnce) {
    PlugInReceiver();
    StartTellwand();
    std::string ini = ReadFileBytes(folder.path() + "TWCtrl.ini");
    EXPECT_NE(ini.find("[VCR]"), std::string::npos);
    EXPECT_NE(ini.find("[DVD]"), std::string::npos);

    ChildProcess second;
    ASSERT_TRUE(second.Start(folder.path() + "Tellwand.exe", "", folder.path()));
    DWORD exitCode = 1;
    ASSERT_TRUE(second.WaitForExit(5000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(tellwand.IsRunning());
    EXPECT_EQ(remote->ClientCount(), 1);
    // Started without the switch, and without the per-user setting, it wrote no trace.
    char appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData), S_OK);
    EXPECT_EQ(GetFileAttributesA((std::string(appData) + "\\VELQ Tellwand\\Tellwand.log").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

// hid.dll is no system-protected DLL, and the DLLs that system libraries load later are
// looked for by name: one found beside the program would run inside Tellwand at every logon.
TEST_F(TrayProgramTest, ADllBesideTheProgramIsNeverLoaded) {
    ASSERT_TRUE(PlantDll(folder.path(), "hid.dll"));
    ASSERT_TRUE(PlantDll(folder.path(), "planted.dll"));
    PlugInReceiver();
    StartTellwand();
    SendHidArrival(window());
    EXPECT_EQ(GetFileAttributesA((folder.path() + "hid.dll.loaded").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(ProcessLoadsDll(tellwand.handle(), "planted.dll"));
    EXPECT_TRUE(ProcessLoadsDll(tellwand.handle(), folder.path() + "planted.dll"));  // by path
}

int WarningBoxes() {
    int boxes = 0;
    for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", "Warning"); box != nullptr;
         box = FindWindowExA(nullptr, box, "#32770", "Warning")) {
        ++boxes;
    }
    return boxes;
}

TEST_F(TrayProgramTest, WithoutReceiverWarnsOnceAtATimeAndStaysRunningDisabled) {
    ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
    ASSERT_NE(WaitForWindow("#32770", "Warning"), nullptr);
    // Reloads and Enables while the box is up search quietly.
    for (int command : {kCommandReload, kCommandEnable, kCommandReload, kCommandEnable}) {
        PostMessageA(window(), WM_COMMAND, command, 0);
    }
    EXPECT_FALSE(PumpUntil([] { return WarningBoxes() > 1; }, 1000));
    std::string text;
    ASSERT_TRUE(AnswerMessageBox("Warning", &text));
    EXPECT_EQ(text, "Couldn't find QD740 device!");
    EXPECT_EQ(WaitForWindow("#32770", "Warning", 500), nullptr);
    EXPECT_TRUE(tellwand.WaitForTraceLines(
        {std::string("opening the virtual receiver ") + kVirtualPipeName + " failed: error",
         "receiver not found: disabled"}));
    EXPECT_TRUE(tellwand.IsRunning());

    // Enable without a receiver warns again and stays disabled.
    PostMessageA(window(), WM_COMMAND, kCommandEnable, 0);
    ASSERT_TRUE(AnswerMessageBox("Warning", nullptr));
    EXPECT_TRUE(tellwand.IsRunning());
}

TEST_F(TrayProgramTest, UserModePlaysTheConfiguredKeys) {
    PlugInReceiver();
    StartTellwand();
    SetUpUserMode();
    TargetWindow target;

    Press(5, true);  // Menu, "0-C-X"
    Press(5, false);
    WaitForEvents({"down 11", "down 58", "up 58", "up 11"});
    // The trace says which report came, which button and table, and what was played.
    EXPECT_TRUE(tellwand.WaitForTraceLines(
        {"report 00 40 00 05 0F", "button 4 down, table selector 15, table [Music]", "key 11 down",
         "key 58 down", "report 00 40 01 05 0F", "button 4 up", "key 58 up", "key 11 up"}));

    Press(15, true);  // VolumeUp, "1-UP"
    Press(15, false);
    WaitForEvents({"down 26", "up 26"});

    Press(22, true);  // NumPad, Control+Alt+Shift+F5: modifiers first down, last up
    Press(22, false);
    WaitForEvents({"down 11", "down 12", "down 10", "down 74", "up 74", "up 10", "up 12", "up 11"});
}

TEST_F(TrayProgramTest, PadMovesThePointerAndPressesItsButtons) {
    PlugInReceiver();
    StartTellwand();
    TargetWindow target;
    SetCursorPos(500, 400);
    PumpMessages();
    POINT before = {};
    GetCursorPos(&before);

    Pad(0x88, 10, 0);  // right
    ASSERT_TRUE(PumpUntil([&] {
        POINT now = {};
        GetCursorPos(&now);
        return now.x > before.x;
    }));
    POINT after = {};
    GetCursorPos(&after);
    EXPECT_EQ(after.y, before.y);

    Pad(0x89, 0, 0);  // left key down, no motion
    Pad(0x89, 0, 0);  // still down: nothing more
    Pad(0x88, 0, 0);  // released by the next move report
    WaitForEvents({"left down", "left up"});

    Pad(0x8A, 0, 0);
    Pad(0x88, 0, 0);
    WaitForEvents({"right down", "right up"});
}

TEST_F(TrayProgramTest, BuiltInModeFollowsTheRunningApplication) {
    PlugInReceiver();
    StartTellwand();
    NamedWindow recorder("PowerBar");
    Command(kCommandEnable);  // finds "PowerBar" alone: the "VCR" table
    TargetWindow target;

    const int digitCodes[] = {23, 24, 25, 26, 27, 28, 29, 30, 31, 33};
    std::vector<std::string> expected;
    for (int i = 0; i < 10; ++i) {
        Press(digitCodes[i], true);
        Press(digitCodes[i], false);
        char key[8];
        std::snprintf(key, sizeof key, "%02X", i == 9 ? 0x30 : 0x31 + i);
        expected.push_back(std::string("down ") + key);
        expected.push_back(std::string("up ") + key);
    }
    WaitForEvents(expected);
}

TEST_F(TrayProgramTest, DisabledAndEditorOpenReportsAreDropped) {
    PlugInReceiver();
    StartTellwand();
    SetUpUserMode();
    TargetWindow target;

    Command(kCommandDisable);
    Press(5, true);
    Press(5, false);
    WaitForEvents({});

    Command(kCommandEnable);
    {
        // This test stands for WandEdit: its main dialog and its HotKey dialog in one process.
        NamedWindow editor(kEditorTitle);
        NamedWindow hotkeys(kHotkeyDialogTitle);
        Press(5, true);
        Press(5, false);
        WaitForEvents({});
    }
    // The dialog is gone: dispatch resumes by itself, nothing of the paused time is played.
    Press(15, true);
    Press(15, false);
    WaitForEvents({"down 26", "up 26"});
}

TEST_F(TrayProgramTest, TheEditorOpeningWhileAButtonIsDownLetsGoOfWhatIsHeld) {
    PlugInReceiver();
    StartTellwand();
    SetUpUserMode();
    TargetWindow target;
    HoldKeysAndLeftButton();

    NamedWindow editor(kEditorTitle);
    NamedWindow hotkeys(kHotkeyDialogTitle);
    Press(5, false);  // dropped, but first everything held goes up
    WaitForEvents({"left up", "up 58", "up 11"});
}

// Plugging the receiver in is the natural answer to the warning that it is missing.
TEST_F(TrayProgramTest, AReceiverPluggedInWhileTheWarningIsShownIsUsed) {
    StoreUserTable();
    ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
    HWND box = WaitForWindow("#32770", "Warning");
    ASSERT_NE(box, nullptr);
    SendToTellwand(kMsgTableSelector, kUserMode);
    PlugInReceiver();
    SendHidArrival(window());
    ASSERT_TRUE(remote->WaitForClients(1, 10000));
    ASSERT_TRUE(AnswerMessageBox(box, nullptr));

    EXPECT_TRUE(PumpUntil([] { return TrayIconTip() == kTipEnabled; })) << TrayIconTip();
    TargetWindow target;
    Press(15, true);
    Press(15, false);
    WaitForEvents({"down 26", "up 26"});
}

TEST_F(TrayProgramTest, ReloadFindsAReceiverPluggedInAgain) {
    PlugInReceiver(kReceiverProductIdAlternate);  // a receiver too
    StartTellwand();
    SetUpUserMode();
    TargetWindow target;
    Press(15, true);
    Press(15, false);
    WaitForEvents({"down 26", "up 26"});

    remote.reset();  // unplugged
    PlugInReceiver();
    Command(kCommandReload);
    ASSERT_TRUE(remote->WaitForClients(1, 10000));
    target.Focus();
    Press(15, true);
    Press(15, false);
    WaitForEvents({"down 26", "up 26"});
}

TEST_F(TrayProgramTest, TrayMenuThirdItemDisablesWhileEnabledAndEnablesWhileDisabled) {
    PlugInReceiver();
    StartTellwand();
    SetUpUserMode();

    ASSERT_TRUE(PickTrayMenuItem(window(), 2));  // "Disable"
    {
        TargetWindow target;
        Press(15, true);
        Press(15, false);
        WaitForEvents({});
    }
    ASSERT_TRUE(PickTrayMenuItem(window(), 2));  // now "Enable"
    TargetWindow target;
    Press(15, true);
    Press(15, false);
    WaitForEvents({"down 26", "up 26"});

    // Other mouse messages and other icons open no menu.
    PostMessageA(window(), kMsgTrayCallback, 200, WM_LBUTTONDOWN);
    PostMessageA(window(), kMsgTrayCallback, 201, WM_RBUTTONDOWN);
    EXPECT_EQ(WaitForWindow("#32768", nullptr, 1000), nullptr);
}

LRESULT CALLBACK ClosingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The recorder's button while the DVD player runs closes the player and waits a second: the
// icon says "Got you!" meanwhile, and a Disable that comes then holds once the report is done.
TEST_F(TrayProgramTest, TheIconSaysGotYouDuringASlowReportAndEndsInTheStateThatHolds) {
    WriteFileBytes(folder.path() + "PVCR.exe", "MZ");
    WriteFileBytes(folder.path() + "TWCtrl.ini",
                   "[VCR]\r\nKeyPath=Software\\VELQ\\Apps\r\nSubKey=VCR\r\n");
    HKEY apps = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\VELQ\\Apps", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &apps, nullptr),
              ERROR_SUCCESS);
    ScopedRegistryKey ownedApps(apps);
    RegSetValueExA(apps, "VCR", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.path().c_str()),
                   static_cast<DWORD>(folder.path().size() + 1));
    ownedApps.Reset();
    PlugInReceiver();
    StartTellwand();
    ASSERT_TRUE(PumpUntil([] { return TrayIconTip() == kTipEnabled; })) << TrayIconTip();
    HWND player = CreateTestWindow("Class of CyberLink Universal Player", ClosingWindowProc,
                                   "PowerDVD", WS_POPUP);

    Press(1, true);  // Power: closes the player, then waits a second
    EXPECT_TRUE(PumpUntil([] { return TrayIconTip() == kTipBusy; }, 900)) << TrayIconTip();
    Command(kCommandDisable);
    EXPECT_TRUE(PumpUntil([] { return TrayIconTip() == kTipDisabled; }, 500)) << TrayIconTip();
    PumpFor(1500);  // the report is over
    EXPECT_EQ(TrayIconTip(), kTipDisabled);
    DestroyWindow(player);
}

// Whether the shell holds Tellwand's icon: a change that changes nothing succeeds only then.
bool ShellHasIcon(HWND tellwand) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = tellwand;
    icon.uID = 200;
    return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
}

TEST_F(TrayProgramTest, IconComesBackWhenTheTaskbarIsRestarted) {
    PlugInReceiver();
    StartTellwand();
    ASSERT_TRUE(PumpUntil([&] { return ShellHasIcon(window()); }));

    // A restarted taskbar has forgotten every icon, and says so to every top-level window.
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window();
    icon.uID = 200;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    ASSERT_FALSE(ShellHasIcon(window()));
    PostMessageA(window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return ShellHasIcon(window()); }));
}

TEST_F(TrayProgramTest, EveryWayOutReleasesWhatIsHeld) {
    struct WayOut {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const WayOut kWaysOut[] = {{"Exit", WM_COMMAND, kCommandExit},
                               {"WM_QUIT from another program", WM_QUIT, 0}};
    PlugInReceiver();
    for (const WayOut& way : kWaysOut) {
        SCOPED_TRACE(way.name);
        StartTellwand();
        SetUpUserMode();
        TargetWindow target;
        HoldKeysAndLeftButton();

        PostMessageA(window(), way.message, way.wParam, 0);
        DWORD exitCode = 1;
        ASSERT_TRUE(tellwand.WaitForExit(10000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        WaitForEvents({"left up", "up 58", "up 11"});
        EXPECT_EQ(window(), nullptr);
    }
}

}  // namespace
