#pragma once
// The windows WandEdit's threads share: Tellwand's hidden window and the OSD window. Each is
// one handle, written by one thread and read by the other.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "protocol/protocol.h"
#include "wandedit/settings_editor.h"

struct EditorWindows {
    std::atomic<HWND> tellwand{nullptr};
    std::atomic<HWND> osd{nullptr};

    // Tellwand's window: the one known while it lives, else looked up again by its class, as
    // Tellwand may start after us, or again after it ended or was killed.
    HWND CurrentTellwand() {
        HWND known = tellwand.load();
        if (!IsTellwandWindow(known)) {
            known = FindWindowA(kTellwandWindowClass, nullptr);
            tellwand.store(known);
        }
        return known;
    }

  private:
    static bool IsTellwandWindow(HWND window) {
        char className[sizeof kTellwandWindowClass] = {};
        return window != nullptr && IsWindow(window) &&
               GetClassNameA(window, className, sizeof className) > 0 &&
               lstrcmpA(className, kTellwandWindowClass) == 0;
    }
};

class PostingTellwandLink : public TellwandLink {
  public:
    explicit PostingTellwandLink(EditorWindows& windows) : windows_(windows) {}
    void PostTableSelector(int32_t tableSelector) override {
        HWND tellwand = windows_.CurrentTellwand();
        if (tellwand != nullptr) {
            PostMessageA(tellwand, kMsgTableSelector, static_cast<WPARAM>(tableSelector), 0);
        }
    }

  private:
    EditorWindows& windows_;
};
