#pragma once
// Focused windows of a test, standing for the program the user types into.

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "testing/message_pump_win32.h"
#include "testing/test_window_win32.h"

// Brings the window to the front and gives it the focus; true when it is in front.
inline bool FocusWindow(HWND window) {
    SetForegroundWindow(window);
    SetFocus(window);
    return PumpUntil([window] { return GetForegroundWindow() == window; });
}

// Wine on X sends key-ups of its own when an X focus event comes: it aligns its key state with
// the X server's, which never saw the keys a program injected. They are no program's keys, and
// when they come is up to the X server, so the key log leaves them out: a low-level hook tells
// every key event that was not injected, before its message reaches a window. The hook runs on
// a thread of its own, so a test waiting for a process never holds the input up.
class UninjectedKeys {
  public:
    static UninjectedKeys& Instance() {
        static UninjectedKeys keys;
        return keys;
    }

    // True (and forgotten) when the hook saw this key event, of this message time, come from
    // no injection.
    bool Take(WPARAM virtualKey, bool up, LONG time) {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_.erase({static_cast<UINT>(virtualKey), up, static_cast<DWORD>(time)}) != 0;
    }

  private:
    UninjectedKeys() {
        HANDLE hooked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread([hooked] {
            SetWindowsHookExA(WH_KEYBOARD_LL, Hook, GetModuleHandleA(nullptr), 0);
            SetEvent(hooked);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            }
        }).detach();
        WaitForSingleObject(hooked, 5000);
        CloseHandle(hooked);
    }

    // Windows reach a window as the key without its side: Control, not left Control.
    static UINT WithoutSide(DWORD virtualKey) {
        switch (virtualKey) {
            case VK_LSHIFT:
            case VK_RSHIFT:
                return VK_SHIFT;
            case VK_LCONTROL:
            case VK_RCONTROL:
                return VK_CONTROL;
            case VK_LMENU:
            case VK_RMENU:
                return VK_MENU;
        }
        return virtualKey;
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION && !(key->flags & LLKHF_INJECTED)) {
            bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
            std::lock_guard<std::mutex> lock(Instance().mutex_);
            Instance().seen_.insert({WithoutSide(key->vkCode), up, key->time});
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    std::mutex mutex_;
    std::set<std::tuple<UINT, bool, DWORD>> seen_;
};

// Creates a visible popup of its own class, brings it to the front and gives it the focus.
inline HWND CreateFocusedWindow(const char* className, WNDPROC windowProc, int width = 640,
                                int height = 480) {
    UninjectedKeys::Instance();  // hooked before the window can take the focus
    HWND window = CreateTestWindow(className, windowProc, "Target", WS_POPUP | WS_VISIBLE, 0, 0,
                                   width, height);
    FocusWindow(window);
    return window;
}

// The keys that reach the focused window, as "down 11" and "up 11". Key code 0, which empty
// modifier slots send, means nothing to a user and is left out, as are Wine's own key events.
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
    if (wParam != 0 && !UninjectedKeys::Instance().Take(wParam, up, GetMessageTime())) {
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
