// The HotKey Configuration dialog of WandEdit from bin-virtual/, opened by "Advance" and
// driven through the virtual receiver, its controls and the keyboard.

#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: commctrl.h builds on its types.
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "base/scoped_win32.h"
#include "config/buttons.h"
#include "config/program_folders.h"
#include "config/registry_win32.h"
#include "keyseq/key_action.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "testing/e2e_win32.h"
#include "testing/editor_setup_win32.h"
#include "testing/file_bytes.h"
#include "testing/osd_window_win32.h"
#include "testing/temp_folder_win32.h"
#include "testing/test_window_win32.h"
#include "testing/traced_process_win32.h"
#include "wandedit/hotkey_editor.h"
#include "wandedit/resource_ids.h"
#include "wandedit/tests/selector_post.h"

namespace {

constexpr int kDvdCode = 35;
constexpr DWORD kNothingMoreMs = 300;

std::vector<UINT> g_keysDown;

LRESULT CALLBACK KeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Key code 0 is what empty modifier slots send; it carries no meaning for a user.
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && wParam != 0) {
        g_keysDown.push_back(static_cast<UINT>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A focused window of this test, standing for any other program the user works with.
class KeyWindow {
  public:
    KeyWindow() {
        window_ = CreateTestWindow("HotKeyTestKeys", KeyWindowProc, "Keys", WS_POPUP | WS_VISIBLE,
                                   600, 500, 100, 100);
    }
    ~KeyWindow() { DestroyWindow(window_); }
    bool Focus() {
        SetForegroundWindow(window_);
        SetFocus(window_);
        return PumpUntil([this] { return GetForegroundWindow() == window_; });
    }

  private:
    HWND window_;
};

// With its scan code, as a keyboard sends it: the hotkey field reads letters by it.
void KeyEvent(BYTE key, DWORD flags) {
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)), flags, 0);
}

// The low-level hook is called on the thread that set it, while that thread pumps.
bool g_pointerNoticed = false;
POINT g_pointerTarget = {};

LRESULT CALLBACK NoticeUninjectedMove(int code, WPARAM wParam, LPARAM lParam) {
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && wParam == WM_MOUSEMOVE && !(mouse->flags & LLMHF_INJECTED) &&
        mouse->pt.x == g_pointerTarget.x && mouse->pt.y == g_pointerTarget.y) {
        g_pointerNoticed = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Wine tells the window the pointer enters, from the X server's events, and aligns its key
// state with the X server's, which never saw an injected key. That can come late, while a
// test holds a key; this waits for it: the mouse move it makes, which nobody injected. The
// pointer leaves the point first, so that coming there is a move. Where no such move comes, the
// wait ends after a while.
void MovePointerAndWaitForWine(int x, int y) {
    g_pointerNoticed = false;
    g_pointerTarget = {x, y};
    ScopedHook hook(
        SetWindowsHookExA(WH_MOUSE_LL, NoticeUninjectedMove, GetModuleHandleA(nullptr), 0));
    SetCursorPos(x + 1, y + 1);
    SetCursorPos(x, y);
    PumpUntil([] { return g_pointerNoticed; }, 3000);
}

void Tap(const std::vector<BYTE>& keys) {
    for (BYTE key : keys) {
        KeyEvent(key, 0);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        KeyEvent(*key, KEYEVENTF_KEYUP);
    }
}

BOOL CALLBACK CountHotkeyDialog(HWND window, LPARAM count) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(title, kHotkeyDialogTitle) == 0) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

