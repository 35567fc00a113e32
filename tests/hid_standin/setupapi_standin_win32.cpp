// Test stand-in of setupapi.dll: the four device-interface functions the programs import,
// over the device list the test keeps (hid_standin.h). Like SetupAPI it takes a snapshot of
// the present devices when the set is made, and checks the callers' structure sizes.

#include <windows.h>
// windows.h first: setupapi.h builds on its types. _SETUPAPI_ makes its declarations ours.
#define _SETUPAPI_
#include <setupapi.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "tests/hid_standin/hid_standin.h"

namespace {

struct DeviceSet {
    std::vector<std::string> paths;
};

// The whole list file; "" when there is none.
std::string ReadListFile() {
    char path[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(kStandInDeviceListVariable, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return "";
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "";
    }
    std::string text;
    char buffer[1024];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

std::vector<std::string> PresentDevices() {
    std::vector<std::string> paths;
    std::string text = ReadListFile();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            paths.push_back(line);
        }
        start = end + 1;
    }
    return paths;
}

DeviceSet* SetOf(HDEVINFO handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : static_cast<DeviceSet*>(handle);
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

extern "C" {

__declspec(dllexport) HDEVINFO WINAPI
    SetupDiGetClassDevsA(const GUID* classGuid, PCSTR, HWND, DWORD flags) {
    auto* set = new DeviceSet;
    // Only present HID interfaces exist here; any other question finds none.
    if (classGuid != nullptr && IsEqualGUID(*classGuid, kStandInHidClassGuid) &&
        (flags & DIGCF_DEVICEINTERFACE) != 0) {
        set->paths = PresentDevices();
    }
    return set;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiEnumDeviceInterfaces(HDEVINFO devices, PSP_DEVINFO_DATA, const GUID* classGuid,
                                DWORD index, PSP_DEVICE_INTERFACE_DATA data) {
    DeviceSet* set = SetOf(devices);
    if (set == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (classGuid == nullptr || !IsEqualGUID(*classGuid, kStandInHidClassGuid) ||
        index >= set->paths.size()) {
        return Fail(ERROR_NO_MORE_ITEMS);
    }
    data->InterfaceClassGuid = kStandInHidClassGuid;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = index + 1;  // which device the detail is asked for
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiGetDeviceInterfaceDetailA(HDEVINFO devices, PSP_DEVICE_INTERFACE_DATA data,
                                     PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                     PDWORD requiredSize, PSP_DEVINFO_DATA) {
    DeviceSet* set = SetOf(devices);
    if (set == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
        data->Reserved == 0 || data->Reserved > set->paths.size()) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::string& path = set->paths[data->Reserved - 1];
    DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) +
                                      path.size() + 1);
    if (requiredSize != nullptr) {
        *requiredSize = needed;
    }
    if (detail == nullptr) {
        return Fail(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
    }
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (detailSize < needed) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO devices) {
    DeviceSet* set = SetOf(devices);
    if (set == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    delete set;
    return TRUE;
}

}  // extern "C"
