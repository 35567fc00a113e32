#include "base/trace_win32.h"

#include <shlobj.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

#include "base/scoped_win32.h"
#include "base/trace.h"

namespace {

constexpr std::size_t kLineSize = 600;
constexpr char kTraceFolder[] = "VELQ Tellwand";
// Lines waiting for the disk beyond this are dropped (and counted) rather than held.
constexpr std::size_t kPendingLimit = 256 * 1024;

HANDLE OpenForAppending(const std::string& path, DWORD creation) {
    return CreateFileA(path.c_str(), FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

class TraceWriter {
  public:
    bool Open(const std::string& path, std::size_t cap) {
        Stop();
        ScopedHandle file(OpenForAppending(path, OPEN_ALWAYS));
        LARGE_INTEGER size = {};
        if (!file || !GetFileSizeEx(file.get(), &size)) {
            return false;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        file_ = std::move(file);
        path_ = path;
        cap_ = cap;
        size_ = static_cast<unsigned long long>(size.QuadPart);
        stopping_ = false;
        dropped_ = 0;
        thread_ = std::thread(&TraceWriter::Run, this);
        return true;
    }

    void Append(const char* line, std::size_t length) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!thread_.joinable()) {
                return;
            }
            if (pending_.size() + length > kPendingLimit) {
                ++dropped_;
                return;
            }
            pending_.append(line, length);
        }
        wake_.notify_one();
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!thread_.joinable()) {
                return;
            }
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
        std::lock_guard<std::mutex> lock(mutex_);
        thread_ = std::thread();
        file_.Reset();
        path_.clear();
    }

    std::string Path() {
        std::lock_guard<std::mutex> lock(mutex_);
        return path_;
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !pending_.empty() || stopping_; });
            std::string chunk;
            chunk.swap(pending_);
            std::size_t dropped = std::exchange(dropped_, 0);
            bool stopping = stopping_;
            lock.unlock();
            if (dropped > 0) {
                char note[80];
                int length =
                    std::snprintf(note, sizeof note, "(%u lines dropped: the disk fell behind)\r\n",
                                  static_cast<unsigned>(dropped));
                chunk.insert(0, note, static_cast<std::size_t>(length));
            }
            Write(chunk);
            lock.lock();
            if (stopping && pending_.empty()) {
                return;
            }
        }
    }

    // Writer thread only: the file and its size are not touched elsewhere while it runs. A
    // chunk gathered while the disk was slow may be larger than the room left, or than a whole
    // file: it goes in whole lines, as many as fit, before each next file.
    void Write(const std::string& chunk) {
        std::size_t start = 0;
        while (start < chunk.size()) {
            std::size_t room = size_ < cap_ ? static_cast<std::size_t>(cap_ - size_) : 0;
            std::size_t end = EndOfLinesThatFit(chunk, start, room);
            if (end == start && size_ > 0) {
                StartNextFile();
                continue;
            }
            if (end == start) {  // one line longer than a whole file goes alone
                std::size_t newline = chunk.find('\n', start);
                end = newline == std::string::npos ? chunk.size() : newline + 1;
            }
            WriteBytes(chunk.data() + start, end - start);
            start = end;
        }
    }

    static std::size_t EndOfLinesThatFit(const std::string& chunk, std::size_t start,
                                         std::size_t room) {
        if (chunk.size() - start <= room) {
            return chunk.size();
        }
        std::size_t newline = room == 0 ? std::string::npos : chunk.rfind('\n', start + room - 1);
        return newline == std::string::npos || newline < start ? start : newline + 1;
    }

    void WriteBytes(const char* bytes, std::size_t length) {
        DWORD written = 0;
        if (file_ && WriteFile(file_.get(), bytes, static_cast<DWORD>(length), &written, nullptr)) {
            size_ += written;
        }
    }

    // The full file becomes ".1" (replacing an older one) and a new, empty file is begun. Should
    // the rename fail (another program holds the old ".1"), the file starts again empty, so
    // the cap holds all the same.
    void StartNextFile() {
        file_.Reset();
        std::string kept = path_ + ".1";
        bool moved = MoveFileExA(path_.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        file_.Reset(OpenForAppending(path_, moved ? OPEN_ALWAYS : CREATE_ALWAYS));
        size_ = 0;
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    std::size_t dropped_ = 0;
    bool stopping_ = false;
    std::thread thread_;
    std::string path_;
    ScopedHandle file_;
    std::size_t cap_ = kTraceFileCap;
    unsigned long long size_ = 0;
};

TraceWriter& Writer() {
    static TraceWriter writer;
    return writer;
}

void StampAndSend(const char* message, std::size_t length) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char line[kLineSize];
    int stamp = std::snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] ",
                              now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                              now.wMilliseconds, GetCurrentThreadId());
    if (stamp < 0) {
        return;
    }
    std::size_t used = static_cast<std::size_t>(stamp);
    std::size_t room = sizeof line - used - 3;  // "\r\n" and the terminator
    std::size_t copied = length < room ? length : room;
    memcpy(line + used, message, copied);
    used += copied;
    memcpy(line + used, "\r\n", 3);
    used += 2;
    OutputDebugStringA(line);
    Writer().Append(line, used);
}

bool SettingAsksForTrace() {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTraceSettingKey, 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return false;
    }
    ScopedRegistryKey key(opened);
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    return RegQueryValueExA(key.get(), kTraceSettingValue, nullptr, &type,
                            reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
           type == REG_DWORD && value == 1;
}

// "<local application data>\VELQ Tellwand\<program>.log"; empty when the system names no
// such folder.
std::string DefaultTraceFile(const char* program) {
    char folder[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder) != S_OK) {
        return "";
    }
    return std::string(folder) + "\\" + kTraceFolder + "\\" + program + ".log";
}

}  // namespace

void StartTracing(const char* program, const std::vector<std::string>& parameters) {
    SetTraceSink(StampAndSend);
    std::string defaultFile = DefaultTraceFile(program);
    std::string file = ChooseTraceFile(parameters, SettingAsksForTrace(), defaultFile);
    if (file.empty()) {
        return;
    }
    if (file == defaultFile) {
        CreateDirectoryA(file.substr(0, file.rfind('\\')).c_str(), nullptr);
    }
    if (!StartTraceFile(file)) {
        TraceLastError(("opening the trace file " + file).c_str());
    }
}

bool StartTraceFile(const std::string& path, std::size_t cap) {
    SetTraceSink(StampAndSend);
    return Writer().Open(path, cap);
}

void StopTracing() {
    Writer().Stop();
}

std::string TraceFilePath() {
    return Writer().Path();
}

void TraceLastError(const char* operation) {
    DWORD error = GetLastError();
    TraceError(operation, error);
    SetLastError(error);
}

void TraceError(const char* operation, DWORD error) {
    if (!TraceOn()) {
        return;
    }
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    // The system's texts end in a line break.
    while (length > 0 &&
           (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) {
        text[--length] = '\0';
    }
    Trace("%s failed: error %lu (0x%08lX) %s", operation, error, error,
          length > 0 ? text : "(no text for it)");
}

void TraceProgramStart(const char* program) {
    std::string file = TraceFilePath();
    Trace("%s %s (%s build) started: %s", program, TW_VERSION,
          sizeof(void*) == 8 ? "x86-64" : "x86", GetCommandLineA());
    Trace("trace file: %s", file.empty() ? "none, the debugger only" : file.c_str());
}

std::vector<std::string> ProgramParameters() {
    std::vector<std::string> parameters;
    for (int i = 1; i < __argc; ++i) {
        parameters.emplace_back(__argv[i]);
    }
    return parameters;
}
