#pragma once
// The desktop through the real window and process functions.

#include <windows.h>

#include <string>

#include "tellwand/desktop.h"

class Win32Desktop : public Desktop {
  public:
    WindowHandle FindWindowByName(const char* className, const char* title) override;
    void EnableAndPostMessage(WindowHandle window, uint32_t message) override;
    bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;
    bool StartProgram(const std::string& commandLine) override;
    void Sleep(uint32_t milliseconds) override;
};

enum class StartedWindow {
    kShown,   // the media applications: window shown normally on the interactive desktop
    kHidden,  // WandEdit: its main window starts hidden
};

// Starts the command line and keeps only the process: the thread handle is closed at once.
// Returns the process handle for the caller to close, or null when the start failed.
HANDLE StartProcess(const std::string& commandLine, StartedWindow window);
