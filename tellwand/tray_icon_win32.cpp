#include "tellwand/tray_icon_win32.h"

#include <shellapi.h>

#include "config/protocol.h"

namespace {

// Changes come two per report; a remote never sends this many before the shell catches up,
// but if it did, the newest change still wins over the ones in between.
constexpr std::size_t kMostQueuedChanges = 64;

}  // namespace

void ShellTrayIcon::Add(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
    added_ = true;
    stopping_ = false;
    if (!thread_.joinable()) {
        thread_ = std::thread(&ShellTrayIcon::Run, this);
    }
    Queue(NIM_ADD);
}

void ShellTrayIcon::ShowTrayIcon(int icon, const char* tip) {
    std::lock_guard<std::mutex> lock(mutex_);
    icon_ = icon;
    lstrcpynA(tip_, tip, sizeof tip_);
    if (added_) {
        Queue(NIM_MODIFY);
    }
}

void ShellTrayIcon::AddAgain() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (added_) {
        Queue(NIM_ADD);
    }
}

void ShellTrayIcon::Remove() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!added_) {
            return;
        }
        added_ = false;
        Queue(NIM_DELETE);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

// Called with the lock held.
void ShellTrayIcon::Queue(DWORD action) {
    Change change = {action, icon_, {}};
    lstrcpynA(change.tip, tip_, sizeof change.tip);
    if (changes_.size() >= kMostQueuedChanges && changes_.back().action == NIM_MODIFY) {
        changes_.back() = change;
    } else {
        changes_.push_back(change);
    }
    wake_.notify_one();
}

void ShellTrayIcon::Run() {
    for (;;) {
        Change change;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return !changes_.empty() || stopping_; });
            if (changes_.empty()) {
                return;  // stopping, and the shell knows everything
            }
            change = changes_.front();
            changes_.pop_front();
        }
        Notify(change);
    }
}

void ShellTrayIcon::Notify(const Change& change) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window_;
    data.uID = kTrayIconId;
    if (change.action != NIM_DELETE) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = kMsgTrayCallback;
        data.hIcon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(change.icon), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        lstrcpynA(data.szTip, change.tip, sizeof data.szTip);
    }
    Shell_NotifyIconA(change.action, &data);
}
