// WandEdit started from a test folder, with the test playing Tellwand's part.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/scoped_win32.h"
#include "config/program_folders.h"
#include "config/registry_win32.h"
#include "config/settings.h"
#include "protocol/protocol.h"
#include "testing/e2e_win32.h"
#include "testing/editor_setup_win32.h"
#include "testing/temp_folder_win32.h"
#include "testing/traced_process_win32.h"
#include "wandedit/resource_ids.h"
#include "wandedit/tests/stand_in_tellwand_win32.h"

namespace {

constexpr DWORD kOsdSecond = 1000;
constexpr COLORREF kOsdColour = RGB(173, 255, 47);

std::string ControlText(HWND window, int id) {
    char text[512] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

bool IsVisible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

// The box around the pixels of one colour in a picture.
struct Ink {
    int pixels = 0;
    int left = 0;
    int top = 0;
    int right = 0;  // past the last column
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// How far, in pixels, the text on screen may differ from the reference drawn in memory: their
// edge pixels need not come out the same.
constexpr int kInkSlack = 2;

// A top-down 32-bit picture in memory, drawn into through its DC.
class Picture {
  public:
    Picture(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

    Ink InkOf(COLORREF colour) const {
        GdiFlush();
        const uint32_t pixel = GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
        Ink ink{0, width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if ((bits_[y * width_ + x] & 0xFFFFFF) == pixel) {
                    ++ink.pixels;
                    ink.left = std::min(ink.left, x);
                    ink.top = std::min(ink.top, y);
                    ink.right = std::max(ink.right, x + 1);
                    ink.bottom = std::max(ink.bottom, y + 1);
                }
            }
        }
        return ink;
    }

  private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    const uint32_t* bits_ = nullptr;
};

// What the screen shows in the window's place.
Ink ScreenInk(HWND window, COLORREF colour) {
    RECT area = {};
    GetWindowRect(window, &area);
    Picture shot(area.right - area.left, area.bottom - area.top);
    WindowDc screen(nullptr);
    BitBlt(shot.dc(), 0, 0, area.right - area.left, area.bottom - area.top, screen.get(), area.left,
           area.top, SRCCOPY);
    return shot.InkOf(colour);
}

// The text as the OSD must draw it: literally, in its colour, Arial of this height.
Ink ExpectedInk(const char* text, int fontHeight, int width, int height) {
    Picture drawn(width, height);
    HFONT font = CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Arial");
    HGDIOBJ previous = SelectObject(drawn.dc(), font);
    SetTextColor(drawn.dc(), kOsdColour);
    SetBkMode(drawn.dc(), TRANSPARENT);
    RECT area = {0, 0, width, height};
    DrawTextA(drawn.dc(), text, -1, &area, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    Ink ink = drawn.InkOf(kOsdColour);
    SelectObject(drawn.dc(), previous);
    DeleteObject(font);
    return ink;
}

class WandEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetEditorRegistry();
        ASSERT_TRUE(CopyProgram(kEditorProgram, folder.path()));
        StoreEditorFolder(registry, folder.path());
    }
    void TearDown() override {
        wandEdit.Kill();
        ForgetEditorRegistry();
    }

    void AddTable(const char* name, const char* filePath) {
        std::string userDef = IniPathsInFolder(folder.path()).userDef;
        WritePrivateProfileStringA(name, "0", "0-0-A", userDef.c_str());
        WritePrivateProfileStringA(name, "FilePath", filePath, userDef.c_str());
    }

    // Starts WandEdit and waits for its OSD to announce itself and for both windows to hide.
    void StartWandEdit(const std::string& arguments) {
        ASSERT_TRUE(wandEdit.Start(folder.path() + kEditorProgram, arguments, folder.path()));
        ASSERT_TRUE(PumpUntil([&] { return tellwand.osdWindow != nullptr; }, 10000));
        dialog = WaitForWindow(nullptr, kEditorTitle);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return !IsVisible(tellwand.osdWindow); }));
    }
    // Waits for the OSD showing `text`: the window is also visible once at start-up, empty,
    // until its first paint hides it, and a look at that moment must not count as the show.
    void WaitUntilShown(const char* text) {
        ASSERT_TRUE(PumpUntil([&] { return IsVisible(tellwand.osdWindow) && OsdText() == text; }));
    }
    // True when the OSD stays visible until `ms` after `since` (a GetTickCount time). Counted
    // from when the text was sent, so a slow look at the screen does not move the goal.
    bool StaysVisibleUntil(DWORD since, DWORD ms) {
        DWORD elapsed = GetTickCount() - since;
        return elapsed >= ms ||
               !PumpUntil([&] { return !IsVisible(tellwand.osdWindow); }, ms - elapsed);
    }
    std::string OsdText() { return ControlText(tellwand.osdWindow, IDC_OSD_TEXT); }
    void SelectListEntry(int index) {
        HWND list = GetDlgItem(dialog, IDC_TABLE_LIST);
        SendMessageA(list, CB_SETCURSEL, index, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TABLE_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    void Click(int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

    TempFolder folder;
    Win32Registry registry;
    StandInTellwand tellwand;
    TracedProcess wandEdit;
    HWND dialog = nullptr;
};

TEST_F(WandEditTest, StartedWithoutArgumentStaysHiddenAndShowsTextTopRightForOneSecond) {
    StartWandEdit("");
    EXPECT_TRUE(PumpUntil([&] { return !IsVisible(dialog); }));
    // The user works in another window; the OSD must not take it away.
    HWND user = CreateWindowA("STATIC", "User's window", WS_POPUP | WS_VISIBLE, 0, 200, 200, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(user);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == user; }));

    tellwand.ShowText("Play");
    DWORD shown = GetTickCount();
    WaitUntilShown("Play");
    EXPECT_EQ(OsdText(), "Play");
    RECT placed = {};
    GetWindowRect(tellwand.osdWindow, &placed);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(placed.left, static_cast<int>(width * 0.8));
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.right - placed.left, static_cast<int>(width * 0.2));
    EXPECT_EQ(placed.bottom - placed.top, static_cast<int>(height * 0.1));
    LONG exStyle = GetWindowLongA(tellwand.osdWindow, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetForegroundWindow(), user);
    // Nor is it active in its own thread: Wine would hand an active window to the window
    // manager and wait for it at every hide.
    GUITHREADINFO osdThread = {};
    osdThread.cbSize = sizeof osdThread;
    ASSERT_TRUE(
        GetGUIThreadInfo(GetWindowThreadProcessId(tellwand.osdWindow, nullptr), &osdThread));
    EXPECT_EQ(osdThread.hwndActive, nullptr);
    EXPECT_EQ(osdThread.hwndFocus, nullptr);

    ASSERT_TRUE(PumpUntil([&] { return !IsVisible(tellwand.osdWindow); }, 5000));
    EXPECT_GE(GetTickCount() - shown, kOsdSecond - 100);
    DestroyWindow(user);
}