int HotkeyDialogCount() {
    int count = 0;
    EnumWindows(CountHotkeyDialog, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Another program can register every key the dialog reserves.
bool CaptureKeysAreFree() {
    for (const CaptureKey& key : ReservedCaptureKeys()) {
        if (!ScopedHotkey(nullptr, key.id, key.modifiers, key.virtualKey).registered()) {
            return false;
        }
    }
    return true;
}

class HotkeyDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetEditorRegistry();
        ASSERT_TRUE(CopyProgram(kEditorProgram, folder.path()));
        StoreEditorFolder(registry, folder.path());
        Store("Music", 0, "0-C-X", "Cut");
        Store("Player", 0, "0-A-C-F5", "Refresh");
        Store("Player", 2, "0-Q", "Quit");
        Store("Player", 5, "1-DOWN", "Down");
        Store("Player", 33, "0-S-TAB", "Back");
        StoreSettings(registry, 0, "Player");
        g_keysDown.clear();
    }
    void TearDown() override {
        if (tellwand.IsRunning()) {
            PostMessageA(FindWindowA(kTellwandWindowClass, nullptr), WM_COMMAND, kCommandExit, 0);
            tellwand.WaitForExit(5000);
        }
        wandEdit.Kill();
        tellwand.Kill();
        ForgetEditorRegistry();
    }

    void Store(const char* table, int button, const char* text, const char* description) {
        std::string key = std::to_string(button);
        WritePrivateProfileStringA(table, key.c_str(), text, UserDef().c_str());
        WritePrivateProfileStringA(table, key.c_str(), description, UserDefInf().c_str());
    }
    std::string UserDef() const { return IniPathsInFolder(folder.path()).userDef; }
    std::string UserDefInf() const { return IniPathsInFolder(folder.path()).userDefInf; }
    std::string Stored(const std::string& file, int button, const char* missing = "missing") {
        char value[256] = {};
        GetPrivateProfileStringA("Player", std::to_string(button).c_str(), missing, value,
                                 sizeof value, file.c_str());
        return value;
    }

    void PlugInReceiver() {
        remote = std::make_unique<VirtualReceiverServer>(kReceiverVendorId, kReceiverProductId);
        ASSERT_TRUE(remote->Start());
    }
    void StartWandEdit() {
        ASSERT_TRUE(wandEdit.Start(folder.path() + kEditorProgram, "15", folder.path()));
        settings = WaitForWindow(nullptr, kEditorTitle);
        ASSERT_NE(settings, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(settings) != FALSE; }));
    }
    void OpenHotkeys() {
        dialog = OpenHotkeyDialog(settings);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Description() == "Refresh"; }));
    }
    void Command(int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    void ClickPicture(int button) {
        PostMessageA(GetDlgItem(dialog, IDC_PICTURE_BUTTON + button), BM_CLICK, 0, 0);
    }
    void Press(int code, uint8_t check = 0x0F) {
        for (uint8_t state : {0, 1}) {
            const uint8_t report[5] = {0, 0x40, state, static_cast<uint8_t>(code), check};
            ASSERT_GE(remote->SendReport(report), 1);
        }
    }

    LRESULT Field() {
        return SendMessageA(GetDlgItem(dialog, IDC_HOTKEY_FIELD), HKM_GETHOTKEY, 0, 0);
    }
    std::string Description() { return HotkeyDialogDescription(dialog); }
    HWND Focus() {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        return info.hwndFocus;
    }
    bool FocusOnField() { return Focus() == GetDlgItem(dialog, IDC_HOTKEY_FIELD); }
    bool Shows(LRESULT field, const std::string& description) {
        return PumpUntil([&] { return Field() == field && Description() == description; });
    }
    bool Closes() { return WaitForNoWindow("#32770", kHotkeyDialogTitle); }

    TempFolder folder;
    Win32Registry registry;
    std::unique_ptr<VirtualReceiverServer> remote;
    TracedProcess wandEdit;
    TracedProcess tellwand;
    HWND settings = nullptr;
    HWND dialog = nullptr;
};

TEST_F(HotkeyDialogTest, AdvanceOpensOnTheFirstButtonOfTheChosenTableWithTheFocusOnOk) {
    StartWandEdit();
    OpenHotkeys();
    EXPECT_TRUE(Shows(0x0600 | VK_F5, "Refresh"));
    char name[64] = {};
    GetDlgItemTextA(dialog, IDC_APP_NAME, name, sizeof name);
    EXPECT_STREQ(name, "Player");
    EXPECT_TRUE(PumpUntil([&] { return Focus() == GetDlgItem(dialog, IDC_HOTKEY_OK); }));
    for (int n = 0; n < kButtonCount; ++n) {
        HWND button = GetDlgItem(dialog, IDC_PICTURE_BUTTON + n);
        ASSERT_NE(button, nullptr) << n;
        EXPECT_FALSE(GetWindowLongA(button, GWL_STYLE) & WS_TABSTOP) << n;
    }
    EXPECT_FALSE(IsWindowEnabled(settings));
}

