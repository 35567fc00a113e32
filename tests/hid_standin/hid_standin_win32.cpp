// Test stand-in of hid.dll: the five HID functions the programs import, answered for the
// stand-in devices (hid_standin.h). A device's ids come from the name its handle was opened
// by; every device gives 5-byte input reports, as the receiver does.

#include <windows.h>
// The HID headers of MinGW-w64 lack C linkage of their own.
extern "C" {
#include <hidsdi.h>
}

#include <cctype>
#include <cstdio>
#include <string>

#include "tests/hid_standin/hid_standin.h"

namespace {

constexpr USHORT kInputReportLength = 5;
constexpr DWORD kPreparsedMark = 0x48494453;  // "HIDS"

struct PreparsedData {
    DWORD mark = kPreparsedMark;
    USHORT inputReportLength = kInputReportLength;
};

// The name the handle was opened by, in lower case ASCII ("\hid#vid_147a&pid_e001#...").
std::string OpenedName(HANDLE device) {
    union {
        FILE_NAME_INFO info;
        char bytes[sizeof(FILE_NAME_INFO) + MAX_PATH * sizeof(WCHAR)];
    } name = {};
    if (!GetFileInformationByHandleEx(device, FileNameInfo, &name, sizeof name)) {
        return "";
    }
    std::string text;
    DWORD characters = name.info.FileNameLength / sizeof(WCHAR);
    for (DWORD i = 0; i < characters && i < MAX_PATH; ++i) {
        WCHAR c = name.info.FileName[i];
        text += c < 0x80 ? static_cast<char>(std::tolower(c)) : '?';
    }
    return text;
}

bool DeviceIds(HANDLE device, USHORT* vendorId, USHORT* productId) {
    std::string name = OpenedName(device);
    std::size_t at = name.find("#vid_");
    unsigned vendor = 0, product = 0;
    if (at == std::string::npos ||
        std::sscanf(name.c_str() + at, "#vid_%4x&pid_%4x", &vendor, &product) != 2) {
        return false;
    }
    *vendorId = static_cast<USHORT>(vendor);
    *productId = static_cast<USHORT>(product);
    return true;
}

}  // namespace

extern "C" {

__declspec(dllexport) void NTAPI HidD_GetHidGuid(LPGUID guid) {
    *guid = kStandInHidClassGuid;
}

__declspec(dllexport) BOOLEAN NTAPI HidD_GetAttributes(HANDLE device, PHIDD_ATTRIBUTES attributes) {
    USHORT vendorId = 0, productId = 0;
    if (attributes == nullptr || !DeviceIds(device, &vendorId, &productId)) {
        return FALSE;
    }
    attributes->Size = sizeof(HIDD_ATTRIBUTES);
    attributes->VendorID = vendorId;
    attributes->ProductID = productId;
    attributes->VersionNumber = 0x0100;
    return TRUE;
}

__declspec(dllexport) BOOLEAN NTAPI
    HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* preparsed) {
    USHORT vendorId = 0, productId = 0;
    if (preparsed == nullptr || !DeviceIds(device, &vendorId, &productId)) {
        return FALSE;
    }
    *preparsed = reinterpret_cast<PHIDP_PREPARSED_DATA>(new PreparsedData);
    return TRUE;
}

__declspec(dllexport) NTSTATUS NTAPI HidP_GetCaps(PHIDP_PREPARSED_DATA preparsed, PHIDP_CAPS caps) {
    auto* data = reinterpret_cast<PreparsedData*>(preparsed);
    if (data == nullptr || data->mark != kPreparsedMark || caps == nullptr) {
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    }
    *caps = {};
    caps->InputReportByteLength = data->inputReportLength;
    return HIDP_STATUS_SUCCESS;
}

__declspec(dllexport) BOOLEAN NTAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsed) {
    auto* data = reinterpret_cast<PreparsedData*>(preparsed);
    if (data == nullptr || data->mark != kPreparsedMark) {
        return FALSE;
    }
    data->mark = 0;
    delete data;
    return TRUE;
}

}  // extern "C"
