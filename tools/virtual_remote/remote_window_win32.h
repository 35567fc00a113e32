#pragma once
// The virtual remote's window: the remote's picture, whose keys send their reports when
// clicked and whose pad sends pad reports when dragged, status lines and a button that unplugs
// the receiver and plugs it in again.

#include <windows.h>

#include <mutex>
#include <vector>

#include "base/scoped_win32.h"
#include "tools/virtual_remote/remote_receiver_win32.h"
#include "tools/virtual_remote/remote_script.h"

// Posted to the window when the script ended; wParam is the exit code, which the message
// loop's WM_QUIT then carries.
constexpr UINT kScriptDoneMessage = WM_APP + 1;

class RemoteWindow {
  public:
    explicit RemoteWindow(RemoteReceiver& receiver) : receiver_(receiver) {}
    ~RemoteWindow();
    RemoteWindow(const RemoteWindow&) = delete;
    RemoteWindow& operator=(const RemoteWindow&) = delete;

    bool Create(HINSTANCE instance);
    HWND handle() const { return window_; }
    // Shows a report as the last one sent; may be called from any thread.
    void ShowSent(const RemoteReport& report);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void PaintStatus(HDC dc);
    void PressAt(POINT point, WPARAM keys);
    void DragTo(POINT point);
    void Release();
    void Send(const RemoteReport& report);
    void TogglePlug();
    void RefreshStatus();

    RemoteReceiver& receiver_;
    HWND window_ = nullptr;
    HWND plugButton_ = nullptr;
    ScopedBitmap picture_;
    std::vector<ScopedBitmap> litKeys_;
    int pressedKey_ = -1;  // a button held down by the mouse
    uint8_t padType_ = 0;  // the pad report type while a pad key or the pad is held
    bool dragging_ = false;
    POINT lastPoint_ = {};
    int shownClients_ = -1;
    bool shownPlugged_ = true;
    int exitCode_ = 0;  // the script's, when it closes the window
    std::mutex statusMutex_;
    RemoteReport lastSent_ = {};
    bool sentAny_ = false;
};
