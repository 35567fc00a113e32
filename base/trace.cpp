#include "base/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "base/ascii_case.h"

namespace {

constexpr std::size_t kMessageSize = 512;

std::atomic<TraceSink> g_sink{nullptr};

// "--trace" or "/trace", alone or followed by '=' and a file name.
bool IsTraceSwitch(const std::string& parameter, std::string* file) {
    std::size_t nameStart = parameter.rfind("--", 0) == 0  ? 2
                            : parameter.rfind('/', 0) == 0 ? 1
                                                           : 0;
    if (nameStart == 0) {
        return false;
    }
    std::string_view rest(parameter);
    rest.remove_prefix(nameStart);
    std::size_t equals = rest.find('=');
    if (!EqualsIgnoringCase(rest.substr(0, equals), "trace")) {
        return false;
    }
    file->assign(equals == std::string_view::npos ? std::string_view() : rest.substr(equals + 1));
    return true;
}

}  // namespace

void SetTraceSink(TraceSink sink) {
    g_sink.store(sink);
}

bool TraceOn() {
    return g_sink.load(std::memory_order_relaxed) != nullptr;
}

void Trace(const char* format, ...) {
    TraceSink sink = g_sink.load(std::memory_order_relaxed);
    if (sink == nullptr) {
        return;
    }
    char message[kMessageSize];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    if (length < 0) {
        return;
    }
    sink(message, static_cast<std::size_t>(length) < sizeof message ? length : sizeof message - 1);
}

std::string HexBytes(const unsigned char* bytes, std::size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string ChooseTraceFile(const std::vector<std::string>& parameters, bool settingAsks,
                            const std::string& defaultFile) {
    bool asked = settingAsks;
    std::string chosen;
    for (const std::string& parameter : parameters) {
        std::string named;
        if (IsTraceSwitch(parameter, &named)) {
            asked = true;
            chosen = named;
        }
    }
    if (!asked) {
        return "";
    }
    return chosen.empty() ? defaultFile : chosen;
}
