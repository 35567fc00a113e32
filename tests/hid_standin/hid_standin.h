#pragma once
// What the test stand-ins of setupapi.dll and hid.dll share with the tests that use them.
//
// The device list is a text file named by the environment variable below: one HID device path
// a line, in the order SetupAPI enumerates them. The test rewrites it whenever a device comes
// or goes. A path names the device's vendor and product ids as Windows spells them in a HID
// device path ("...#vid_147a&pid_e001#..."); a stand-in device is a named pipe of that name,
// served by the test.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

constexpr char kStandInDeviceListVariable[] = "TW_HID_STANDIN_DEVICES";

// The HID interface class, {4D1E55B2-F16F-11CF-88CB-001111000030}.
constexpr GUID kStandInHidClassGuid = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// The pipe path of a stand-in device; `name` tells devices of the same ids apart.
inline std::string StandInDevicePath(uint16_t vendorId, uint16_t productId, const char* name) {
    char path[128];
    std::snprintf(path, sizeof path, "\\\\.\\pipe\\hid#vid_%04x&pid_%04x#%s", vendorId, productId,
                  name);
    return path;
}
