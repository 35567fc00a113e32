// The virtual receiver: a named pipe whose server writes the device identity first and then
// one message per input report. Opening the pipe is the receiver arriving.

#include <string>
#include <utility>

#include "base/scoped_win32.h"
#include "base/trace.h"
#include "base/trace_win32.h"
#include "receiver/pipe_transfer_win32.h"
#include "receiver/receiver_win32.h"

namespace {

constexpr DWORD kIdentityWaitMs = 2000;

// Reads the identity message; a server that never sends it is no receiver.
bool ReadIdentity(HANDLE pipe, uint16_t* vendorId, uint16_t* productId) {
    uint8_t message[16];
    DWORD length = 0;
    bool done = TransferWithin(pipe, kIdentityWaitMs, length, [&](OVERLAPPED& overlapped) {
        return ReadFile(pipe, message, sizeof message, nullptr, &overlapped);
    });
    return done && ReadVirtualIdentity(message, length, vendorId, productId);
}

// The server may identify this program's user, never act as it.
HANDLE OpenPipeOnce() {
    return CreateFileA(kVirtualPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                       nullptr);
}

HANDLE OpenPipe() {
    HANDLE pipe = OpenPipeOnce();
    // Every instance busy: the server is about to offer the next one.
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
        WaitNamedPipeA(kVirtualPipeName, kIdentityWaitMs)) {
        pipe = OpenPipeOnce();
    }
    return pipe;
}

using GetServerSessionFunction = BOOL(WINAPI*)(HANDLE, PULONG);

// A server in another session is another logon's program, not this user's remote. Where
// Windows cannot tell (before Vista), the server is taken as it is.
bool ServedFromOwnSession(HANDLE pipe) {
    auto serverSession = reinterpret_cast<GetServerSessionFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNamedPipeServerSessionId")));
    if (serverSession == nullptr) {
        return true;
    }
    ULONG server = 0;
    DWORD own = 0;
    return serverSession(pipe, &server) && ProcessIdToSessionId(GetCurrentProcessId(), &own) &&
           server == own;
}

}  // namespace

bool FindReceiver(AcceptedReceivers accepted, ReceiverHandles& found) {
    ScopedHandle pipe(OpenPipe());
    if (!pipe) {
        TraceLastError((std::string("opening the virtual receiver ") + kVirtualPipeName).c_str());
        return false;
    }
    if (!ServedFromOwnSession(pipe.get())) {
        Trace("virtual receiver: served from another session, not taken");
        return false;
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    uint16_t vendorId = 0, productId = 0;
    if (!ReadIdentity(pipe.get(), &vendorId, &productId)) {
        Trace("virtual receiver: no identity within %lu ms", kIdentityWaitMs);
        return false;
    }
    bool taken = IsReceiverIdentity(vendorId, productId, accepted);
    Trace("virtual receiver: vendor %04X product %04X: %s", vendorId, productId,
          taken ? "taken" : "not accepted");
    if (!taken) {
        return false;
    }
    found.Close();
    found.readHandle = std::move(pipe);
    found.inputReportLength = kVirtualReportSize;
    return true;
}
