#include "tools/virtual_remote/script_runner_win32.h"

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kClientsDeadlineMs = 10000;

int WaitForClients(RemoteReceiver& receiver, int count) {
    if (receiver.WaitForClients(count, kClientsDeadlineMs)) {
        return 0;
    }
    int connected = receiver.ClientCount();
    if (connected < 0) {
        std::fprintf(stderr, "VirtualRemote: a HID device cannot tell who reads it: use wait\n");
    } else {
        std::fprintf(stderr, "VirtualRemote: %d of %d clients connected within %lu s\n", connected,
                     count, kClientsDeadlineMs / 1000);
    }
    return kScriptFailed;
}

int RunStep(const RemoteStep& step, RemoteReceiver& receiver,
            const std::function<void(const RemoteReport&)>& sent) {
    switch (step.kind) {
        case RemoteStep::Kind::SendReport:
            receiver.Send(step.report);
            sent(step.report);
            return 0;
        case RemoteStep::Kind::Wait:
            Sleep(static_cast<DWORD>(step.amount));
            return 0;
        case RemoteStep::Kind::WaitForClients:
            return WaitForClients(receiver, step.amount);
        case RemoteStep::Kind::Unplug:
            receiver.Unplug();
            return 0;
        case RemoteStep::Kind::Plug: {
            std::string failure = receiver.Plug();
            if (!failure.empty()) {
                std::fprintf(stderr, "VirtualRemote: %s\n", failure.c_str());
                return kScriptFailed;
            }
            return 0;
        }
    }
    return 0;
}

}  // namespace

int RunRemoteScript(const std::vector<RemoteStep>& steps, RemoteReceiver& receiver,
                    const std::function<void(const RemoteReport&)>& sent) {
    for (const RemoteStep& step : steps) {
        int result = RunStep(step, receiver, sent);
        if (result != 0) {
            return result;
        }
    }
    return 0;
}
