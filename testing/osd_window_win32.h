#pragma once
// Finding WandEdit's on-screen display from another process, as tests and the demo watch it.

#include <windows.h>

#include <string>

#include "wandedit/resource_ids.h"

inline BOOL CALLBACK CheckForOsdWindow(HWND window, LPARAM result) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, IDC_OSD_TEXT) != nullptr) {
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

// True once the display's thread runs its message loop. It shows the display once just before
// entering it and hides it at its first paint, so a hide seen after this is not followed by
// that start's show.
inline bool OsdLoopRuns(HWND osd) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(osd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer) != 0;
}

// The text the display holds, shown or not.
inline std::string OsdText(HWND osd) {
    char text[300] = {};
    GetDlgItemTextA(osd, IDC_OSD_TEXT, text, sizeof text);
    return text;
}
