#include "keyseq/input_win32.h"

#include <windows.h>

void Win32Input::KeyEvent(uint8_t virtualKey, uint32_t flags) {
    keybd_event(virtualKey, 0, flags, 0);
}

void Win32Input::MouseEvent(uint32_t flags, int dx, int dy) {
    mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, 0);
}

void Win32Input::Pause(uint32_t milliseconds) {
    Sleep(milliseconds);
}
