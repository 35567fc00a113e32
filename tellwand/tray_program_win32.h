#pragma once
// Tellwand as a program: the hidden window, the tray icon and its menu, the receiver and its
// reader thread, and Tellwand's side of the conversation with WandEdit.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "base/scoped_win32.h"
#include "config/file_system_win32.h"
#include "config/ini_paths.h"
#include "config/profile_store_win32.h"
#include "config/registry_win32.h"
#include "keyseq/input_win32.h"
#include "receiver/report_reader_win32.h"
#include "tellwand/desktop_win32.h"
#include "tellwand/dispatcher.h"
#include "tellwand/menu_texts.h"
#include "tellwand/osd_sender_win32.h"
#include "tellwand/tray_icon_win32.h"

class TrayProgram {
  public:
    explicit TrayProgram(HINSTANCE instance);
    TrayProgram(const TrayProgram&) = delete;
    TrayProgram& operator=(const TrayProgram&) = delete;

    // Runs Tellwand to its end; the process exit code.
    int Run();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool RegisterWindowClass();
    void SetUp();
    std::string EditorTraceSwitch() const;
    void StartEditor(const std::string& arguments);
    bool IsEditorRunning() const;
    HWND FindEditorWindow() const;
    enum class ReaderRestart { kAlways, kIfStopped };
    enum class MissingReceiver { kWarn, kQuiet };
    void Connect(ReaderRestart restart, MissingReceiver missing);
    void WarnReceiverMissing();
    bool StartReadingFoundReceiver(bool restart);

    void ShowMenu();
    void OnCommand(int command);
    void OpenEditor();
    void OnDeviceChange(WPARAM event, LPARAM header);
    void OnPowerBroadcast(WPARAM event);
    void SearchAgainQuietly();
    void OnClose();

    void OnReport(uint8_t* report, DWORD length);

    // Window thread only (the thread of Run and of the window's messages).
    HINSTANCE instance_;
    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    std::string folder_;
    const MenuTexts* menuTexts_ = nullptr;
    ScopedHandle editorProcess_;
    ScopedDeviceNotification deviceNotification_;  // released by the end of Run

    // Written by the window thread on WM_CREATE, before the reader starts; the dispatcher
    // reads it on both threads.
    IniPaths paths_;

    // Written by the window thread when WandEdit announces its OSD, read by the reader.
    std::atomic<HWND> osdWindow_{nullptr};
    // Window thread only.
    bool warningShown_ = false;
    bool disabledByUser_ = false;
    bool openEditorOwed_ = false;   // Open Editor came while WandEdit had no window to restore
    bool resumeSearchOwed_ = true;  // no search yet for the current wake
    DWORD lastResumeSearch_ = 0;

    // Without state of their own: the dispatcher calls them from both threads.
    Win32Input input_;
    Win32Desktop desktop_;
    Win32ProfileStore profiles_;
    Win32Registry registry_;
    Win32FileSystem files_;
    // Each of these says in its own header which thread may call what.
    ShellTrayIcon tray_;     // any thread; Add, AddAgain and Remove on the window thread
    Dispatcher dispatcher_;  // DispatchReport on the reader, the rest on the window thread
    OsdSender osdSender_;    // Send on the reader, Start and Stop on the window thread
    ReportReader reader_;    // Start and Stop on the window thread; calls OnReport on its own
};
