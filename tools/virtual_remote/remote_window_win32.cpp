#include "tools/virtual_remote/remote_window_win32.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "config/buttons.h"
#include "keyseq/key_action.h"
#include "remote_layout.h"
#include "tools/virtual_remote/script_runner_win32.h"
#include "wandedit/resource_ids.h"

namespace {

constexpr char kClassName[] = "TellwandVirtualRemote";
constexpr UINT_PTR kClientTimer = 1;
constexpr UINT kClientTimerMs = 250;
constexpr int kPlugButtonId = 100;
constexpr char kUnplugText[] = "Unplug";
constexpr char kPlugText[] = "Plug in";

// Where the picture sits in the window's client area, and the status lines below it.
constexpr int kPictureX = 20;
constexpr int kPictureY = 8;
constexpr int kClientWidth = kRemotePictureWidth + 2 * kPictureX;
constexpr int kStatusY = kPictureY + kRemotePictureHeight + 6;
constexpr int kStatusLineHeight = 16;
constexpr int kStatusBottom = kStatusY + 2 * kStatusLineHeight;
// The plug button, below the status lines.
constexpr int kPlugButtonY = kStatusBottom + 4;
constexpr int kPlugButtonWidth = 70;
constexpr int kPlugButtonHeight = 24;
constexpr int kClientHeight = kPlugButtonY + kPlugButtonHeight + 8;
// The picture's own background, so the window and the picture meet without a seam.
constexpr COLORREF kBackground = RGB(240, 240, 240);

// A button's rectangle (dialog coordinates) in this window's client coordinates.
RECT KeyRect(int button) {
    ButtonRect r = ButtonRectangle(button);
    int dx = kPictureX - kRemotePictureLeft;
    int dy = kPictureY - kRemotePictureTop;
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

int KeyAt(POINT point) {
    for (int button = 0; button < kButtonCount; ++button) {
        RECT rect = KeyRect(button);
        if (PtInRect(&rect, point)) {
            return button;
        }
    }
    return -1;
}

bool InPictureRect(const RemoteRect& r, POINT point) {
    RECT rect = {r.left + kPictureX, r.top + kPictureY, r.right + kPictureX, r.bottom + kPictureY};
    return PtInRect(&rect, point) != 0;
}

bool OnPad(POINT point) {
    double dx = point.x - kPictureX - kPadCentreX;
    double dy = point.y - kPictureY - kPadCentreY;
    return std::hypot(dx, dy) <= kPadRadius;
}

int ClampDelta(int delta) {
    return std::max(-kMaxPadDelta, std::min(kMaxPadDelta, delta));
}

}  // namespace

RemoteWindow::~RemoteWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool RemoteWindow::Create(HINSTANCE instance) {
    picture_.Reset(LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_REMOTE)));
    for (int button = 0; button < kButtonCount; ++button) {
        litKeys_.emplace_back(LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_KEY_LIT + button)));
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_HAND);
    windowClass.hbrBackground = CreateSolidBrush(kBackground);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    window_ = CreateWindowA(kClassName, "Virtual Remote", style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance, this);
    if (window_ == nullptr) {
        return false;
    }
    plugButton_ = CreateWindowA("BUTTON", kUnplugText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                kPictureX / 2, kPlugButtonY, kPlugButtonWidth, kPlugButtonHeight,
                                window_, reinterpret_cast<HMENU>(kPlugButtonId), instance, nullptr);
    SendMessageA(plugButton_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SetTimer(window_, kClientTimer, kClientTimerMs, nullptr);
    RefreshStatus();
    ShowWindow(window_, SW_SHOWNORMAL);
    return true;
}

void RemoteWindow::ShowSent(const RemoteReport& report) {
    {
        std::lock_guard<std::mutex> lock(statusMutex_);
        lastSent_ = report;
        sentAny_ = true;
    }
    RECT status = {0, kStatusY, kClientWidth, kStatusBottom};
    InvalidateRect(window_, &status, TRUE);
}