TEST_F(HotkeyDialogTest, TheSelectedButtonBlinks) {
    StartWandEdit();
    OpenHotkeys();
    RECT area = {};
    GetWindowRect(GetDlgItem(dialog, IDC_PICTURE_BUTTON), &area);
    WindowDc screen(nullptr);
    COLORREF first = GetPixel(screen.get(), (area.left + area.right) / 2, area.top + 2);
    bool changed = PumpUntil(
        [&] { return GetPixel(screen.get(), (area.left + area.right) / 2, area.top + 2) != first; },
        3000);
    EXPECT_TRUE(changed);
}

TEST_F(HotkeyDialogTest, RemoteSelectsButtonsWhileTellwandPlaysNothing) {
    PlugInReceiver();
    StartWandEdit();
    ASSERT_TRUE(CopyProgram("Tellwand.exe", folder.path()));
    ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
    HWND tray = WaitForWindow(kTellwandWindowClass, nullptr);
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(remote->WaitForClients(1, 10000));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(tray, kMsgTableSelector, kUserMode, 0, SMTO_NORMAL, 10000, &result);
    SendMessageTimeoutA(tray, WM_COMMAND, kCommandEnable, 0, SMTO_NORMAL, 10000, &result);

    // Without the dialog, Tellwand plays the button: the test would see it.
    KeyWindow keys;
    ASSERT_TRUE(keys.Focus());
    Press(kDvdCode);
    ASSERT_TRUE(PumpUntil([] { return !g_keysDown.empty(); }, 10000));
    EXPECT_EQ(g_keysDown[0], static_cast<UINT>('Q'));

    OpenHotkeys();
    ASSERT_TRUE(remote->WaitForClients(2, 10000));
    ASSERT_TRUE(keys.Focus());
    g_keysDown.clear();
    Press(kDvdCode);
    EXPECT_TRUE(Shows('Q', "Quit"));
    // Codes without a button and reports without the check byte select nothing.
    Press(3);
    Press(34);
    Press(36, 0x0E);
    EXPECT_FALSE(PumpUntil([&] { return Description() != "Quit"; }, kNothingMoreMs));
    Press(36);
    EXPECT_TRUE(Shows(0x0100 | VK_TAB, "Back"));

    ASSERT_TRUE(keys.Focus());
    Tap({VK_F9});
    ASSERT_TRUE(PumpUntil([] { return !g_keysDown.empty(); }));
    EXPECT_EQ(g_keysDown, std::vector<UINT>{VK_F9});
}

TEST_F(HotkeyDialogTest, ClickingAPictureButtonSelectsItAndKeepsEdits) {
    StartWandEdit();
    OpenHotkeys();
    ClickPicture(5);
    EXPECT_TRUE(Shows(0x0800 | VK_DOWN, "Down"));
    EXPECT_TRUE(FocusOnField());
    SetDlgItemTextA(dialog, IDC_DESCRIPTION, "Lower");
    ClickPicture(9);
    EXPECT_TRUE(Shows(0, ""));
    ClickPicture(5);
    EXPECT_TRUE(Shows(0x0800 | VK_DOWN, "Lower"));
    EXPECT_EQ(Stored(UserDefInf(), 5), "Down");  // nothing written before Save
}

TEST_F(HotkeyDialogTest, ReservedKeysGoIntoTheFieldAndTheNextCombinationAsTyped) {
    StartWandEdit();
    OpenHotkeys();
    // A real click: it also brings the dialog to the front, where the keys go.
    RECT area = {};
    GetWindowRect(GetDlgItem(dialog, IDC_PICTURE_BUTTON + 1), &area);
    MovePointerAndWaitForWine((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return FocusOnField() && GetForegroundWindow() == dialog; }));

    struct Case {
        std::vector<BYTE> keys;
        LRESULT field;
    };
    // After each capture the next combination is taken exactly as typed: the modifiers of
    // the captured one are up again, and new ones count.
    const Case cases[] = {
        {{VK_SPACE}, VK_SPACE},
        {{VK_CONTROL, VK_SHIFT, VK_TAB}, 0x0300 | VK_TAB},
        {{VK_RETURN}, VK_RETURN},
        {{VK_ESCAPE}, VK_ESCAPE},
        {{VK_CONTROL, 'Q'}, 0x0200 | 'Q'},
        {{VK_BACK}, VK_BACK},
        {{VK_MENU, VK_ESCAPE}, 0x0400 | VK_ESCAPE},
        {{'B'}, 'B'},
        {{VK_DELETE}, VK_DELETE},
        {{VK_SHIFT, VK_F2}, 0x0100 | VK_F2},
    };
    auto shows = [&](LRESULT field) {
        bool shown = PumpUntil([&] { return Field() == field; });
        EXPECT_TRUE(shown) << std::hex << field << " " << Field();
        return shown;
    };
    for (const Case& c : cases) {
        Tap(c.keys);
        shows(c.field);
    }
    // Alt held while the field follows it, a reserved key captured, then Alt let go: the
    // field must not still believe Alt is down.
    KeyEvent(VK_MENU, 0);
    Tap({VK_F3});
    ASSERT_TRUE(shows(0x0400 | VK_F3));
    Tap({VK_ESCAPE});
    ASSERT_TRUE(shows(0x0400 | VK_ESCAPE));
    KeyEvent(VK_MENU, KEYEVENTF_KEYUP);
    Tap({'B'});
    shows('B');
    EXPECT_TRUE(IsWindow(dialog));
}

