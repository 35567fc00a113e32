#pragma once
// Where synthesized input goes: the real keyboard and mouse on Windows, a recorder in tests.

#include <cstdint>

// keybd_event and mouse_event flags.
constexpr uint32_t kKeyEventExtended = 0x1;
constexpr uint32_t kKeyEventKeyUp = 0x2;
constexpr uint32_t kMouseMove = 0x1;
constexpr uint32_t kMouseLeftDown = 0x2;
constexpr uint32_t kMouseLeftUp = 0x4;
constexpr uint32_t kMouseRightDown = 0x8;
constexpr uint32_t kMouseRightUp = 0x10;

class InputSink {
  public:
    virtual ~InputSink() = default;
    virtual void KeyEvent(uint8_t virtualKey, uint32_t flags) = 0;
    virtual void MouseEvent(uint32_t flags, int dx, int dy) = 0;
    virtual void Pause(uint32_t milliseconds) = 0;
};
