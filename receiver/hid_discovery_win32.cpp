// Discovery of the real receiver among the present HID devices.

#include "receiver/receiver_win32.h"
// windows.h (through the header above) first: setupapi.h builds on its types.
#include <setupapi.h>

#include <utility>
#include <vector>

#include "receiver/hid_functions_win32.h"

namespace {

HANDLE OpenDevice(const char* path, DWORD flags) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, flags, nullptr);
}

DWORD InputReportLength(const HidFunctions& hid, HANDLE device) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!hid.getPreparsedData(device, &preparsed)) {
        return 0;
    }
    HIDP_CAPS caps = {};
    hid.getCaps(preparsed, &caps);
    hid.freePreparsedData(preparsed);
    return caps.InputReportByteLength;
}

// The device path of one interface, or an empty buffer when it cannot be had.
std::vector<char> InterfaceDetail(HDEVINFO devices, SP_DEVICE_INTERFACE_DATA* data) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(devices, data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        return {};
    }
    std::vector<char> buffer(required, 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(devices, data, detail, required, nullptr, nullptr)) {
        return {};
    }
    return buffer;
}

// Opens the device at `path` into `found` when it is the receiver.
bool OpenIfReceiver(const HidFunctions& hid, const char* path, AcceptedReceivers accepted,
                    ReceiverHandles& found) {
    ScopedHandle device(OpenDevice(path, 0));
    if (!device) {
        return false;
    }
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof attributes;
    if (!hid.getAttributes(device.get(), &attributes) ||
        !IsReceiverIdentity(attributes.VendorID, attributes.ProductID, accepted)) {
        return false;
    }
    ScopedHandle reader(OpenDevice(path, FILE_FLAG_OVERLAPPED));
    if (!reader) {
        return false;
    }
    found.Close();
    found.inputReportLength = InputReportLength(hid, device.get());
    found.readHandle = std::move(reader);
    return true;
}

}  // namespace

bool FindReceiver(AcceptedReceivers accepted, ReceiverHandles& found) {
    const HidFunctions* hid = SystemHid();
    if (hid == nullptr) {
        return false;
    }
    GUID hidClass = HidClassGuid();
    ScopedDeviceInfoList devices(
        SetupDiGetClassDevsA(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!devices) {
        return false;
    }
    bool isFound = false;
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD index = 0;
         !isFound && SetupDiEnumDeviceInterfaces(devices.get(), nullptr, &hidClass, index, &data);
         ++index) {
        std::vector<char> detail = InterfaceDetail(devices.get(), &data);
        if (!detail.empty()) {
            auto* path =
                reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detail.data())->DevicePath;
            isFound = OpenIfReceiver(*hid, path, accepted, found);
        }
    }
    return isFound;
}
