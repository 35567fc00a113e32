#pragma once
// End-to-end test helpers: the built programs started as processes in a test folder, their
// windows and message boxes found by name, everything waited for with a deadline.

#include <windows.h>

#include <string>

#include "testing/message_pump_win32.h"

// A folder of the build tree as a Windows path ending in a backslash (the build tree is on
// Wine's Z: drive).
inline std::string BuildFolder(const char* sub) {
    std::string folder = std::string("Z:") + TW_BUILD_DIR + "/" + sub + "/";
    for (char& c : folder) {
        if (c == '/') {
            c = '\\';
        }
    }
    return folder;
}

// The build folder's bin-virtual/: the programs with the virtual receiver.
inline std::string VirtualProgramsFolder() {
    return BuildFolder("bin-virtual");
}

// Copies a program of bin-virtual/ (or of `from`) into `folder`; both end in a backslash.
inline bool CopyProgram(const char* program, const std::string& folder,
                        const std::string& from = VirtualProgramsFolder()) {
    return CopyFileA((from + program).c_str(), (folder + program).c_str(), FALSE) != 0;
}

// A started program; ended (if still running) when the object goes.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }

    bool Start(const std::string& program, const std::string& arguments,
               const std::string& folder) {
        Kill();
        std::string commandLine =
            "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &started)) {
            return false;
        }
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        return true;
    }

    // True when the process ended within the time; its exit code is then in *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) {
        if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
            return false;
        }
        if (exitCode != nullptr) {
            GetExitCodeProcess(process_, exitCode);
        }
        return true;
    }

    bool IsRunning() const {
        return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
    }

    void Kill() {
        if (process_ != nullptr) {
            if (IsRunning()) {
                TerminateProcess(process_, 1);
                WaitForSingleObject(process_, 5000);
            }
            CloseHandle(process_);
            process_ = nullptr;
        }
    }

    HANDLE handle() const { return process_; }

  private:
    HANDLE process_ = nullptr;
};

// Has the process load a DLL, by name or by path, as the system libraries it calls load theirs
// later; true when a DLL was found and loaded. A thread of the test's in that process calls
// LoadLibraryA, which kernel32 has at the same address in every process.
inline bool ProcessLoadsDll(HANDLE process, const std::string& dll) {
    SIZE_T size = dll.size() + 1;
    void* name = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (name == nullptr) {
        return false;
    }
    DWORD module = 0;
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    if (WriteProcessMemory(process, name, dll.c_str(), size, nullptr)) {
        HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, name, 0, nullptr);
        if (thread != nullptr) {
            WaitForSingleObject(thread, 10000);
            GetExitCodeThread(thread, &module);
            CloseHandle(thread);
        }
    }
    VirtualFreeEx(process, name, 0, MEM_RELEASE);
    return module != 0 && module != STILL_ACTIVE;
}

// A DLL that someone dropped beside the programs, under a name no system folder holds; false
// when it cannot be put there.
inline bool PlantDll(const std::string& folder, const char* name) {
    return CopyFileA((BuildFolder("planted") + "hid.dll").c_str(), (folder + name).c_str(),
                     FALSE) != FALSE;
}

// A window with the given title, standing for a media application or one of WandEdit's
// windows.
class NamedWindow {
  public:
    explicit NamedWindow(const char* title) {
        window_ = CreateWindowA("STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    }
    ~NamedWindow() { Destroy(); }
    void Destroy() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }

  private:
    HWND window_;
};

inline HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = 10000) {
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindWindowA(className, title)) != nullptr; }, timeoutMs);
    return found;
}

inline bool WaitForNoWindow(const char* className, const char* title, DWORD timeoutMs = 10000) {
    return PumpUntil([&] { return FindWindowA(className, title) == nullptr; }, timeoutMs);
}

// A dialog is found by its caption before its controls exist and before WM_INITDIALOG has
// filled them: these wait for the control, and for it to hold text.
inline HWND WaitForDialogItem(HWND dialog, int id, DWORD timeoutMs = 10000) {
    HWND item = nullptr;
    PumpUntil([&] { return (item = GetDlgItem(dialog, id)) != nullptr; }, timeoutMs);
    return item;
}
inline std::string DialogItemText(HWND dialog, int id, DWORD timeoutMs = 10000) {
    char text[512] = {};
    PumpUntil([&] { return GetDlgItemTextA(dialog, id, text, sizeof text) > 0; }, timeoutMs);
    return text;
}

// The text of a message box: its static control (id 0xFFFF).
inline std::string MessageBoxText(HWND box) {
    return DialogItemText(box, 0xFFFF);
}

// Returns the text of this message box, answers it with `button` and waits until it is gone.
inline bool AnswerMessageBox(HWND box, std::string* text, int button = IDOK,
                             DWORD timeoutMs = 10000) {
    if (text != nullptr) {
        *text = MessageBoxText(box);
    }
    PostMessageA(box, WM_COMMAND, button, 0);
    return PumpUntil([box] { return !IsWindow(box); }, timeoutMs);
}

// Waits for a message box with this caption, returns its text and answers it with `button`.
inline bool AnswerMessageBox(const char* caption, std::string* text, int button = IDOK,
                             DWORD timeoutMs = 10000) {
    HWND box = WaitForWindow("#32770", caption, timeoutMs);
    if (box == nullptr) {
        return false;
    }
    return AnswerMessageBox(box, text, button, timeoutMs) &&
           WaitForNoWindow("#32770", caption, timeoutMs);
}

// Waits until no process holds the named mutex any more: a program whose window is gone may
// still be ending, and while it holds its single-instance mutex a new start ends at once.
inline bool WaitForMutexGone(const char* name, DWORD timeoutMs = 10000) {
    return PumpUntil(
        [name] {
            HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
            if (mutex == nullptr) {
                return true;
            }
            CloseHandle(mutex);
            return false;
        },
        timeoutMs);
}

// Deletes a registry key below HKEY_LOCAL_MACHINE with everything under it.
inline void DeleteMachineKey(const char* key) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
}
