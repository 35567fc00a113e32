#pragma once
// One overlapped read or write on the virtual receiver's pipe that gives up after a timeout.

#include <windows.h>

#include "base/scoped_win32.h"

// `start` begins the transfer on the OVERLAPPED it is given (ReadFile or WriteFile) and returns
// what that returned. A transfer still pending after timeoutMs is cancelled and finished before
// this returns, so the caller's buffer is free again. True when it completed in time;
// `transferred` is its byte count.
template <typename Start>
bool TransferWithin(HANDLE pipe, DWORD timeoutMs, DWORD& transferred, Start start) {
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        return false;
    }
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event.get();
    bool done = start(overlapped) || GetLastError() == ERROR_IO_PENDING;
    if (done && WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &overlapped);
        done = false;
    }
    return GetOverlappedResult(pipe, &overlapped, &transferred, TRUE) && done;
}
