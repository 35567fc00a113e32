#include <windows.h>

#include "receiver/receiver_win32.h"
// windows.h first: dbt.h builds on its types.
#include <dbt.h>

#include <cstddef>

#include "receiver/hid_functions_win32.h"

void ReceiverHandles::Close() {
    readHandle.Reset();
    inputReportLength = 0;
}

HANDLE ReceiverHandles::ReleaseReadHandle() {
    return readHandle.Release();
}

GUID HidClassGuid() {
    GUID guid = {};
    if (const HidFunctions* hid = SystemHid()) {
        hid->getHidGuid(&guid);
    }
    return guid;
}

namespace {

using RegisterDeviceNotificationFunction = HDEVNOTIFY(WINAPI*)(HANDLE, LPVOID, DWORD);

template <typename Function>
Function User32Entry(const char* name) {
    return ModuleFunction<Function>(GetModuleHandleA("user32.dll"), name);
}

}  // namespace

ScopedDeviceNotification RegisterForHidInterfaceChanges(HWND window) {
    auto registerNotification =
        User32Entry<RegisterDeviceNotificationFunction>("RegisterDeviceNotificationA");
    if (registerNotification == nullptr) {
        return ScopedDeviceNotification();
    }
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = HidClassGuid();
    return ScopedDeviceNotification(
        registerNotification(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
}

bool IsHidInterfaceChange(WPARAM event, LPARAM header) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) {
        return false;
    }
    // Any program may send this message, and Wine hands over only the dbch_size bytes the
    // sender declared: read no field beyond them (9a16426; sound on Windows too).
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
