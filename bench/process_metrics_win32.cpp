#include "bench/process_metrics_win32.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/scoped_win32.h"

namespace {

// THREAD_BASIC_INFORMATION, which the SDK headers of the cross compiler do not declare.
struct ThreadBasicInformation {
    LONG exitStatus;
    PVOID tebBaseAddress;
    CLIENT_ID clientId;
    ULONG_PTR affinityMask;
    LONG priority;
    LONG basePriority;
};

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
    ScopedFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search) {
        return names;
    }
    do {
        if (found.cFileName[0] != '.') {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search.get(), &found));
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

// Fields 14 and 15 of a /proc stat line, user and system time in clock ticks. The name in
// parentheses may hold blanks, so counting starts after its closing parenthesis (field 2).
uint64_t CpuTicksOf(const std::string& stat) {
    size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) {
        return 0;
    }
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    uint64_t ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14) {
            ticks += std::strtoull(field.c_str(), nullptr, 10);
        }
    }
    return ticks;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// The committed pages of the allocation holding `address` (a thread's stack is one).
SIZE_T CommittedInAllocation(HANDLE process, const void* address) {
    MEMORY_BASIC_INFORMATION region = {};
    if (VirtualQueryEx(process, address, &region, sizeof region) != sizeof region) {
        return 0;
    }
    const void* allocation = region.AllocationBase;
    SIZE_T committed = 0;
    for (const BYTE* at = static_cast<const BYTE*>(allocation);
         VirtualQueryEx(process, at, &region, sizeof region) == sizeof region &&
         region.AllocationBase == allocation;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT) {
            committed += region.RegionSize;
        }
    }
    return committed;
}

// The committed stacks of the process's threads, found through each thread's TEB.
SIZE_T CommittedStackBytes(HANDLE process) {
    DWORD processId = GetProcessId(process);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    SIZE_T total = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId) {
            continue;
        }
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (thread == nullptr) {
            continue;
        }
        ThreadBasicInformation basic = {};
        NT_TIB tib = {};
        if (NtQueryInformationThread(thread, static_cast<THREADINFOCLASS>(0), &basic, sizeof basic,
                                     nullptr) == 0 &&
            ReadProcessMemory(process, basic.tebBaseAddress, &tib, sizeof tib, nullptr)) {
            total += CommittedInAllocation(process, static_cast<BYTE*>(tib.StackBase) - 1);
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return total;
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
    figures.stackBytes = CommittedStackBytes(process);
    return figures;
}

std::map<std::string, ThreadActivity> ReadLinuxThreads(const std::string& programPath) {
    std::map<std::string, ThreadActivity> threads;
    std::string folder = LinuxProcessFolder(programPath);
    if (folder.empty()) {
        return threads;
    }
    for (const std::string& task : FolderEntries(folder + "\\task")) {
        std::string taskFolder = folder + "\\task\\" + task;
        ThreadActivity& thread = threads[task];
        thread.name = FirstLine(ReadWholeFile(taskFolder + "\\comm"));
        thread.cpuTicks = CpuTicksOf(ReadWholeFile(taskFolder + "\\stat"));
        thread.wakeUps =
            FieldOf(ReadWholeFile(taskFolder + "\\status"), "\nvoluntary_ctxt_switches:");
    }
    return threads;
}
