#pragma once
// The notification-area icon. Every change goes to the shell from a thread of its own,
// in order: the shell takes milliseconds per change, which the reader must not wait for, and
// our window thread must not wait on the shell while the shell may be sending to it. When
// each change goes is decided by TrayChangeQueue; the thread sleeps until then, and sleeps for
// good while nothing is due.

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
    // given to ShowTrayState.
    void Add(HWND window);
    // Any thread. Before Add only the state is kept.
    void ShowTrayState(TrayState state) override;
    // Reader thread: around each report that is acted upon, for "Got you!".
    void ReportBegins();
    void ReportEnds();
    // Puts the icon back in its current state after the taskbar was restarted.
    void AddAgain();
    // Takes the icon away; returns once the shell has been told.
    void Remove();

  private:
    void WakeIfDueSooner();
    void Run();
    void Notify(HWND window, const TrayChange& change);

    // Guards every member below it but thread_: written by any caller, read by the icon
    // thread, which copies what it needs and lets go of the lock before it calls the shell.
    std::mutex mutex_;
    std::condition_variable wake_;  // the icon thread waits on it for changes or the stop
    HWND window_ = nullptr;
    TrayChangeQueue changes_;
    bool added_ = false;
    bool stopping_ = false;
    // When the icon thread looks at the queue next: no wake is needed for anything due later.
    TrayTime threadLooksAt_ = TrayTime::min();

    // Started by Add and joined by Remove, both on the window thread.
    std::thread thread_;
};
