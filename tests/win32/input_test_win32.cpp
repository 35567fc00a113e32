// The real input path: keys played by the Win32 input sink arrive at the focused window.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "keyseq/input_win32.h"
#include "keyseq/key_player.h"
#include "keyseq/key_sequence.h"
#include "testing/key_log_window_win32.h"
#include "testing/message_pump_win32.h"
#include "testing/test_window_win32.h"

namespace {

std::vector<std::string> g_received;

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
        message == WM_SYSKEYUP) {
        bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        bool extended = (lParam >> 24) & 1;
        char line[32];
        std::snprintf(line, sizeof line, "%s %02X%s", down ? "down" : "up",
                      static_cast<unsigned>(wParam), extended ? " ext" : "");
        g_received.push_back(line);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class FocusedWindow {
  public:
    FocusedWindow() {
        window_ = CreateTestWindow("TellwandInputTarget", RecordingWindowProc, "Input target",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
        FocusWindow(window_);
    }
    ~FocusedWindow() { DestroyWindow(window_); }
    HWND handle() const { return window_; }

  private:
    HWND window_;
};

KeyAction Record(const char* text) {
    KeyAction record;
    CopyBounded(record.text, text);
    ParseKeySequence(record);
    return record;
}

void Play(const char* text, InputSink& input) {
    KeyAction record = Record(text);
    PressKeyAction(record, input);
    ReleaseKeyAction(record, input);
}

TEST(Win32Input, PlayedKeysArriveAtTheFocusedWindow) {
    FocusedWindow target;
    ASSERT_EQ(GetForegroundWindow(), target.handle());
    g_received.clear();
    Win32Input input;

    // Empty modifier slots are sent as events for code 0; they reach the window as such.
    Play("0-C-X", input);
    Play("1-DOWN", input);
    Play("0-S-A-C-F5", input);

    const std::vector<std::string> expected = {
        "down 11",   "down 00", "down 00", "down 58",      // Control+X
        "up 58",     "up 00",   "up 00",   "up 11",        //
        "down 00",   "down 00", "down 00", "down 28 ext",  // Down arrow, extended
        "up 28 ext", "up 00",   "up 00",   "up 00",        //
        "down 11",   "down 12", "down 10", "down 74",      // Control+Alt+Shift+F5
        "up 74",     "up 10",   "up 12",   "up 11",        //
    };
    ASSERT_TRUE(PumpUntil([&] { return g_received.size() >= expected.size(); }))
        << "received " << g_received.size() << " key messages";
    EXPECT_EQ(g_received, expected);
}

}  // namespace
