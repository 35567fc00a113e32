#pragma once
// One overlapped read or write on the virtual receiver's pipe that gives up after a timeout.

#include <windows.h>

// `start` begins the transfer on the OVERLAPPED it is given (ReadFile or WriteFile) and returns
// what that returned. A transfer still pending after timeoutMs is cancelled and finished before
// this returns, so the caller's buffer is free again. True when it completed in time;
// `transferred` is its byte count.
template <typename Start>
bool TransferWithin(HANDLE pipe, DWORD timeoutMs, DWORD& transferred, Start start) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr) {
        return false;
    }
    bool done = start(overlapped) || GetLastError() == ERROR_IO_PENDING;
    if (done && WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &overlapped);
        done = false;
    }
    done = GetOverlappedResult(pipe, &overlapped, &transferred, TRUE) && done;
    CloseHandle(overlapped.hEvent);
    return done;
}
