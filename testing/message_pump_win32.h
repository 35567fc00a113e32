#pragma once
// Waiting for conditions in Win32 tests: pump this thread's messages until the condition
// holds or the deadline passes. Tests wait for what they expect, never for a fixed time.

#include <windows.h>

#include <functional>

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pumps this thread's messages for `ms`: where a test must see that nothing more follows,
// which no condition can wait for, or must give a window time of its own.
inline void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
    }
    PumpMessages();
}

inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
