#pragma once
// Tellwand's part in WandEdit's tests: its hidden window, by class and title, recording what
// WandEdit tells it and sending the OSD texts.

#include <windows.h>

#include <string>
#include <vector>

#include "config/registry_win32.h"
#include "protocol/protocol.h"
#include "testing/test_window_win32.h"
#include "wandedit/tests/selector_post.h"

class StandInTellwand {
  public:
    StandInTellwand() {
        window =
            CreateTestWindow(kTellwandWindowClass, WindowProc, kTellwandWindowClass, WS_CAPTION);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    StandInTellwand(const StandInTellwand&) = delete;
    StandInTellwand& operator=(const StandInTellwand&) = delete;
    ~StandInTellwand() { DestroyWindow(window); }

    // Sends `size` bytes of `data` as the OSD text, as if from `sender`.
    static void SendText(HWND osd, HWND sender, const void* data, DWORD size) {
        COPYDATASTRUCT copy = {0, size, const_cast<void*>(data)};
        SendMessageA(osd, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                     reinterpret_cast<LPARAM>(&copy));
    }
    // The whole 260-byte buffer, as Tellwand sends it, followed by the show.
    void ShowText(const std::string& text) {
        char buffer[kOsdMessageSize] = {};
        text.copy(buffer, sizeof buffer - 1);
        SendText(osdWindow, window, buffer, sizeof buffer);
        PostMessageA(osdWindow, kMsgOsdShow, 0, 0);
    }

    HWND window = nullptr;
    HWND osdWindow = nullptr;
    std::vector<SelectorPost> selectorPosts;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<StandInTellwand*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr && message == kMsgOsdWindow) {
            self->osdWindow = reinterpret_cast<HWND>(wParam);
            return 0;
        }
        if (self != nullptr && message == kMsgTableSelector) {
            Win32Registry registry;
            self->selectorPosts.push_back(ReadSelectorPost(registry, static_cast<int32_t>(wParam)));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};
