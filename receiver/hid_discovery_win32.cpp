// Discovery of the real receiver among the present HID devices.

#include "receiver/receiver_win32.h"
// windows.h (through the header above) first: setupapi.h builds on its types.
#include <setupapi.h>

#include <string>
#include <utility>
#include <vector>

#include "base/trace.h"
#include "base/trace_win32.h"
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
        TraceLastError((std::string("HID device ") + path + ": CreateFileA").c_str());
        return false;
    }
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof attributes;
    if (!hid.getAttributes(device.get(), &attributes)) {
        TraceLastError((std::string("HID device ") + path + ": HidD_GetAttributes").c_str());
        return false;
    }
    bool receiver = IsReceiverIdentity(attributes.VendorID, attributes.ProductID, accepted);
    Trace("HID device %s: vendor %04X product %04X: %s", path, attributes.VendorID,
          attributes.ProductID, receiver ? "the receiver" : "not the receiver");
    if (!receiver) {
        return false;
    }
    ScopedHandle reader(OpenDevice(path, FILE_FLAG_OVERLAPPED));
    if (!reader) {
        TraceLastError((std::string("HID device ") + path + ": CreateFileA for reading").c_str());
        return false;
    }
    found.Close();
    found.inputReportLength = InputReportLength(hid, device.get());
    Trace("receiver taken: input reports of %lu bytes", found.inputReportLength);
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
        TraceLastError("SetupDiGetClassDevsA");
        return false;
    }
    bool isFound = false;
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof data;
    DWORD index = 0;
    for (; !isFound && SetupDiEnumDeviceInterfaces(devices.get(), nullptr, &hidClass, index, &data);
         ++index) {
        std::vector<char> detail = InterfaceDetail(devices.get(), &data);
        if (!detail.empty()) {
            auto* path =
                reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detail.data())->DevicePath;
            isFound = OpenIfReceiver(*hid, path, accepted, found);
        }
    }
    Trace("%lu HID devices listed; receiver %s", index, isFound ? "found" : "not among them");
    return isFound;
}
