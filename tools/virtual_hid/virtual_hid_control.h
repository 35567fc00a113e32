#pragma once
// What the virtual HID driver and the tools that drive it share: the control device through
// which reports are fed, and its requests.

#include <cstdint>

// The driver's control device, which every device of the driver shares, as user mode opens it.
constexpr wchar_t kVirtualHidControlPath[] = L"\\\\.\\TellwandVirtualHid";

// Bumped with every change of the driver's behaviour: a driver still loaded from an older file
// (its file cannot be replaced while it runs) answers an older version.
constexpr uint32_t kVirtualHidDriverVersion = 2;

// The values a device's hardware key ("Device Parameters") holds before its driver starts: the
// identity its attributes give.
constexpr wchar_t kVirtualHidVendorValue[] = L"VendorId";
constexpr wchar_t kVirtualHidProductValue[] = L"ProductId";

constexpr uint32_t VirtualHidControlCode(uint32_t function) {
    constexpr uint32_t kUnknownDeviceType = 0x22;  // FILE_DEVICE_UNKNOWN, buffered, any access
    return (kUnknownDeviceType << 16) | (function << 2);
}

// In: nothing. Out: the driver's version (uint32_t).
constexpr uint32_t kIoctlVirtualHidGetVersion = VirtualHidControlCode(0x800);
// In: VirtualHidReport. Out: nothing. Fails (device not connected) when no started device has
// those ids.
constexpr uint32_t kIoctlVirtualHidSendReport = VirtualHidControlCode(0x801);

constexpr unsigned kVirtualHidReportLength = 5;  // report id 0 and four data bytes

struct VirtualHidReport {
    uint16_t vendorId;
    uint16_t productId;
    uint8_t bytes[kVirtualHidReportLength];
};
