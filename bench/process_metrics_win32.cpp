#include "bench/process_metrics_win32.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// SYSTEM_THREAD_INFORMATION with the field the SDK header leaves unnamed.
struct ThreadInformation {
    LARGE_INTEGER kernelTime;
    LARGE_INTEGER userTime;
    LARGE_INTEGER createTime;
    ULONG waitTime;
    PVOID startAddress;
    CLIENT_ID clientId;
    LONG priority;
    LONG basePriority;
    ULONG contextSwitches;
    ULONG threadState;
    ULONG waitReason;
};

double Seconds(const FILETIME& time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    return ticks.QuadPart / 1e7;
}

std::vector<BYTE> ReadProcessList() {
    std::vector<BYTE> buffer(256 * 1024);
    ULONG needed = 0;
    while (NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                    static_cast<ULONG>(buffer.size()), &needed) != 0) {
        if (buffer.size() >= 64 * 1024 * 1024) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer;
}

uint64_t ContextSwitchesOf(DWORD processId) {
    std::vector<BYTE> list = ReadProcessList();
    ULONG offset = 0;
    while (!list.empty()) {
        auto* process = reinterpret_cast<SYSTEM_PROCESS_INFORMATION*>(list.data() + offset);
        if (reinterpret_cast<ULONG_PTR>(process->UniqueProcessId) == processId) {
            auto* threads = reinterpret_cast<ThreadInformation*>(process + 1);
            uint64_t switches = 0;
            for (ULONG i = 0; i < process->NumberOfThreads; ++i) {
                switches += threads[i].contextSwitches;
            }
            return switches;
        }
        if (process->NextEntryOffset == 0) {
            break;
        }
        offset += process->NextEntryOffset;
    }
    return 0;
}

SIZE_T CommittedPrivateBytes(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const BYTE* address = nullptr;
         VirtualQueryEx(process, address, &region, sizeof region) == sizeof region;
         address = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
    }
    return total;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The names of the entries of a folder (without "." and "..").
std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (found.cFileName[0] != '.') {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Tests of other Wine prefixes may run a program of the same path; ours shares our prefix.
std::string OwnWinePrefix() {
    char prefix[MAX_PATH] = {};
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    return std::string("WINEPREFIX=") + prefix + '\0';
}

// /proc/<pid> of the Linux process running `programPath`, or "".
std::string LinuxProcessFolder(const std::string& programPath) {
    std::string wanted = Lowered(programPath);
    std::string prefix = OwnWinePrefix();
    for (const std::string& name : FolderEntries("Z:\\proc")) {
        if (!std::isdigit(static_cast<unsigned char>(name[0]))) {
            continue;
        }
        std::string folder = "Z:\\proc\\" + name;
        std::string commandLine = ReadWholeFile(folder + "\\cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        if (Lowered(commandLine).find(wanted) != std::string::npos &&
            ReadWholeFile(folder + "\\environ").find(prefix) != std::string::npos) {
            return folder;
        }
    }
    return "";
}

uint64_t FieldOf(const std::string& status, const char* field) {
    size_t at = status.find(field);
    return at == std::string::npos
               ? 0
               : std::strtoull(status.c_str() + at + std::strlen(field), nullptr, 10);
}

uint64_t LinuxContextSwitches(const std::string& programPath) {
    std::string folder = LinuxProcessFolder(programPath);
    if (folder.empty()) {
        return 0;
    }
    uint64_t switches = 0;
    for (const std::string& task : FolderEntries(folder + "\\task")) {
        std::string status = ReadWholeFile(folder + "\\task\\" + task + "\\status");
        switches += FieldOf(status, "\nvoluntary_ctxt_switches:") +
                    FieldOf(status, "\nnonvoluntary_ctxt_switches:");
    }
    return switches;
}

}  // namespace

MemoryFigures ReadMemory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    MemoryFigures figures;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
        figures.privateBytes = counters.PrivateUsage;
        figures.workingSet = counters.WorkingSetSize;
    }
    if (figures.privateBytes == 0) {
        figures.privateBytes = CommittedPrivateBytes(process);
    }
    return figures;
}

CpuFigures ReadCpu(HANDLE process, const std::string& programPath) {
    CpuFigures figures;
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        figures.cpuSeconds = Seconds(kernel) + Seconds(user);
    }
    figures.contextSwitches = ContextSwitchesOf(GetProcessId(process));
    if (figures.contextSwitches == 0) {
        figures.contextSwitches = LinuxContextSwitches(programPath);
        figures.switchesFromLinux = true;
    }
    return figures;
}
