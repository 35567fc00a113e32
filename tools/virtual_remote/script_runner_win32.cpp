#include "tools/virtual_remote/script_runner_win32.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD kClientsDeadlineMs = 10000;

int RunStep(const RemoteStep& step, VirtualReceiverServer& server,
            const std::function<void(const RemoteReport&)>& sent) {
    switch (step.kind) {
        case RemoteStep::Kind::SendReport:
            SendRemoteReport(server, step.report);
            sent(step.report);
            return 0;
        case RemoteStep::Kind::Wait:
            Sleep(static_cast<DWORD>(step.amount));
            return 0;
        case RemoteStep::Kind::WaitForClients:
            if (!server.WaitForClients(step.amount, kClientsDeadlineMs)) {
                std::fprintf(stderr, "VirtualRemote: %d of %d clients connected within %lu s\n",
                             server.ClientCount(), step.amount, kClientsDeadlineMs / 1000);
                return kScriptFailed;
            }
            return 0;
        case RemoteStep::Kind::Unplug:
            server.Unplug();
            return 0;
        case RemoteStep::Kind::Plug:
            if (!server.Plug()) {
                std::fprintf(stderr, "VirtualRemote: cannot open the receiver pipe\n");
                return kScriptFailed;
            }
            return 0;
    }
    return 0;
}

}  // namespace

int RunRemoteScript(const std::vector<RemoteStep>& steps, VirtualReceiverServer& server,
                    const std::function<void(const RemoteReport&)>& sent) {
    for (const RemoteStep& step : steps) {
        int result = RunStep(step, server, sent);
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

int SendRemoteReport(VirtualReceiverServer& server, const RemoteReport& report) {
    uint8_t bytes[5];
    std::copy(report.begin(), report.end(), bytes);
    return server.SendReport(bytes);
}
