// VirtualHid.exe: plugs, unplugs and feeds the virtual HID devices of the test driver.
//   VirtualHid plug [VVVV:PPPP]            a device of these ids comes (147A:E001 if none given)
//   VirtualHid unplug [VVVV:PPPP]          it goes
//   VirtualHid report [VVVV:PPPP] B0 B1 B2 B3 B4   it sends this input report (hexadecimal)
//   VirtualHid remove                      every device of the driver goes
// Exit code 0 when done, 1 with the reason on the standard error otherwise, 2 for bad use.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/virtual_hid/virtual_hid_win32.h"

namespace {

int Usage() {
    std::fputs(
        "usage: VirtualHid plug|unplug [VVVV:PPPP]\n"
        "       VirtualHid report [VVVV:PPPP] B0 B1 B2 B3 B4\n"
        "       VirtualHid remove\n",
        stderr);
    return 2;
}

bool ParseByte(const char* text, uint8_t* byte) {
    char* end = nullptr;
    unsigned long value = std::strtoul(text, &end, 16);
    if (*text == 0 || *end != 0 || value > 0xFF) {
        return false;
    }
    *byte = static_cast<uint8_t>(value);
    return true;
}

// The folder of this program, where the drivers are.
std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

int Finish(const std::string& failure) {
    if (failure.empty()) {
        return 0;
    }
    std::fprintf(stderr, "VirtualHid: %s\n", failure.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    std::string command = argv[1];
    int next = 2;
    VirtualHidIds ids;
    if (next < argc && ParseVirtualHidIds(argv[next], &ids)) {
        ++next;
    }
    int left = argc - next;
    if (command == "remove" && argc == 2) {
        return Finish(UnplugAllVirtualHid());
    }
    if (command == "plug" && left == 0) {
        return Finish(PlugVirtualHid(ids, ProgramFolder()));
    }
    if (command == "unplug" && left == 0) {
        return Finish(UnplugVirtualHid(ids));
    }
    if (command == "report" && left == static_cast<int>(kVirtualHidReportLength)) {
        uint8_t report[kVirtualHidReportLength] = {};
        for (unsigned i = 0; i < kVirtualHidReportLength; ++i) {
            if (!ParseByte(argv[next + i], &report[i])) {
                return Usage();
            }
        }
        return Finish(SendVirtualHidReport(ids, report));
    }
    return Usage();
}
