#pragma once
// The on-screen display: a topmost, see-through window at the top right of the screen that
// shows Tellwand's text for one second, and the thread it lives in.

#include <windows.h>

#include <thread>

#include "base/scoped_win32.h"
#include "wandedit/dialog_win32.h"
#include "wandedit/editor_windows_win32.h"
#include "wandedit/osd_text.h"

class OsdDialog : public Dialog {
  public:
    explicit OsdDialog(EditorWindows& windows) : windows_(windows) {}

  private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    bool PreTranslate(const MSG& msg) override { return IsDialogOperatingKey(msg, window()); }

    void OnInitDialog();
    void AnnounceToTellwand();
    bool OnPaint();
    void OnCopyData(HWND sender, const COPYDATASTRUCT* data);
    void Show();
    void OnTimer(UINT_PTR id);
    INT_PTR OnControlColour(UINT message, HDC dc);
    void OnDestroy();

    void Place();
    void MoveTopmost(UINT flags);
    void ReplaceFont(HFONT font);

    EditorWindows& windows_;
    ScopedFont font_;
    OsdPlacement placement_;
    bool firstPaint_ = false;
    char text_[kOsdShownSize] = {};
};

// Runs the OSD window on a thread of its own for as long as the object lives.
class OsdThread {
  public:
    OsdThread(HINSTANCE instance, EditorWindows& windows)
        : instance_(instance), windows_(windows) {}
    OsdThread(const OsdThread&) = delete;
    OsdThread& operator=(const OsdThread&) = delete;
    ~OsdThread() { Stop(); }

    // Returns once the OSD window exists (or could not be created).
    void Start();
    void Stop();

  private:
    HINSTANCE instance_;
    EditorWindows& windows_;
    std::thread thread_;
};
