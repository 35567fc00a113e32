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

HANDLE OpenPipe() {
    HANDLE pipe = CreateFileA(kVirtualPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    // Every instance busy: the server is about to offer the next one.
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
        WaitNamedPipeA(kVirtualPipeName, kIdentityWaitMs)) {
        pipe = CreateFileA(kVirtualPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    }
    return pipe;
}

}  // namespace

bool FindReceiver(AcceptedReceivers accepted, ReceiverHandles& found) {
    ScopedHandle pipe(OpenPipe());
    if (!pipe) {
        TraceLastError((std::string("opening the virtual receiver ") + kVirtualPipeName).c_str());
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
