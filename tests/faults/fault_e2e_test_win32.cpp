// Tellwand from bin-virtual/ meeting faults while it runs: the receiver unplugged between a
// button's down and up reports, its INI files damaged, an OSD window that never answers,
// WandEdit killed.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "config/buttons.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "tellwand/osd_sender_win32.h"
#include "testing/e2e_win32.h"
#include "testing/file_bytes.h"
#include "testing/key_log_window_win32.h"
#include "testing/tellwand_e2e_win32.h"
#include "testing/temp_folder_win32.h"
#include "testing/test_window_win32.h"
#include "testing/traced_process_win32.h"

namespace {

const char kUserTable[] = "[Music]\r\nFilePath=C:\\windows\\notepad.exe\r\n4=0-C-X\r\n";

class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteMachineKey("Software\\VELQ");
        ASSERT_TRUE(CopyProgram("Tellwand.exe", folder.path()));
        WriteFileBytes(folder.path() + "UserDef.ini", kUserTable);
        PlugInReceiver();
        ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
        ASSERT_NE(WaitForWindow(kTellwandWindowClass, nullptr), nullptr);
        ASSERT_TRUE(remote->WaitForClients(1, 10000));
        SelectUserTable();
        target = CreateKeyLogWindow();
    }
    void TearDown() override {
        ExitTellwand(tellwand);
        WaitForMutexGone(kEditorMutex);  // the WandEdit it started ends on its own
        DestroyWindow(target);
        DeleteMachineKey("Software\\VELQ");
    }

    void PlugInReceiver() {
        remote = std::make_unique<VirtualReceiverServer>(kReceiverVendorId, kReceiverProductId);
        ASSERT_TRUE(remote->Start());
    }

    // Reloading 10 MB of noise in place of the INI files takes Tellwand a while under Wine.
    static constexpr DWORD kSendTimeoutMs = 30000;

    void Send(UINT message, WPARAM wParam) { SendToTellwand(message, wParam, kSendTimeoutMs); }

    void SelectUserTable(uint32_t osd = 0) {
        ASSERT_TRUE(StoreSettings(osd, "Music"));
        SelectModeAndEnable(kUserMode, kSendTimeoutMs);
    }

    void Press(uint8_t code, bool down) { ASSERT_TRUE(SendButton(*remote, code, down)); }

    void ExpectKeys(const std::vector<std::string>& expected) {
        EXPECT_EQ(TakeLoggedKeys(expected.size()), expected);
    }

    void ExpectPressWorks() {
        SetForegroundWindow(target);
        Press(5, true);
        Press(5, false);
        ExpectKeys({"down 11", "down 58", "up 58", "up 11"});
    }

    TempFolder folder;
    std::unique_ptr<VirtualReceiverServer> remote;
    TracedProcess tellwand;
    HWND target = nullptr;
};

TEST_F(FaultTest, ReceiverUnpluggedWhileAButtonIsDownReleasesItsKeys) {
    Press(5, true);
    ExpectKeys({"down 11", "down 58"});
    remote.reset();
    ExpectKeys({"up 58", "up 11"});

    PlugInReceiver();
    Send(WM_COMMAND, kCommandReload);
    ASSERT_TRUE(remote->WaitForClients(1, 10000));
    ExpectPressWorks();
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(10);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

TEST_F(FaultTest, IniFilesDeletedEmptiedOrTurnedToNoiseNeitherCrashNorStopTheRemote) {
    const char* const kFiles[] = {"TWCtrl.ini", "UserDef.ini", "UserDefInf.ini"};
    struct Damage {
        const char* name;
        bool deleted;
        std::string content;
    };
    const Damage kDamages[] = {{"deleted", true, ""},
                               {"emptied", false, ""},
                               {"10 MB of noise", false, RandomBytes(10 << 20)}};
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.name);
        for (const char* file : kFiles) {
            if (damage.deleted) {
                DeleteFileA((folder.path() + file).c_str());
            } else {
                WriteFileBytes(folder.path() + file, damage.content);
            }
        }
        Send(WM_COMMAND, kCommandReload);
        Press(5, true);
        Press(5, false);
        PumpFor(500);
        ASSERT_TRUE(tellwand.IsRunning());
        LoggedKeys().clear();

        WriteFileBytes(folder.path() + "UserDef.ini", kUserTable);
        DeleteFileA((folder.path() + "UserDefInf.ini").c_str());
        Send(WM_COMMAND, kCommandReload);
        ExpectPressWorks();
    }
}

