#pragma once
// Finding WandEdit's on-screen display from another process, as tests and the demo watch it.

#include <windows.h>

inline BOOL CALLBACK CheckForOsdWindow(HWND window, LPARAM result) {
    constexpr int kOsdTextControl = 1110;
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, kOsdTextControl) != nullptr) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

// WandEdit's on-screen display: the top-level dialog holding the text control.
inline HWND FindOsdWindow() {
    HWND found = nullptr;
    EnumWindows(CheckForOsdWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}