TEST_F(WandEditTest, SecondShowKeepsTheTextUpOneSecondAfterIt) {
    StartWandEdit("");
    DWORD first = GetTickCount();
    tellwand.ShowText("One");
    WaitUntilShown("One");
    EXPECT_TRUE(StaysVisibleUntil(first, kOsdSecond / 2));

    DWORD second = GetTickCount();
    tellwand.ShowText("Two");
    ASSERT_TRUE(PumpUntil([&] { return OsdText() == "Two"; }));
    // The first show's second has run out by now; the second show keeps the text up.
    EXPECT_TRUE(StaysVisibleUntil(second, kOsdSecond * 7 / 10));
    EXPECT_TRUE(PumpUntil([&] { return !IsVisible(tellwand.osdWindow); }, 5000));
}

TEST_F(WandEditTest, TakesTextsOnlyFromTellwandAndOnlyTheBytesGiven) {
    StartWandEdit("");
    tellwand.ShowText("Mine");
    WaitUntilShown("Mine");

    HWND stranger = CreateWindowA("STATIC", "stranger", 0, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    char other[kOsdMessageSize] = "Other";
    StandInTellwand::SendText(tellwand.osdWindow, stranger, other, sizeof other);
    StandInTellwand::SendText(tellwand.osdWindow, nullptr, other, sizeof other);
    DestroyWindow(stranger);
    PostMessageA(tellwand.osdWindow, kMsgOsdShow, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return IsVisible(tellwand.osdWindow); }));
    EXPECT_EQ(OsdText(), "Mine");

    struct Case {
        std::string buffer;
        DWORD size;
        std::string shown;
    };
    const Case cases[] = {
        {std::string(300, 'x') + '\0', 301, std::string(255, 'x')},
        {"abcdef", 3, "abc"},
        {"abcdef", 0, ""},
    };
    for (const Case& c : cases) {
        StandInTellwand::SendText(tellwand.osdWindow, tellwand.window, c.buffer.data(), c.size);
        PostMessageA(tellwand.osdWindow, kMsgOsdShow, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return OsdText() == c.shown; })) << c.shown;
    }
}

