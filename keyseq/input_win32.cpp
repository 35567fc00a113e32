#include "keyseq/input_win32.h"

#include <windows.h>

#include "base/trace.h"

void Win32Input::KeyEvent(uint8_t virtualKey, uint32_t flags) {
    // Only what Tellwand plays is traced, never what the user types.
    Trace("key %02X %s", virtualKey, (flags & KEYEVENTF_KEYUP) != 0 ? "up" : "down");
    keybd_event(virtualKey, 0, flags, 0);
}

void Win32Input::MouseEvent(uint32_t flags, int dx, int dy) {
    Trace("mouse event 0x%04X %d %d", static_cast<unsigned>(flags), dx, dy);
    mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, 0);
}

void Win32Input::Pause(uint32_t milliseconds) {
    Sleep(milliseconds);
}
