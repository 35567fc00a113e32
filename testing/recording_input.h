#pragma once
// An input sink that records every call as a line of text, so tests compare whole sequences.

#include <cstdio>
#include <string>
#include <vector>

#include "keyseq/input_sink.h"

class RecordingInput : public InputSink {
  public:
    void KeyEvent(uint8_t virtualKey, uint32_t flags) override {
        events.push_back(Format("key %02X %u", virtualKey, flags));
    }
    void MouseEvent(uint32_t flags, int dx, int dy) override {
        events.push_back(Format("mouse %X %d %d", flags, dx, dy));
    }
    void Pause(uint32_t milliseconds) override {
        events.push_back(Format("pause %u", milliseconds));
    }

    std::vector<std::string> events;

  private:
    template <typename... Args>
    static std::string Format(const char* format, Args... args) {
        char line[64];
        std::snprintf(line, sizeof line, format, args...);
        return line;
    }
};
