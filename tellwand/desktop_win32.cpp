#include "tellwand/desktop_win32.h"

#include <memory>
#include <vector>

#include "base/scoped_win32.h"
#include "base/trace.h"
#include "base/trace_win32.h"

namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

STARTUPINFOA StartupInfoFor(StartedWindow window) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (window == StartedWindow::kHidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    } else {
        // Only the desktop and the show value are set; dwFlags stays 0 as the applications
        // expect to be started.
        static char interactiveDesktop[] = "WinSta0\\Default";
        startup.lpDesktop = interactiveDesktop;
        startup.wShowWindow = SW_SHOWNORMAL;
    }
    return startup;
}

struct EnableAndPost {
    HWND window;
    UINT message;
};

// A thread of its own per request: the only one to wait when the program does not answer.
DWORD WINAPI EnableThenPost(void* parameter) {
    std::unique_ptr<EnableAndPost> request(static_cast<EnableAndPost*>(parameter));
    EnableWindow(request->window, TRUE);
    if (!PostMessageA(request->window, request->message, 0, 0)) {
        TraceLastError("PostMessageA of the closing message");
    }
    return 0;
}

}  // namespace

WindowHandle Win32Desktop::FindWindowByName(const char* className, const char* title) {
    return reinterpret_cast<WindowHandle>(FindWindowA(className, title));
}

void Win32Desktop::EnableAndPostMessage(WindowHandle window, uint32_t message) {
    auto request = std::make_unique<EnableAndPost>(EnableAndPost{ToHwnd(window), message});
    ScopedHandle thread(CreateThread(nullptr, 0, EnableThenPost, request.get(), 0, nullptr));
    if (!thread) {
        // The message still goes; only the enabling, which could wait, is left out.
        PostMessageA(ToHwnd(window), message, 0, 0);
        return;
    }
    request.release();  // the thread's now
}

bool Win32Desktop::PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) {
    return PostMessageA(ToHwnd(window), message, wParam, lParam) != FALSE;
}

bool Win32Desktop::StartProgram(const std::string& commandLine) {
    ScopedHandle process(StartProcess(commandLine, StartedWindow::kShown));
    return process.valid();
}

void Win32Desktop::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

HANDLE StartProcess(const std::string& commandLine, StartedWindow window) {
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back('\0');
    STARTUPINFOA startup = StartupInfoFor(window);
    PROCESS_INFORMATION process = {};
    Trace("starting %s", commandLine.c_str());
    if (!CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        TraceLastError("CreateProcessA");
        return nullptr;
    }
    Trace("started: process %lu", process.dwProcessId);
    ScopedHandle unusedThread(process.hThread);
    return process.hProcess;
}
