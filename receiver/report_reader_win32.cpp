#include "receiver/report_reader_win32.h"

#include <algorithm>
#include <utility>

#include "base/trace.h"
#include "base/trace_win32.h"

ReportReader::ReportReader(Handler handler, LostHandler onLost)
    : handler_(std::move(handler)), onLost_(std::move(onLost)) {}

ReportReader::~ReportReader() {
    Stop();
}

bool ReportReader::Start(HANDLE readHandle, DWORD reportLength) {
    Stop();
    readHandle_.Reset(readHandle);
    readEvent_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    stopEvent_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    finishedEvent_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!readEvent_ || !stopEvent_ || !finishedEvent_) {
        Stop();
        return false;
    }
    // A report shorter than the five bytes the handlers look at is padded with zeros.
    report_.assign(std::max<DWORD>(reportLength, 5), 0);
    Trace("reader starts: reports of %lu bytes", reportLength);
    thread_ = std::thread(&ReportReader::Run, this);
    return true;
}

void ReportReader::Stop() {
    if (thread_.joinable()) {
        SetEvent(stopEvent_.get());
        thread_.join();
    }
    for (ScopedHandle* handle : {&readEvent_, &stopEvent_, &finishedEvent_, &readHandle_}) {
        handle->Reset();
    }
}

bool ReportReader::IsReading() const {
    return thread_.joinable() && WaitForSingleObject(finishedEvent_.get(), 0) == WAIT_TIMEOUT;
}

bool ReportReader::StartRead() {
    ResetEvent(readEvent_.get());
    overlapped_ = {};
    overlapped_.hEvent = readEvent_.get();
    return ReadFile(readHandle_.get(), report_.data(), static_cast<DWORD>(report_.size()), nullptr,
                    &overlapped_) ||
           GetLastError() == ERROR_IO_PENDING;
}

void ReportReader::Run() {
    HANDLE waits[] = {stopEvent_.get(), readEvent_.get()};
    bool stopped = false;
    bool reading = StartRead();
    if (!reading) {
        TraceLastError("reader: ReadFile");
    }
    while (reading) {
        DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 + 1) {
            // Stopped (or the wait failed): take back the pending read before the buffer goes.
            CancelIoEx(readHandle_.get(), &overlapped_);
            DWORD ignored = 0;
            GetOverlappedResult(readHandle_.get(), &overlapped_, &ignored, TRUE);
            stopped = true;
            break;
        }
        // The read event is ours alone, so it is set only when our read has completed.
        DWORD length = 0;
        if (!GetOverlappedResult(readHandle_.get(), &overlapped_, &length, FALSE)) {
            // The receiver is gone: nothing more to read until it is found again.
            TraceLastError("reader: the read");
            break;
        }
        handler_(report_.data(), length);
        // A stale type byte must never be dispatched twice.
        std::fill(report_.begin() + 1, report_.begin() + 5, 0);
        reading = StartRead();
        if (!reading) {
            TraceLastError("reader: ReadFile");
        }
    }
    Trace("reader ends%s", stopped ? ": stopped" : "");
    if (!stopped && onLost_) {
        onLost_();
    }
    SetEvent(finishedEvent_.get());
}
