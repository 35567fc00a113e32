#pragma once
// Diagnostics a user can turn on. Any code, portable or not, traces through Trace(); the
// program installs a sink at start-up that stamps each line and sends it on. With no sink a
// trace costs one atomic load: nothing is formatted.

#include <cstddef>
#include <string>
#include <vector>

// Receives one finished message (no time stamp, no line end); may be called from any thread.
using TraceSink = void (*)(const char* message, std::size_t length);

// Null stops tracing.
void SetTraceSink(TraceSink sink);
bool TraceOn();

// printf-style; a message longer than a line's buffer is cut.
void Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Bytes as hexadecimal pairs separated by blanks, for report traces.
std::string HexBytes(const unsigned char* bytes, std::size_t count);

// Which trace file a command line and the per-user setting ask for: the file named by the
// last "--trace=FILE" or "/trace=FILE" (case ignored), `defaultFile` for the switch without a
// name or for the setting alone, or the empty text when neither asks.
std::string ChooseTraceFile(const std::vector<std::string>& parameters, bool settingAsks,
                            const std::string& defaultFile);
