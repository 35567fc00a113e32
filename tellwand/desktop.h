#pragma once
// The other programs' windows and the starting of programs, as the dispatcher needs them.

#include <cstdint>
#include <string>

// A top-level window; an HWND on Windows, carried as an integer so the core stays portable.
using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

constexpr uint32_t kMessageClose = 0x0010;  // WM_CLOSE
constexpr uint32_t kMessageQuit = 0x0012;   // WM_QUIT

class Desktop {
  public:
    virtual ~Desktop() = default;
    // FindWindowA: a null class or title matches any; kNoWindow when there is none.
    virtual WindowHandle FindWindowByName(const char* className, const char* title) = 0;
    // EnableWindow(TRUE), then PostMessageA of `message` with wParam and lParam 0, without
    // waiting: enabling the window of a program that stopped answering waits for that program,
    // which then gets both, in order, once it answers again.
    virtual void EnableAndPostMessage(WindowHandle window, uint32_t message) = 0;
    // PostMessageA; false when the message could not be posted.
    virtual bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) = 0;
    // CreateProcessA with this command line, the program's window shown normally; false when
    // the program could not be started. Nothing of the started process is kept.
    virtual bool StartProgram(const std::string& commandLine) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};
