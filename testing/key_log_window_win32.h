#pragma once
// Focused windows of a test, standing for the program the user types into.

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "testing/message_pump_win32.h"
#include "testing/test_window_win32.h"

// Brings the window to the front and gives it the focus; true when it is in front.
inline bool FocusWindow(HWND window) {
    SetForegroundWindow(window);
    SetFocus(window);
    return PumpUntil([window] { return GetForegroundWindow() == window; });
}

// Creates a visible popup of its own class, brings it to the front and gives it the focus.
inline HWND CreateFocusedWindow(const char* className, WNDPROC windowProc, int width = 640,
                                int height = 480) {
    HWND window = CreateTestWindow(className, windowProc, "Target", WS_POPUP | WS_VISIBLE, 0, 0,
                                   width, height);
    FocusWindow(window);
    return window;
}

// The keys that reach the focused window, as "down 11" and "up 11". Key code 0, which empty
// modifier slots send, means nothing to a user and is left out.
inline std::vector<std::string>& LoggedKeys() {
    static std::vector<std::string> keys;
    return keys;
}

// Waits until `count` keys were logged (or the time is up) and a moment more, in which nothing
// else may arrive; returns what was logged and clears the log.
inline std::vector<std::string> TakeLoggedKeys(std::size_t count) {
    PumpUntil([count] { return LoggedKeys().size() >= count; });
    PumpFor(150);
    std::vector<std::string> keys;
    keys.swap(LoggedKeys());
    return keys;
}

inline LRESULT CALLBACK KeyLogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    if (!down && !up) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (wParam != 0) {
        char line[16];
        std::snprintf(line, sizeof line, "%s %02X", down ? "down" : "up",
                      static_cast<unsigned>(wParam));
        LoggedKeys().push_back(line);
    }
    return 0;
}

inline HWND CreateKeyLogWindow() {
    LoggedKeys().clear();
    return CreateFocusedWindow("TellwandKeyLog", KeyLogWindowProc);
}
