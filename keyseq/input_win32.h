#pragma once
// Synthesized keyboard and mouse input for the whole desktop.

#include "keyseq/input_sink.h"

class Win32Input : public InputSink {
  public:
    void KeyEvent(uint8_t virtualKey, uint32_t flags) override;
    void MouseEvent(uint32_t flags, int dx, int dy) override;
    void Pause(uint32_t milliseconds) override;
};
