#include "tellwand/tray_icon_win32.h"

#include <shellapi.h>

#include <chrono>

#include "base/trace_win32.h"
#include "config/protocol.h"

namespace {

// Long enough for a report's keys to go out before the shell is touched, too short to see.
constexpr auto kFoldStates = std::chrono::milliseconds(20);

DWORD ShellAction(TrayChange::Action action) {
    switch (action) {
        case TrayChange::Action::kAdd:
            return NIM_ADD;
        case TrayChange::Action::kDelete:
            return NIM_DELETE;
        case TrayChange::Action::kModify:
            break;
    }
    return NIM_MODIFY;
}

}  // namespace

void ShellTrayIcon::Add(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
    added_ = true;
    stopping_ = false;
    if (!thread_.joinable()) {
        thread_ = std::thread(&ShellTrayIcon::Run, this);
    }
    Queue(TrayChange::Action::kAdd);
}

void ShellTrayIcon::ShowTrayIcon(int icon, const char* tip) {
    std::lock_guard<std::mutex> lock(mutex_);
    icon_ = icon;
    lstrcpynA(tip_, tip, sizeof tip_);
    if (added_) {
        Queue(TrayChange::Action::kModify);
    }
}

void ShellTrayIcon::AddAgain() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (added_) {
        Queue(TrayChange::Action::kAdd);
    }
}

void ShellTrayIcon::Remove() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!added_) {
            return;
        }
        added_ = false;
        Queue(TrayChange::Action::kDelete);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

// Called with the lock held.
void ShellTrayIcon::Queue(TrayChange::Action action) {
    changes_.Push(TrayChange::Make(action, icon_, tip_));
    // Waking the thread costs a call to the server and the thread's own calls, which the
    // keys of a report would wait behind: the busy state, set as a report begins, waits for
    // the report's end state to wake the thread. A thread already at work needs no wake.
    bool reportBegins = action == TrayChange::Action::kModify && icon_ == kIconBusy;
    if (waitingForChanges_ && !reportBegins) {
        wake_.notify_one();
    }
}

void ShellTrayIcon::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (changes_.NextIsModify()) {
            wake_.wait_for(lock, kFoldStates, [this] { return stopping_; });
        }
        std::optional<TrayChange> change = changes_.Take();
        if (!change) {
            if (stopping_) {
                return;  // the shell knows everything
            }
            waitingForChanges_ = true;
            wake_.wait(lock);
            waitingForChanges_ = false;
            continue;
        }
        HWND window = window_;
        lock.unlock();
        Notify(window, *change);
        lock.lock();
    }
}

void ShellTrayIcon::Notify(HWND window, const TrayChange& change) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    if (change.action != TrayChange::Action::kDelete) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = kMsgTrayCallback;
        data.hIcon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(change.icon), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        lstrcpynA(data.szTip, change.tip, sizeof data.szTip);
    }
    if (!Shell_NotifyIconA(ShellAction(change.action), &data)) {
        TraceLastError("Shell_NotifyIconA");
    }
}
