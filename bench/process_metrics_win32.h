#pragma once
// What a running program costs: its memory, read through Windows, and its CPU time and
// wake-ups, read from Linux's /proc (seen through drive Z:), since Wine keeps no such counts.

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

struct MemoryFigures {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    SIZE_T stackBytes = 0;  // committed in the threads' stacks, part of the private bytes
};

// One Linux thread of a Wine program; each Windows thread is one.
struct ThreadActivity {
    std::string name;       // its /proc comm
    uint64_t cpuTicks = 0;  // user and system time, in clock ticks
    uint64_t wakeUps = 0;   // voluntary context switches: each is a sleep ended by a wake-up
};

// Private bytes are the committed private pages; where the system does not count them for
// another process (Wine), they are summed from the process's address space.
MemoryFigures ReadMemory(HANDLE process);
// The Linux threads, by thread id, of the process of our Wine prefix whose command line holds
// `programPath`; none when there is no such process.
std::map<std::string, ThreadActivity> ReadLinuxThreads(const std::string& programPath);