// Descriptions are the user's own words: "&" is a letter like any other, never a mark that
// underlines the next one.
TEST_F(WandEditTest, OsdDrawsTheTextLiterallyInItsColourAndHeight) {
    StartWandEdit("");
    RECT placed = {};
    for (const char* text : {"Play", "Rock & Roll"}) {
        tellwand.ShowText(text);
        WaitUntilShown(text);
        EXPECT_EQ(OsdText(), text);
        GetWindowRect(tellwand.osdWindow, &placed);
        int width = placed.right - placed.left;
        int height = placed.bottom - placed.top;
        // 0.6 less 0.015 for each character, of the window's height.
        int fontHeight = static_cast<int>(height * (0.6 - 0.015 * std::strlen(text)));
        Ink expected = ExpectedInk(text, fontHeight, width, height);
        ASSERT_GT(expected.pixels, 0) << text;
        // The screen may be caught while the text is still being drawn (once "Pla" without its
        // "y"), so wait for the ink to take the expected size, not just for any ink.
        Ink shown;
        auto roughly = [](int a, int b) { return std::abs(a - b) <= kInkSlack; };
        PumpUntil(
            [&] {
                shown = ScreenInk(tellwand.osdWindow, kOsdColour);
                return shown.pixels > 0 && roughly(shown.width(), expected.width()) &&
                       roughly(shown.height(), expected.height());
            },
            kOsdSecond / 2);
        EXPECT_GT(shown.pixels, 0) << text;
        EXPECT_NEAR(shown.width(), expected.width(), kInkSlack) << text;
        EXPECT_NEAR(shown.height(), expected.height(), kInkSlack) << text;
        ASSERT_TRUE(PumpUntil([&] { return !IsVisible(tellwand.osdWindow); }, 5000));
    }
    HWND shownText = GetDlgItem(tellwand.osdWindow, IDC_OSD_TEXT);
    EXPECT_TRUE(GetWindowLongA(shownText, GWL_STYLE) & SS_NOPREFIX);
}

// Were Escape to reach the dialog manager, it would end the OSD's dialog for good.
TEST_F(WandEditTest, OsdSwallowsEnterEscapeAndSpace) {
    StartWandEdit("");
    HWND shownText = GetDlgItem(tellwand.osdWindow, IDC_OSD_TEXT);
    for (UINT key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
        for (HWND target : {tellwand.osdWindow, shownText}) {
            PostMessageA(target, WM_KEYDOWN, key, 0);
            PostMessageA(target, WM_KEYUP, key, 0);
            SendMessageA(target, WM_KEYDOWN, key, 0);
            SendMessageA(target, WM_KEYUP, key, 0);
        }
    }
    tellwand.ShowText("Still here");  // posted after the keys
    WaitUntilShown("Still here");
}

TEST_F(WandEditTest, SecondWandEditEndsAtOnce) {
    StartWandEdit("");
    TracedProcess second;
    ASSERT_TRUE(second.Start(folder.path() + kEditorProgram, "15", folder.path()));
    DWORD exitCode = 1;
    EXPECT_TRUE(second.WaitForExit(5000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(IsVisible(dialog));
    EXPECT_TRUE(wandEdit.IsRunning());
}

// The DLLs that system libraries load later (the file dialog's above all) are looked for by
// name; one found beside the program would run inside WandEdit.
TEST_F(WandEditTest, ADllBesideTheProgramIsNotLoadedByName) {
    ASSERT_TRUE(PlantDll(folder.path(), "planted.dll"));
    StartWandEdit("");
    EXPECT_FALSE(ProcessLoadsDll(wandEdit.handle(), "planted.dll"));
    EXPECT_TRUE(ProcessLoadsDll(wandEdit.handle(), folder.path() + "planted.dll"));  // by path
}

TEST_F(WandEditTest, StartedInUserModeShowsTheStoredTableAndItsProgram) {
    AddTable("Music", "C:\\Music\\player.exe");
    AddTable("Video", "C:\\Video\\viewer.exe");
    StoreSettings(registry, 1, "vIDEO");
    ASSERT_TRUE(wandEdit.Start(folder.path() + kEditorProgram, "15", folder.path()));
    dialog = WaitForWindow(nullptr, kEditorTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return IsVisible(dialog); }));

    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_USER_DEFINED), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DEFAULT), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_ENABLE_OSD), BST_CHECKED);
    EXPECT_EQ(ControlText(dialog, IDC_TABLE_LIST), "Video");
    EXPECT_EQ(ControlText(dialog, IDC_FILE_PATH), "C:\\Video\\viewer.exe");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_TABLE_LIST)));
}

