#pragma once
// The Windows side of tracing: each line gets the local time to the millisecond and the
// thread's id, goes to the debugger (OutputDebugStringA) always, and to a file when the user
// asked for it. The file is written by a thread of its own, so no thread that traces ever
// waits for the disk, and it never grows past its cap: the full file is kept once as ".1".

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kTraceFileCap = 1024 * 1024;

// Per user, read at start-up: DWORD "Trace" = 1 turns the file on.
constexpr char kTraceSettingKey[] = "Software\\VELQ\\VELQ Tellwand";
constexpr char kTraceSettingValue[] = "Trace";

// Starts tracing for `program` ("Tellwand" or "WandEdit"): the file is the one of the command
// line's "--trace[=FILE]", or, for the switch without a name or the per-user value,
// "<local application data>\VELQ Tellwand\<program>.log". Nothing is created when neither asks.
void StartTracing(const char* program, const std::vector<std::string>& parameters);
// Starts the debugger output and the file `path` with the given cap; false, with the debugger
// output alone, when the file cannot be opened.
bool StartTraceFile(const std::string& path, std::size_t cap = kTraceFileCap);
// Writes what is buffered and ends the writer; lines after it go to the debugger only.
void StopTracing();
// The file being written; empty when none is.
std::string TraceFilePath();

// The operation, the calling thread's last error and the system's text for it. The last error
// is left as it was.
void TraceLastError(const char* operation);
void TraceError(const char* operation, DWORD error);

// The program's first line: its name, version, build and command line, and where it traces.
void TraceProgramStart(const char* program);

// The program's parameters after its name.
std::vector<std::string> ProgramParameters();
