#pragma once
// Windows of a test program: a class of its own for each kind, registered where it is first used.

#include <windows.h>

// Registers the class (again, harmlessly, when an earlier test did) and creates one window of
// it, owned by the calling thread.
inline HWND CreateTestWindow(const char* className, WNDPROC windowProc, const char* title,
                             DWORD style, int x = 0, int y = 0, int width = 10, int height = 10) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowA(className, title, style, x, y, width, height, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}