TEST_F(WandEditTest, OkInUserModeStoresTheChoiceBeforeTellingTellwand) {
    AddTable("Music", "C:\\Music\\player.exe");
    AddTable("Video", "C:\\Video\\viewer.exe");
    StoreSettings(registry, 1, "Music");
    StartWandEdit("15");
    ShowWindow(dialog, SW_RESTORE);

    SelectListEntry(1);
    ASSERT_TRUE(PumpUntil([&] { return tellwand.selectorPosts.size() == 1; }));
    EXPECT_EQ(tellwand.selectorPosts[0].userDefineTable, "Music");
    EXPECT_EQ(ControlText(dialog, IDC_FILE_PATH), "C:\\Video\\viewer.exe");

    Click(IDOK);
    ASSERT_TRUE(PumpUntil([&] { return tellwand.selectorPosts.size() == 2; }));
    const SelectorPost& ok = tellwand.selectorPosts[1];
    EXPECT_EQ(ok.tableSelector, 15);
    EXPECT_TRUE(ok.settingsStored);
    EXPECT_EQ(ok.enableOsd, 1u);
    EXPECT_EQ(ok.userDefineTable, "Video");
    EXPECT_TRUE(PumpUntil([&] { return !IsVisible(dialog); }));
    EXPECT_TRUE(wandEdit.IsRunning());
}

TEST_F(WandEditTest, OkWithDefaultWritesAndSendsNothing) {
    AddTable("Music", "C:\\Music\\player.exe");
    StartWandEdit("0");
    ASSERT_TRUE(PumpUntil([&] { return IsVisible(dialog); }));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DEFAULT), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_TABLE_LIST)));

    Click(IDOK);
    ASSERT_TRUE(PumpUntil([&] { return !IsVisible(dialog); }));
    PumpMessages();
    EXPECT_TRUE(tellwand.selectorPosts.empty());
    HKEY settings = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &settings),
              ERROR_SUCCESS);
}

TEST_F(WandEditTest, ClosingTheDialogEndsTheProgramAndKeepsTheRegistry) {
    AddTable("Music", "C:\\Music\\player.exe");
    AddTable("Video", "C:\\Video\\viewer.exe");
    for (UINT closing : {WM_SYSCOMMAND, WM_CLOSE}) {
        StoreSettings(registry, 1, "Music");
        tellwand.osdWindow = nullptr;
        StartWandEdit("15");
        SelectListEntry(1);
        ASSERT_TRUE(PumpUntil([&] { return !tellwand.selectorPosts.empty(); }));

        PostMessageA(dialog, closing, closing == WM_SYSCOMMAND ? SC_CLOSE : 0, 0);
        EXPECT_TRUE(wandEdit.WaitForExit(5000)) << closing;
        EXPECT_EQ(StoredTable(registry), "Music") << closing;
    }
}

TEST_F(WandEditTest, EnterEscAndSpaceDoNotOperateTheDialog) {
    StoreSettings(registry, 1, "");
    StartWandEdit("15");
    ShowWindow(dialog, SW_RESTORE);
    HWND ok = GetDlgItem(dialog, IDOK);
    for (UINT key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
        PostMessageA(dialog, WM_KEYDOWN, key, 0);
        PostMessageA(ok, WM_KEYDOWN, key, 0);
        PostMessageA(ok, WM_KEYUP, key, 0);
    }
    // Posted after the keys, so its answer comes once they have been handled.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_USER_DEFINED, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_USER_DEFINED)));
    ASSERT_TRUE(PumpUntil([&] { return !tellwand.selectorPosts.empty(); }));
    EXPECT_TRUE(wandEdit.IsRunning());
    EXPECT_TRUE(IsVisible(dialog));
    EXPECT_EQ(tellwand.selectorPosts.size(), 1u);
}

TEST_F(WandEditTest, DialogPassesTellwandsShowOnToTheOsd) {
    StoreSettings(registry, 1, "");
    StartWandEdit("15");
    tellwand.ShowText("Forwarded");
    WaitUntilShown("Forwarded");
    ASSERT_TRUE(PumpUntil([&] { return !IsVisible(tellwand.osdWindow); }, 5000));

    PostMessageA(dialog, kMsgOsdShow, 0, 0);
    WaitUntilShown("Forwarded");
    EXPECT_EQ(OsdText(), "Forwarded");
}

}  // namespace
