#pragma once
// Runs a parsed script against the receiver the remote drives.

#include <functional>
#include <vector>

#include "tools/virtual_remote/remote_receiver_win32.h"
#include "tools/virtual_remote/remote_script.h"

constexpr int kScriptFailed = 1;
constexpr int kScriptWrong = 2;

// Runs the steps in order; returns 0, or kScriptFailed (with a message on stderr) when clients
// do not connect in time or the receiver cannot come back. `sent` hears every report written.
int RunRemoteScript(const std::vector<RemoteStep>& steps, RemoteReceiver& receiver,
                    const std::function<void(const RemoteReport&)>& sent);
