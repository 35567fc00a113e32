#pragma once
// Virtual HID devices of the test driver, plugged and unplugged through SetupAPI and Plug and
// Play as a user's device is, and fed reports through the driver's control device. Every call
// answers an empty text when it did what it says, else what went wrong; success is checked
// on the system's side (the device and its HID interface there or gone, the driver's version),
// never taken from the return values of the installer's calls alone.

#include <windows.h>

#include <cstdint>
#include <string>

#include "tools/virtual_hid/virtual_hid_control.h"

struct VirtualHidIds {
    uint16_t vendorId = 0x147A;
    uint16_t productId = 0xE001;
};

// "147A:E001" (hexadecimal); false for anything else.
bool ParseVirtualHidIds(const char* text, VirtualHidIds* ids);

// Whether a device of these ids is plugged in and Wine's HID stack shows it.
bool VirtualHidPlugged(VirtualHidIds ids);
// Plugs in a device of these ids, installing the driver for it from `driverFolder` (the folder
// of VirtualHid.exe, with x86\ and amd64\ each holding the driver and its INF); fails when
// one is plugged in already.
std::string PlugVirtualHid(VirtualHidIds ids, const std::wstring& driverFolder);
std::string UnplugVirtualHid(VirtualHidIds ids);
// Unplugs every device of the driver, whatever its ids.
std::string UnplugAllVirtualHid();
// Gives the device a report: id byte first, as a read returns it.
std::string SendVirtualHidReport(VirtualHidIds ids,
                                 const uint8_t (&report)[kVirtualHidReportLength]);
