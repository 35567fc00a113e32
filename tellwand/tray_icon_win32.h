#pragma once
// The notification-area icon. Every change goes to the shell from a thread of its own,
// in order: the shell takes milliseconds per change, which the reader must not wait for, and
// our window thread must not wait on the shell while the shell may be sending to it.

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "tellwand/tray_icon.h"

// The icon's id, in the shell's calls and in its callback messages to our window.
constexpr UINT kTrayIconId = 200;

class ShellTrayIcon : public TrayIcon {
  public:
    ShellTrayIcon() = default;
    ~ShellTrayIcon() { Remove(); }
    ShellTrayIcon(const ShellTrayIcon&) = delete;
    ShellTrayIcon& operator=(const ShellTrayIcon&) = delete;

    // Shows the icon for `window`, which receives its callback messages, in the state last
    // given to ShowTrayIcon.
    void Add(HWND window);
    // Any thread. Before Add only the state is kept.
    void ShowTrayIcon(int icon, const char* tip) override;
    // Puts the icon back in its current state after the taskbar was restarted.
    void AddAgain();
    // Takes the icon away; returns once the shell has been told.
    void Remove();

  private:
    struct Change {
        DWORD action;
        int icon;
        char tip[64];
    };
    void Queue(DWORD action);
    void Run();
    void Notify(const Change& change);

    HWND window_ = nullptr;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Change> changes_;
    int icon_ = 0;
    char tip_[64] = {};
    bool added_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
