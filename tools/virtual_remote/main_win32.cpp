// VirtualRemote.exe: the virtual receiver's server with the remote's picture, or a script
// for unattended runs. Run with --help for the script's commands.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
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

int RunWithWindow(HINSTANCE instance, VirtualReceiverServer& server, const RemoteOptions& options,
                  const std::vector<RemoteStep>& steps) {
    RemoteWindow window(server);
    if (!window.Create(instance)) {
        std::fprintf(stderr, "VirtualRemote: cannot create the window\n");
        return kScriptFailed;
    }
    std::thread script;
    if (options.hasScript) {
        HWND handle = window.handle();
        script = std::thread([&server, &steps, &window, handle] {
            int result = RunRemoteScript(steps, server,
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

int RunWithoutWindow(VirtualReceiverServer& server, const RemoteOptions& options,
                     const std::vector<RemoteStep>& steps) {
    if (!options.hasScript) {
        Sleep(INFINITE);  // a bare receiver, until the process is ended
    }
    return RunRemoteScript(steps, server, [](const RemoteReport&) {});
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
    VirtualReceiverServer server(kReceiverVendorId, options.productId);
    if (!server.Plug()) {
        std::fprintf(stderr, "VirtualRemote: cannot open the receiver pipe\n");
        return kScriptFailed;
    }
    int exitCode = options.showWindow ? RunWithWindow(instance, server, options, steps)
                                      : RunWithoutWindow(server, options, steps);
    server.Unplug();
    return exitCode;
}
