#pragma once
// The memory of a program under the soak, printed as it goes.

#include <windows.h>
// After windows.h, which it builds on.
#include <psapi.h>

#include <cstdio>

inline void PrintProgramMemory(const char* program, const char* when, HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // Wine leaves PrivateUsage at 0; the pagefile usage counts the same committed memory.
    SIZE_T privateBytes =
        counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    std::printf("soak: %s %s: private memory %lu KiB, working set %lu KiB\n", program, when,
                static_cast<unsigned long>(privateBytes / 1024),
                static_cast<unsigned long>(counters.WorkingSetSize / 1024));
    std::fflush(stdout);
}