// Keeps what an OSD or a media application is told: WM_COPYDATA, the show, WM_ENABLE and
// WM_CLOSE, in the vector the window's user data points to.
LRESULT CALLBACK RecordOsdMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* received = reinterpret_cast<std::vector<UINT>*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (received != nullptr && (message == WM_COPYDATA || message == kMsgOsdShow ||
                                message == WM_ENABLE || message == WM_CLOSE)) {
        received->push_back(message);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// An OSD that answers at once, on the test's own thread: it reads while the test pumps.
class AnsweringWindow {
  public:
    AnsweringWindow() {
        window_ = CreateTestWindow("TellwandTestAnsweringOsd", RecordOsdMessage, "Answering OSD",
                                   WS_POPUP);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received_));
    }
    ~AnsweringWindow() { DestroyWindow(window_); }
    AnsweringWindow(const AnsweringWindow&) = delete;
    AnsweringWindow& operator=(const AnsweringWindow&) = delete;
    HWND handle() const { return window_; }
    bool WasShown() const {
        return std::find(received_.begin(), received_.end(), kMsgOsdShow) != received_.end();
    }

  private:
    HWND window_ = nullptr;
    std::vector<UINT> received_;
};

// A window whose thread reads no message until released, standing for a hung WandEdit or a
// hung media application (disabled, as behind a modal dialog). Released, it reads for a moment
// what waited for it, keeping the OSD and close messages, and ends.
class HungWindow {
  public:
    explicit HungWindow(const char* className = "TellwandTestHungOsd",
                        const char* title = "Hung OSD", bool disabled = false)
        : release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, created, className, title, disabled] {
            window_ = CreateTestWindow(className, RecordOsdMessage, title, WS_POPUP);
            EnableWindow(window_, !disabled);
            SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received_));
            SetEvent(created);
            WaitForSingleObject(release_, INFINITE);
            for (DWORD start = GetTickCount(); GetTickCount() - start < 500; Sleep(10)) {
                PumpMessages();
            }
            DestroyWindow(window_);
        });
        WaitForSingleObject(created, INFINITE);
        CloseHandle(created);
    }
    ~HungWindow() {
        Release();
        CloseHandle(release_);
    }
    HWND handle() const { return window_; }
    // What reached the window once released: WM_COPYDATA, the show, WM_ENABLE and WM_CLOSE,
    // in order.
    std::vector<UINT> Release() {
        if (thread_.joinable()) {
            SetEvent(release_);
            thread_.join();
        }
        return received_;
    }

  private:
    HANDLE release_;
    HWND window_ = nullptr;
    std::vector<UINT> received_;
    std::thread thread_;
};

// The OSD of a hung WandEdit: its main dialog and its OSD window in one process.
TEST_F(FaultTest, AnOsdWindowThatNeverAnswersDoesNotHoldUpTheKeys) {
    NamedWindow editorDialog(kEditorTitle);
    HungWindow osd;
    SelectUserTable(1);
    Send(kMsgOsdWindow, reinterpret_cast<WPARAM>(osd.handle()));
    SetForegroundWindow(target);
    for (int n = 0; n < 3; ++n) {
        Press(5, true);
        Press(5, false);
    }
    // The reader never waits for the OSD: all keys arrive well within a second or two.
    EXPECT_TRUE(PumpUntil([] { return LoggedKeys().size() >= 12; }, 2000));
    LoggedKeys().clear();
    ExpectPressWorks();
}

