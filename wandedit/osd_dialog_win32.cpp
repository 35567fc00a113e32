#include "wandedit/osd_dialog_win32.h"

#include <cstring>
#include <future>

#include "base/trace.h"
#include "protocol/protocol.h"
#include "wandedit/resource_ids.h"

namespace {

constexpr UINT_PTR kHideTimer = 1000;
constexpr UINT kHideAfterMs = 1000;
constexpr COLORREF kTextColour = RGB(173, 255, 47);
constexpr UINT kKeepOrder = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

}  // namespace

bool OsdDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            // No focus for a window that takes no input: focus would make it its thread's
            // active window, which Wine hands to the window manager, and every hide would
            // then wait for the manager (two seconds where there is none). Wine workaround of
            // 195d8f2; harmless on Windows, where the window never needed the focus either.
            *result = FALSE;
            return true;
        case WM_PAINT:
            return OnPaint();
        case WM_COPYDATA:
            OnCopyData(reinterpret_cast<HWND>(wParam),
                       reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            *result = TRUE;
            return true;
        case kMsgOsdShow:
            Show();
            return true;
        case kMsgAnnounceOsd:
            AnnounceToTellwand();
            return true;
        case WM_TIMER:
            OnTimer(wParam);
            return true;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORDLG:
            *result = OnControlColour(message, reinterpret_cast<HDC>(wParam));
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {  // WM_CLOSE: the program is ending
                EndModal(0);
                return true;
            }
            return false;
        case WM_DESTROY:
            OnDestroy();
            return true;
        default:
            return false;
    }
}

void OsdDialog::OnInitDialog() {
    windows_.osd.store(window());
    Place();
    MoveTopmost(kKeepOrder);
    // A tool window has no taskbar button.
    SetWindowLongA(window(), GWL_EXSTYLE, GetWindowLongA(window(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    firstPaint_ = true;
    AnnounceToTellwand();
}

// Tellwand learns of us from this message only: at our start, and whenever a Tellwand
// started after us starts a second WandEdit, which asks us to announce again.
void OsdDialog::AnnounceToTellwand() {
    HWND tellwand = windows_.CurrentTellwand();
    if (tellwand != nullptr) {
        PostMessageA(tellwand, kMsgOsdWindow, reinterpret_cast<WPARAM>(window()), 0);
    }
}

bool OsdDialog::OnPaint() {
    if (!firstPaint_) {
        return false;
    }
    // The window is shown once when its loop starts; it hides until there is text to show.
    firstPaint_ = false;
    ValidateRect(window(), nullptr);
    ShowWindow(window(), SW_HIDE);
    return true;
}

void OsdDialog::OnCopyData(HWND sender, const COPYDATASTRUCT* data) {
    // Only Tellwand may set the text; while its window is unknown nobody may.
    HWND tellwand = windows_.tellwand.load();
    if (tellwand == nullptr || sender != tellwand || data == nullptr) {
        Trace("OSD text refused: %s", tellwand == nullptr ? "Tellwand's window is not known yet"
                                                          : "not from Tellwand's window");
        return;
    }
    AcceptOsdText(data->lpData, data->cbData, text_);
}

void OsdDialog::Show() {
    KillTimer(window(), kHideTimer);
    Place();
    MoveTopmost(kKeepOrder | SWP_HIDEWINDOW);
    Sleep(5);
    // A show that comes before the first paint must not be hidden by it.
    firstPaint_ = false;
    std::size_t length = std::strlen(text_);
    ReplaceFont(CreateFontA(OsdFontHeight(placement_.height, length), 0, 0, 0, FW_NORMAL, FALSE,
                            FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
    SetTimer(window(), kHideTimer, kHideAfterMs, nullptr);
    SetDlgItemTextA(window(), IDC_OSD_TEXT, text_);
    MoveTopmost(kKeepOrder | SWP_SHOWWINDOW);
}

void OsdDialog::OnTimer(UINT_PTR id) {
    if (id != kHideTimer) {
        return;
    }
    MoveTopmost(kKeepOrder | SWP_HIDEWINDOW);
    KillTimer(window(), kHideTimer);
}

INT_PTR OsdDialog::OnControlColour(UINT message, HDC dc) {
    // Hollow brushes: the letters stand on whatever the screen shows behind the window.
    if (message == WM_CTLCOLORSTATIC) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kTextColour);
    }
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

void OsdDialog::OnDestroy() {
    windows_.osd.store(nullptr);
    ReplaceFont(nullptr);
}

void OsdDialog::Place() {
    // Every show follows the screen size of the moment.
    placement_ = PlaceOsd(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void OsdDialog::MoveTopmost(UINT flags) {
    SetWindowPos(window(), HWND_TOPMOST, placement_.x, placement_.y, placement_.width,
                 placement_.height, flags);
}

void OsdDialog::ReplaceFont(HFONT font) {
    // The static lets go of the old font before it is deleted.
    SendDlgItemMessageA(window(), IDC_OSD_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    font_.Reset(font);
}

void OsdThread::Start() {
    std::promise<void> created;
    std::future<void> windowExists = created.get_future();
    thread_ = std::thread([this, &created] {
        OsdDialog dialog(windows_);
        bool made = dialog.Create(instance_, IDD_OSD);
        created.set_value();
        if (made) {
            ShowWindow(dialog.window(), SW_SHOWNA);
            dialog.RunModal();
        }
    });
    windowExists.wait();
}

void OsdThread::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    HWND osd = windows_.osd.load();
    if (osd != nullptr) {
        PostMessageA(osd, WM_CLOSE, 0, 0);
    }
    thread_.join();
}
