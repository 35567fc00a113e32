// DemoTarget.exe: the window a demo types into. It shows and logs every key and mouse button
// that reaches it, every text the on-screen display shows and every HID device that Windows
// (Plug and Play, or the virtual remote's broadcast) says arrived or left. With --user-mode it
// first does what the editor's OK and the tray menu's Enable do: puts Tellwand into user mode.
//
//   DemoTarget.exe --log FILE [--user-mode] [--seconds N]

#include <windows.h>
// windows.h first: dbt.h builds on its types.
#include <dbt.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/buttons.h"
#include "keyseq/key_names.h"
#include "protocol/protocol.h"
#include "receiver/receiver_win32.h"
#include "testing/e2e_win32.h"
#include "testing/osd_window_win32.h"
#include "testing/tellwand_e2e_win32.h"

namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kEndTimer = 2;
constexpr UINT kWatchEveryMs = 40;
constexpr int kShownLines = 24;

struct Options {
    std::string logPath = "demo.log";
    bool userMode = false;
    int seconds = 30;
};

Options g_options;
std::vector<std::string> g_lines;
std::string g_lastOsdText;
bool g_osdWasVisible = false;

DWORD g_start = GetTickCount();

void Log(const std::string& text) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%6.2f s  ", (GetTickCount() - g_start) / 1000.0);
    std::string line = stamp + text;
    g_lines.push_back(line);
    if (FILE* log = std::fopen(g_options.logPath.c_str(), "a")) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fclose(log);
    }
}

// The key's name as the tables write it; synthesized keys carry no scan code to name them by.
std::string KeyName(WPARAM key) {
    switch (key) {
        case VK_CONTROL:
            return "Control";
        case VK_MENU:
            return "Alt";
        case VK_SHIFT:
            return "Shift";
    }
    if (const char* name = WrittenKeyName(static_cast<uint8_t>(key))) {
        return name;
    }
    char code[16];
    std::snprintf(code, sizeof code, "VK %02X", static_cast<unsigned>(key));
    return code;
}

// Logs the OSD's text each time it appears or changes while visible.
void WatchOsd() {
    HWND osd = FindOsdWindow();
    bool visible = osd != nullptr && IsWindowVisible(osd);
    if (visible) {
        std::string text = OsdText(osd);
        if (!g_osdWasVisible || g_lastOsdText != text) {
            Log(std::string("OSD shows \"") + text + "\"");
            g_lastOsdText = text;
        }
    }
    g_osdWasVisible = visible;
}

void SwitchTellwandToUserMode() {
    if (WaitForWindow(kTellwandWindowClass, nullptr) == nullptr) {
        Log("Tellwand is not running");
        return;
    }
    SelectModeAndEnable(kUserMode);
    Log("Tellwand switched to the user table");
}

void LogInput(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wParam != 0) {
                Log("key down " + KeyName(wParam));
            }
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (wParam != 0) {
                Log("key up   " + KeyName(wParam));
            }
            break;
        case WM_LBUTTONDOWN:
            Log("left mouse button down");
            break;
        case WM_LBUTTONUP:
            Log("left mouse button up");
            break;
        case WM_RBUTTONDOWN:
            Log("right mouse button down");
            break;
        case WM_RBUTTONUP:
            Log("right mouse button up");
            break;
    }
}

// Heard as Tellwand hears it: registered for, from Plug and Play, and broadcast by the virtual
// remote. Tellwand then looks for the receiver again.
void LogDeviceChange(WPARAM event, LPARAM header) {
    if (IsHidInterfaceChange(event, header)) {
        Log(event == DBT_DEVICEARRIVAL ? "a HID device arrived (the receiver plugged in)"
                                       : "a HID device left (the receiver unplugged)");
    }
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    int first = static_cast<int>(g_lines.size()) > kShownLines
                    ? static_cast<int>(g_lines.size()) - kShownLines
                    : 0;
    int y = 8;
    TextOutA(dc, 8, y, "What reached this window:", 25);
    for (size_t i = first; i < g_lines.size(); ++i) {
        y += 16;
        TextOutA(dc, 8, y, g_lines[i].c_str(), static_cast<int>(g_lines[i].size()));
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            LogInput(message, wParam);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_DEVICECHANGE:
            LogDeviceChange(wParam, lParam);
            InvalidateRect(window, nullptr, FALSE);
            return TRUE;
        case WM_TIMER:
            if (wParam == kWatchTimer) {
                size_t before = g_lines.size();
                WatchOsd();
                if (g_lines.size() != before) {
                    InvalidateRect(window, nullptr, FALSE);
                }
            } else if (wParam == kEndTimer) {
                DestroyWindow(window);
            }
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

Options ParseOptions() {
    Options options;
    for (int i = 1; i < __argc; ++i) {
        std::string argument = __argv[i];
        if (argument == "--log" && i + 1 < __argc) {
            options.logPath = __argv[++i];
        } else if (argument == "--user-mode") {
            options.userMode = true;
        } else if (argument == "--seconds" && i + 1 < __argc) {
            options.seconds = std::atoi(__argv[++i]);
        }
    }
    return options;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_options = ParseOptions();
    std::remove(g_options.logPath.c_str());
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "TellwandDemoTarget";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowA("TellwandDemoTarget", "Demo target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60,
                      560, 440, nullptr, nullptr, instance, nullptr);
    ScopedDeviceNotification hidChanges = RegisterForHidInterfaceChanges(window);
    if (g_options.userMode) {
        SwitchTellwandToUserMode();
    }
    SetForegroundWindow(window);
    SetFocus(window);
    Log("ready");
    SetTimer(window, kWatchTimer, kWatchEveryMs, nullptr);
    SetTimer(window, kEndTimer, static_cast<UINT>(g_options.seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