LRESULT CALLBACK RemoteWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<RemoteWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RemoteWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT RemoteWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_LBUTTONDOWN:
            PressAt(point, wParam);
            return 0;
        case WM_MOUSEMOVE:
            DragTo(point);
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            Release();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kPlugButtonId && HIWORD(wParam) == BN_CLICKED) {
                TogglePlug();
            }
            return 0;
        case WM_TIMER:
            RefreshStatus();
            return 0;
        case kScriptDoneMessage:
            exitCode_ = static_cast<int>(wParam);
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            KillTimer(window_, kClientTimer);
            window_ = nullptr;
            PostQuitMessage(exitCode_);
            return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void RemoteWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    DrawBitmap(dc, picture_.get(), kPictureX, kPictureY);
    if (pressedKey_ >= 0) {
        RECT rect = KeyRect(pressedKey_);
        DrawBitmap(dc, litKeys_[pressedKey_].get(), rect.left, rect.top);
    }
    PaintStatus(dc);
    EndPaint(window_, &paint);
}

void RemoteWindow::PaintStatus(HDC dc) {
    std::string clients = !shownPlugged_      ? "Unplugged"
                          : shownClients_ < 0 ? "HID device"
                                              : "Clients: " + std::to_string(shownClients_);
    std::string sent = "Sent: ";
    {
        std::lock_guard<std::mutex> lock(statusMutex_);
        sent += sentAny_ ? FormatReport(lastSent_) : "nothing yet";
    }
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT line = {kPictureX / 2, kStatusY, kClientWidth, kStatusY + kStatusLineHeight};
    DrawTextA(dc, clients.c_str(), -1, &line, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    OffsetRect(&line, 0, kStatusLineHeight);
    DrawTextA(dc, sent.c_str(), -1, &line, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

void RemoteWindow::PressAt(POINT point, WPARAM keys) {
    Release();
    int key = KeyAt(point);
    if (key >= 0) {
        pressedKey_ = key;
        Send(ButtonReport(key, true));
        RECT rect = KeyRect(key);
        InvalidateRect(window_, &rect, FALSE);
    } else if (InPictureRect(kLeftMouseKey, point) || InPictureRect(kRightMouseKey, point)) {
        padType_ = InPictureRect(kLeftMouseKey, point) ? kPadLeftDrag : kPadRightDrag;
        Send(PadReport(padType_, 0, 0));
    } else if (OnPad(point)) {
        // Shift or Ctrl hold the pad's left or right key for the drag.
        padType_ = (keys & MK_SHIFT)     ? kPadLeftDrag
                   : (keys & MK_CONTROL) ? kPadRightDrag
                                         : kPadMove;
        if (padType_ != kPadMove) {
            Send(PadReport(padType_, 0, 0));
        }
        dragging_ = true;
        lastPoint_ = point;
    } else {
        return;
    }
    SetCapture(window_);
}

void RemoteWindow::DragTo(POINT point) {
    if (!dragging_) {
        return;
    }
    int dx = ClampDelta(point.x - lastPoint_.x);
    int dy = ClampDelta(point.y - lastPoint_.y);
    if (dx == 0 && dy == 0) {
        return;
    }
    Send(PadReport(padType_, dx, dy));
    lastPoint_.x += dx;
    lastPoint_.y += dy;
}

void RemoteWindow::Release() {
    if (pressedKey_ >= 0) {
        int key = pressedKey_;
        pressedKey_ = -1;
        Send(ButtonReport(key, false));
        RECT rect = KeyRect(key);
        InvalidateRect(window_, &rect, FALSE);
    }
    // A still move report lets go of a held pad key.
    if (padType_ == kPadLeftDrag || padType_ == kPadRightDrag) {
        Send(PadReport(kPadMove, 0, 0));
    }
    padType_ = 0;
    dragging_ = false;
    if (GetCapture() == window_) {
        ReleaseCapture();
    }
}

void RemoteWindow::Send(const RemoteReport& report) {
    receiver_.Send(report);
    ShowSent(report);
}

// The receiver leaves or comes back; the script may do the same at any time.
void RemoteWindow::TogglePlug() {
    if (receiver_.IsPlugged()) {
        receiver_.Unplug();
    } else {
        receiver_.Plug();
    }
    RefreshStatus();
}

void RemoteWindow::RefreshStatus() {
    int clients = receiver_.ClientCount();
    bool plugged = receiver_.IsPlugged();
    if (clients != shownClients_ || plugged != shownPlugged_) {
        shownClients_ = clients;
        shownPlugged_ = plugged;
        SetWindowTextA(plugButton_, plugged ? kUnplugText : kPlugText);
        RECT status = {0, kStatusY, kClientWidth, kStatusBottom};
        InvalidateRect(window_, &status, TRUE);
    }
}
