#pragma once
// The windows WandEdit's threads share: Tellwand's hidden window and the OSD window. Each is
// one handle, written once and read by the other thread.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "config/protocol.h"
#include "wandedit/settings_editor.h"

struct EditorWindows {
    std::atomic<HWND> tellwand{nullptr};
    std::atomic<HWND> osd{nullptr};

    // Looks Tellwand's window up by its class while it is not known yet.
    HWND FindTellwand() {
        if (tellwand.load() == nullptr) {
            tellwand.store(FindWindowA(kTellwandWindowClass, nullptr));
        }
        return tellwand.load();
    }
};

class PostingTellwandLink : public TellwandLink {
  public:
    explicit PostingTellwandLink(EditorWindows& windows) : windows_(windows) {}
    void PostTableSelector(int32_t tableSelector) override {
        HWND tellwand = windows_.tellwand.load();
        if (tellwand != nullptr) {
            PostMessageA(tellwand, kMsgTableSelector, static_cast<WPARAM>(tableSelector), 0);
        }
    }

  private:
    EditorWindows& windows_;
};
