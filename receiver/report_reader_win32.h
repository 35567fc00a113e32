#pragma once
// The reader thread: one overlapped read at a time on the receiver, each completed report
// handed to a handler on the reader's own thread.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "base/scoped_win32.h"

class ReportReader {
  public:
    // Called on the reader thread for every completed read, with the report bytes.
    using Handler = std::function<void(uint8_t* report, DWORD length)>;

    // Called on the reader thread when reading ends because the receiver went away (never
    // after Stop), so whatever its reports left held down can be let go at once.
    using LostHandler = std::function<void()>;

    explicit ReportReader(Handler handler, LostHandler onLost = nullptr);
    ~ReportReader();
    ReportReader(const ReportReader&) = delete;
    ReportReader& operator=(const ReportReader&) = delete;

    // Takes ownership of `readHandle` and starts reading; a running reader is stopped first.
    bool Start(HANDLE readHandle, DWORD reportLength);
    // Stops the thread and waits for it: afterwards the handler is never called again.
    void Stop();
    // The thread is still reading (it ends by itself when a read fails: the receiver left).
    bool IsReading() const;

  private:
    void Run();
    bool StartRead();

    Handler handler_;
    LostHandler onLost_;
    ScopedHandle readHandle_;
    // Each reader has its own unnamed read event: a shared one would let another reader's
    // ResetEvent swallow our completion.
    ScopedHandle readEvent_;
    ScopedHandle stopEvent_;
    ScopedHandle finishedEvent_;
    OVERLAPPED overlapped_ = {};
    std::vector<uint8_t> report_;
    std::thread thread_;
};