// Any program can post or send any of WandEdit's dialogs a message with any pointer in it.
TEST_F(HotkeyDialogTest, PointersFromOtherProgramsAreIgnored) {
    StartWandEdit();
    OpenHotkeys();
    HWND osd = FindOsdWindow();
    ASSERT_NE(osd, nullptr);
    NMHDR header = {dialog, 0, TTN_GETDISPINFOA};  // an address of this process, not WandEdit's
    for (HWND target : {dialog, settings, osd}) {
        for (UINT message : {WM_NOTIFY, WM_INITDIALOG}) {
            for (LPARAM pointer : {LPARAM{0}, LPARAM{0x10}, reinterpret_cast<LPARAM>(&header)}) {
                PostMessageA(target, message, 0, pointer);
                DWORD_PTR answer = 0;
                SendMessageTimeoutA(target, message, 0, pointer, SMTO_ABORTIFHUNG, 5000, &answer);
            }
        }
    }
    ClickPicture(2);  // posted after them, so handled after them
    // A crashed WandEdit stops answering: asked with a deadline, not waited on for good.
    HWND field = GetDlgItem(dialog, IDC_HOTKEY_FIELD);
    DWORD_PTR shown = 0;
    EXPECT_TRUE(PumpUntil([&] {
        return SendMessageTimeoutA(field, HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG, 1000, &shown) &&
               shown == 'Q';
    }));
}

// A second Advance (posted while the dialog is open) must not nest a second dialog: its end
// would end the first one's loop, leaving a dialog that holds the reserved keys for good.
TEST_F(HotkeyDialogTest, ASecondAdvanceKeepsOneDialogAndCancelFreesTheReservedKeys) {
    StartWandEdit();
    OpenHotkeys();
    OpenHotkeyDialog(settings);  // posts a second Advance
    PumpFor(kNothingMoreMs);
    EXPECT_EQ(HotkeyDialogCount(), 1);
    EXPECT_FALSE(CaptureKeysAreFree());

    Command(IDCANCEL);
    EXPECT_TRUE(Closes());
    EXPECT_TRUE(CaptureKeysAreFree());
}

TEST_F(HotkeyDialogTest, ClearThenSaveWritesThePrefixAloneAndAnEmptyDescription) {
    StartWandEdit();
    OpenHotkeys();
    ClickPicture(2);
    ASSERT_TRUE(Shows('Q', "Quit"));
    Command(IDC_CLEAR);
    EXPECT_TRUE(Shows(0, ""));
    Command(IDC_SAVE);
    // Button 34's description is the last value written.
    ASSERT_TRUE(PumpUntil([&] { return Stored(UserDefInf(), 34) != "missing"; }));
    EXPECT_EQ(Stored(UserDef(), 2), "0-");
    EXPECT_EQ(Stored(UserDefInf(), 2), "");
    EXPECT_EQ(Stored(UserDef(), 0), "0-C-A-F5");
    EXPECT_EQ(Stored(UserDef(), 34), "0-");
    EXPECT_EQ(Stored(UserDefInf(), 34), "");
    // Save selects the first button again.
    EXPECT_TRUE(Shows(0x0600 | VK_F5, "Refresh"));
}