TEST_F(FaultTest, AnOsdThatDidNotTakeTheTextIsNotToldToShow) {
    NamedWindow editorDialog(kEditorTitle);
    HungWindow osd;
    SelectUserTable(1);
    Send(kMsgOsdWindow, reinterpret_cast<WPARAM>(osd.handle()));
    Press(5, true);
    Press(5, false);
    // Texts go to the OSD one at a time: the next OSD is shown only once Tellwand has given up
    // on the hung one's text.
    AnsweringWindow next;
    Send(kMsgOsdWindow, reinterpret_cast<WPARAM>(next.handle()));
    Press(5, true);
    Press(5, false);
    ASSERT_TRUE(PumpUntil([&] { return next.WasShown(); }, OsdSender::kSendTimeoutMs + 10000));
    // Had the show gone without its text, the OSD would show the previous press's text.
    std::vector<UINT> received = osd.Release();
    EXPECT_EQ(std::count(received.begin(), received.end(), kMsgOsdShow), 0);
}

// Enabling the window of a program that stopped answering waits for that program; the
// remote, Reload and Exit must not wait with it.
TEST_F(FaultTest, AHungMediaApplicationStopsNeitherTheRemoteNorReloadNorExit) {
    const char kPlayerClass[] = "Class of CyberLink Universal Player";
    auto closePlayer = [&] {
        SelectModeAndEnable(kBuiltInMode, kSendTimeoutMs);  // the player alone: its table
        SetForegroundWindow(target);
        Press(2, true);  // VCR closes the running DVD player: enabled first, then WM_CLOSE
        Press(2, false);
        Press(5, true);  // and the next button plays at once: "0-L" in the player's table
        Press(5, false);
        ExpectKeys({"down 4C", "up 4C"});
    };
    {
        HungWindow player(kPlayerClass, "PowerDVD", true);
        closePlayer();
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutA(FindWindowA(kTellwandWindowClass, nullptr), WM_COMMAND,
                                        kCommandReload, 0, SMTO_NORMAL, 10000, &result));
        SelectUserTable();
        ExpectPressWorks();
        // Answering again, the player is enabled and then asked to close, as if it had not hung.
        EXPECT_EQ(player.Release(), (std::vector<UINT>{WM_ENABLE, WM_CLOSE}));
    }
    HungWindow player(kPlayerClass, "PowerDVD", true);
    closePlayer();
    EXPECT_TRUE(ExitTellwand(tellwand, 10000));
}

bool KillProcessOfWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    bool killed = TerminateProcess(process, 1) && WaitForSingleObject(process, 5000) == 0;
    CloseHandle(process);
    return killed;
}

TEST_F(FaultTest, WandEditKilledLeavesTheKeysWorkingAndOpenEditorStartsANewOne) {
    ASSERT_TRUE(CopyProgram(kEditorProgram, folder.path()));
    SelectUserTable(1);
    Send(WM_COMMAND, kCommandOpenEditor);
    HWND editor = WaitForWindow(nullptr, kEditorTitle);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(KillProcessOfWindow(editor));

    ExpectPressWorks();  // the OSD text goes nowhere, quietly
    Send(WM_COMMAND, kCommandOpenEditor);
    HWND newEditor = WaitForWindow(nullptr, kEditorTitle);
    ASSERT_NE(newEditor, nullptr);
    EXPECT_TRUE(KillProcessOfWindow(newEditor));
}

// Windows of WandEdit's titles in another program: a "HotKey Configuration" does not stop the
// remote, and a hung window of the main dialog's title holds up neither Open Editor, which
// restores WandEdit's own window, nor Exit, which closes WandEdit.
TEST_F(FaultTest, OtherProgramsWindowsOfWandEditsTitlesNeitherStopTheRemoteNorHoldUpTellwand) {
    ASSERT_TRUE(CopyProgram(kEditorProgram, folder.path()));
    Send(WM_COMMAND, kCommandOpenEditor);
    HWND editor = WaitForWindow(nullptr, kEditorTitle);
    ASSERT_NE(editor, nullptr);
    // Out of the way first, so it takes no key of the press.
    ShowWindow(editor, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(editor) != FALSE; }));
    {
        NamedWindow hotkeys(kHotkeyDialogTitle);
        ExpectPressWorks();
    }
    HungWindow hung("TellwandTestHungEditor", kEditorTitle);
    PostMessageA(FindWindowA(kTellwandWindowClass, nullptr), WM_COMMAND, kCommandOpenEditor, 0);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(editor) == FALSE; }));
    EXPECT_TRUE(ExitTellwand(tellwand, 10000));
    EXPECT_TRUE(WaitForMutexGone(kEditorMutex));
}

}  // namespace
