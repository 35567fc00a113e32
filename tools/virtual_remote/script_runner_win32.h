#pragma once
// Runs a parsed script against the virtual receiver's server.

#include <functional>
#include <vector>

#include "receiver/virtual_receiver_server_win32.h"
#include "tools/virtual_remote/remote_script.h"

constexpr int kScriptFailed = 1;
constexpr int kScriptWrong = 2;

int SendRemoteReport(VirtualReceiverServer& server, const RemoteReport& report);

// Runs the steps in order; returns 0, or kScriptFailed (with a message on stderr) when clients
// do not connect in time or the pipe cannot be opened. `sent` hears every report written.
int RunRemoteScript(const std::vector<RemoteStep>& steps, VirtualReceiverServer& server,
                    const std::function<void(const RemoteReport&)>& sent);
