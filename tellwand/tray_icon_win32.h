#pragma once
// The notification-area icon. Every change goes to the shell from a thread of its own,
// in order: the shell takes milliseconds per change, which the reader must not wait for, and
// our window thread must not wait on the shell while the shell may be sending to it. A change
// of state waits a moment before it goes, so that the shell's work does not compete with the
// keys of the report that caused it, and so that a burst of reports is folded.

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "tellwand/tray_changes.h"
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
    void Queue(TrayChange::Action action);
    void Run();
    void Notify(HWND window, const TrayChange& change);

    // Guards every member below it but thread_: written by any caller, read by the icon
    // thread, which copies what it needs and lets go of the lock before it calls the shell.
    std::mutex mutex_;
    std::condition_variable wake_;  // the icon thread waits on it for changes or the stop
    HWND window_ = nullptr;
    TrayChangeQueue changes_;
    int icon_ = 0;  // the state last given, which the next change carries
    char tip_[kTrayTipSize] = {};
    bool added_ = false;
    bool stopping_ = false;
    bool waitingForChanges_ = false;  // the icon thread sleeps until woken

    // Started by Add and joined by Remove, both on the window thread.
    std::thread thread_;
};
