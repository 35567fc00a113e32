// The least a reader of the virtual receiver can do: read each report on a thread, exactly as
// the programs read it (overlapped, message mode), and turn a button report into one
// keybd_event. The latency bench measures this as the floor under Tellwand's figures.

#include <windows.h>

#include <cstdint>
#include <thread>

#include "receiver/receiver_identity.h"

namespace {

constexpr BYTE kFloorKey = '1';  // the key the benchmarked table sends

HANDLE OpenReceiver() {
    HANDLE pipe = CreateFileA(kVirtualPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        return pipe;
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    return pipe;
}

// One message; false when the receiver is gone.
bool ReadMessage(HANDLE pipe, HANDLE event, uint8_t (&message)[8], DWORD& length) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event;
    ResetEvent(event);
    if (!ReadFile(pipe, message, sizeof message, nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    WaitForSingleObject(event, INFINITE);
    return GetOverlappedResult(pipe, &overlapped, &length, FALSE) != 0;
}

void ReadReports(HANDLE pipe) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    uint8_t message[8] = {};
    DWORD length = 0;
    bool identified = false;  // the first message is the device identity
    while (event != nullptr && ReadMessage(pipe, event, message, length)) {
        if (identified && length == kVirtualReportSize && message[1] == kButtonReport) {
            keybd_event(kFloorKey, 0, message[2] != 0 ? KEYEVENTF_KEYUP : 0, 0);
        }
        identified = true;
    }
    if (event != nullptr) {
        CloseHandle(event);
    }
}

}  // namespace

int main() {
    HANDLE pipe = OpenReceiver();
    if (pipe == INVALID_HANDLE_VALUE) {
        return 1;
    }
    std::thread reader(ReadReports, pipe);
    reader.join();
    CloseHandle(pipe);
    return 0;
}
