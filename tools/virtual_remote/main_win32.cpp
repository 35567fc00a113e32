// VirtualRemote.exe: the virtual receiver's server with the remote's picture, or a script
// for unattended runs. Run with --help for the script's commands.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/virtual_remote/remote_receiver_win32.h"
#include "tools/virtual_remote/remote_script.h"
#include "tools/virtual_remote/remote_window_win32.h"
#include "tools/virtual_remote/script_runner_win32.h"

namespace {

// A window program has no console of its own: write to the one it was started from, unless
// its error output was handed to it already.
void UseParentConsoleForErrors() {
    if (GetStdHandle(STD_ERROR_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stderr);
        std::freopen("CONOUT$", "w", stdout);
    }
}

// The build puts the virtual HID device's tool and drivers in virtual_hid\ beside bin-virtual\.
std::wstring VirtualHidFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length < MAX_PATH ? length : 0);
    std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"virtual_hid";
}

int RunWithWindow(HINSTANCE instance, RemoteReceiver& receiver, const RemoteOptions& options,
                  const std::vector<RemoteStep>& steps) {
    RemoteWindow window(receiver);
    if (!window.Create(instance)) {
        std::fprintf(stderr, "VirtualRemote: cannot create the window\n");
        return kScriptFailed;
    }
    std::thread script;
    if (options.hasScript) {
        HWND handle = window.handle();
        script = std::thread([&receiver, &steps, &window, handle] {
            int result = RunRemoteScript(steps, receiver,
                                         [&window](const RemoteReport& r) { window.ShowSent(r); });
            PostMessageA(handle, kScriptDoneMessage, static_cast<WPARAM>(result), 0);
        });
    }
    MSG message;
    int exitCode = 0;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    exitCode = static_cast<int>(message.wParam);
    if (script.joinable()) {
        script.join();
    }
    return exitCode;
}

int RunWithoutWindow(RemoteReceiver& receiver, const RemoteOptions& options,
                     const std::vector<RemoteStep>& steps) {
    if (!options.hasScript) {
        Sleep(INFINITE);  // a bare receiver, until the process is ended
    }
    return RunRemoteScript(steps, receiver, [](const RemoteReport&) {});
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    UseParentConsoleForErrors();
    std::vector<std::string> arguments(__argv + 1, __argv + __argc);
    RemoteOptions options;
    std::vector<RemoteStep> steps;
    std::string error;
    if (!ParseRemoteOptions(arguments, &options, &error) ||
        !ParseRemoteScript(options.script, &steps, &error)) {
        std::fprintf(stderr, "VirtualRemote: %s\n\n%s", error.c_str(), kRemoteScriptHelp);
        return kScriptWrong;
    }
    if (options.help) {
        std::fputs(kRemoteScriptHelp, stdout);
        return 0;
    }
    std::unique_ptr<RemoteReceiver> receiver =
        options.hid ? MakeHidReceiver(options.productId, VirtualHidFolder())
                    : MakePipeReceiver(options.productId);
    std::string failure = receiver->Plug();
    if (!failure.empty()) {
        std::fprintf(stderr, "VirtualRemote: %s\n", failure.c_str());
        return kScriptFailed;
    }
    int exitCode = options.showWindow ? RunWithWindow(instance, *receiver, options, steps)
                                      : RunWithoutWindow(*receiver, options, steps);
    receiver->Unplug();
    return exitCode;
}
