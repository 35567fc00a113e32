#pragma once
// What a running program costs: its memory, its CPU time and how often its threads were
// switched in, read from outside the process.

#include <windows.h>

#include <cstdint>
#include <string>

struct MemoryFigures {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
};

struct CpuFigures {
    double cpuSeconds = 0;         // user and kernel time
    uint64_t contextSwitches = 0;  // summed over the process's threads
    bool switchesFromLinux = false;
};

// Private bytes are the committed private pages; where the system does not count them for
// another process (Wine), they are summed from the process's address space.
MemoryFigures ReadMemory(HANDLE process);
// Wine keeps no context switch count; then the Linux threads of the process whose command
// line holds `programPath` are counted instead (/proc, seen through drive Z:).
CpuFigures ReadCpu(HANDLE process, const std::string& programPath);