TEST_F(HotkeyDialogTest, CancelAndTheCloseBoxWriteNothing) {
    StartWandEdit();
    std::string userDef = ReadFileBytes(UserDef());
    std::string userDefInf = ReadFileBytes(UserDefInf());
    for (bool closeBox : {false, true}) {
        OpenHotkeys();
        Command(IDC_CLEAR);
        ASSERT_TRUE(Shows(0, ""));
        if (closeBox) {
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            Command(IDCANCEL);
        }
        EXPECT_TRUE(Closes()) << closeBox;
        EXPECT_EQ(ReadFileBytes(UserDef()), userDef) << closeBox;
        EXPECT_EQ(ReadFileBytes(UserDefInf()), userDefInf) << closeBox;
        EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(settings) != FALSE; }));
        // The settings keep their table: the next OK there must not activate another one.
        char table[64] = {};
        GetDlgItemTextA(settings, IDC_TABLE_LIST, table, sizeof table);
        EXPECT_STREQ(table, "Player") << closeBox;
    }
}

TEST_F(HotkeyDialogTest, CancelAfterDeletesKeepsTheChosenTableByName) {
    Store("Radio", 0, "0-R", "Radio");
    StartWandEdit();
    struct Case {
        const char* deleted;
        const char* loadedNext;  // the description of button 0 of the table loaded after it
        const char* kept;        // what the settings list shows after Cancel
    };
    // A table listed before the chosen one, then the chosen one itself.
    const Case cases[] = {{"Music", "Refresh", "Player"}, {"Player", "Radio", ""}};
    for (const Case& c : cases) {
        OpenHotkeys();
        HWND list = GetDlgItem(dialog, IDC_APP_LIST);
        SendMessageA(list, CB_SETCURSEL, 0, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_APP_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        Command(IDC_DELETE);
        HWND confirm = WaitForWindow("#32770", "Delete HotKey");
        ASSERT_NE(confirm, nullptr) << c.deleted;
        PostMessageA(confirm, WM_COMMAND, MAKEWPARAM(IDC_DELETE_OK, BN_CLICKED), 0);
        ASSERT_TRUE(PumpUntil([&] { return Description() == c.loadedNext; })) << c.deleted;
        Command(IDCANCEL);
        ASSERT_TRUE(Closes()) << c.deleted;
        EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(settings) != FALSE; }));
        char table[64] = {};
        GetDlgItemTextA(settings, IDC_TABLE_LIST, table, sizeof table);
        EXPECT_STREQ(table, c.kept) << c.deleted;
    }
    // OK there activates the table the user chose, never the one now listed first.
    PostMessageA(settings, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(settings) == FALSE; }));
    EXPECT_EQ(StoredTable(registry), "Player");
}

TEST_F(HotkeyDialogTest, OkSavesAndTheSettingsShowTheTableItClosedOn) {
    StartWandEdit();
    OpenHotkeys();
    SetDlgItemTextA(dialog, IDC_DESCRIPTION, "Reload");
    Command(IDC_HOTKEY_OK);
    EXPECT_TRUE(Closes());
    EXPECT_EQ(Stored(UserDefInf(), 0), "Reload");
    char table[64] = {};
    GetDlgItemTextA(settings, IDC_TABLE_LIST, table, sizeof table);
    EXPECT_STREQ(table, "Player");
}

TEST_F(HotkeyDialogTest, EscapeAndTabReachOtherWindowsOnlyWhileTheDialogIsClosed) {
    StartWandEdit();
    OpenHotkeys();
    KeyWindow keys;
    ASSERT_TRUE(keys.Focus());
    Tap({VK_ESCAPE});
    Tap({VK_TAB});
    Tap({VK_F9});
    ASSERT_TRUE(PumpUntil([] { return !g_keysDown.empty(); }));
    EXPECT_EQ(g_keysDown, std::vector<UINT>{VK_F9});

    Command(IDCANCEL);
    ASSERT_TRUE(Closes());
    ASSERT_TRUE(keys.Focus());
    g_keysDown.clear();
    Tap({VK_ESCAPE});
    Tap({VK_TAB});
    ASSERT_TRUE(PumpUntil([] { return g_keysDown.size() >= 2; }));
    EXPECT_EQ(g_keysDown, (std::vector<UINT>{VK_ESCAPE, VK_TAB}));
}

}  // namespace
