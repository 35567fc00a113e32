#include <windows.h>

#include "receiver/receiver_win32.h"
// windows.h first: dbt.h and the HID headers build on its types.
#include <dbt.h>

#include <cstddef>
// The HID headers of MinGW-w64 lack C linkage of their own.
extern "C" {
#include <hidsdi.h>
}

void ReceiverHandles::Close() {
    if (readHandle != INVALID_HANDLE_VALUE) {
        CloseHandle(readHandle);
        readHandle = INVALID_HANDLE_VALUE;
    }
    if (attributeHandle != INVALID_HANDLE_VALUE) {
        CloseHandle(attributeHandle);
        attributeHandle = INVALID_HANDLE_VALUE;
    }
    inputReportLength = 0;
}

HANDLE ReceiverHandles::ReleaseReadHandle() {
    HANDLE handle = readHandle;
    readHandle = INVALID_HANDLE_VALUE;
    return handle;
}

GUID HidClassGuid() {
    GUID guid;
    HidD_GetHidGuid(&guid);
    return guid;
}

namespace {

using RegisterDeviceNotificationFunction = HDEVNOTIFY(WINAPI*)(HANDLE, LPVOID, DWORD);
using UnregisterDeviceNotificationFunction = BOOL(WINAPI*)(HDEVNOTIFY);

template <typename Function>
Function User32Entry(const char* name) {
    FARPROC entry = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

}  // namespace

HDEVNOTIFY RegisterForHidInterfaceChanges(HWND window) {
    auto registerNotification =
        User32Entry<RegisterDeviceNotificationFunction>("RegisterDeviceNotificationA");
    if (registerNotification == nullptr) {
        return nullptr;
    }
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = HidClassGuid();
    return registerNotification(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void UnregisterHidInterfaceChanges(HDEVNOTIFY notification) {
    auto unregisterNotification =
        User32Entry<UnregisterDeviceNotificationFunction>("UnregisterDeviceNotification");
    if (notification != nullptr && unregisterNotification != nullptr) {
        unregisterNotification(notification);
    }
}

bool IsHidInterfaceChange(WPARAM event, LPARAM header) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) {
        return false;
    }
    // Any program may send this message, and Wine hands over only the dbch_size bytes the
    // sender declared: read no field beyond them.
    auto* broadcast = reinterpret_cast<const DEV_BROADCAST_HDR*>(header);
    if (broadcast == nullptr ||
        broadcast->dbch_size < offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) ||
        broadcast->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) {
        return false;
    }
    auto* deviceInterface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
    GUID hid = HidClassGuid();
    return IsEqualGUID(deviceInterface->dbcc_classguid, hid);
}
