#include "tellwand/tray_icon_win32.h"

#include <shellapi.h>

#include "base/trace_win32.h"
#include "protocol/protocol.h"
#include "tellwand/icon_ids.h"

namespace {

int IconOf(TrayState state) {
    switch (state) {
        case TrayState::kEnabled:
            return IDI_TRAY_ENABLED;
        case TrayState::kDisabled:
            return IDI_TRAY_DISABLED;
        case TrayState::kBusy:
            return IDI_TRAY_BUSY;
    }
    return IDI_TRAY_ENABLED;
}

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
    changes_.Add();
    if (!thread_.joinable()) {
        threadLooksAt_ = TrayTime::min();
        thread_ = std::thread(&ShellTrayIcon::Run, this);
    }
    WakeIfDueSooner();
}

void ShellTrayIcon::ShowTrayState(TrayState state) {
    std::lock_guard<std::mutex> lock(mutex_);
    changes_.SetState(state);
    WakeIfDueSooner();
}

// Waking the thread costs a call to the server, which the report's keys would queue behind:
// only the first report of a burst does it as it begins; the thread wakes after the keys.
void ShellTrayIcon::ReportBegins() {
    std::lock_guard<std::mutex> lock(mutex_);
    changes_.ReportBegins(TrayClock::now());
    WakeIfDueSooner();
}

void ShellTrayIcon::ReportEnds() {
    std::lock_guard<std::mutex> lock(mutex_);
    changes_.ReportEnds(TrayClock::now());
    WakeIfDueSooner();
}

void ShellTrayIcon::AddAgain() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (added_) {
        changes_.Add();
        WakeIfDueSooner();
    }
}

void ShellTrayIcon::Remove() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!added_) {
            return;
        }
        added_ = false;
        changes_.Delete();
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

// Called with the lock held.
void ShellTrayIcon::WakeIfDueSooner() {
    std::optional<TrayTime> due = changes_.NextDue();
    if (added_ && due && *due < threadLooksAt_) {
        threadLooksAt_ = *due;
        wake_.notify_one();
    }
}

void ShellTrayIcon::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        threadLooksAt_ = TrayTime::min();  // busy: nobody need wake it
        std::optional<TrayChange> change = changes_.Take(TrayClock::now());
        if (change) {
            HWND window = window_;
            lock.unlock();
            Notify(window, *change);
            lock.lock();
            continue;
        }
        if (stopping_) {
            return;  // the shell knows everything
        }
        std::optional<TrayTime> due = changes_.NextDue();
        threadLooksAt_ = due.value_or(TrayTime::max());
        if (due) {
            wake_.wait_until(lock, *due);
        } else {
            wake_.wait(lock);
        }
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
        data.hIcon = static_cast<HICON>(LoadImageA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IconOf(change.state)), IMAGE_ICON,
            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        lstrcpynA(data.szTip, TipOf(change.state), sizeof data.szTip);
    }
    if (!Shell_NotifyIconA(ShellAction(change.action), &data)) {
        TraceLastError("Shell_NotifyIconA");
    }
}
