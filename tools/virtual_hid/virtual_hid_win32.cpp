#include "tools/virtual_hid/virtual_hid_win32.h"

// windows.h (through the header above) first: these build on its types.
#include <cfgmgr32.h>
#include <newdev.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <thread>
#include <vector>

#include "base/scoped_win32.h"

namespace {

// Each device is a root device of its own instance and hardware id, both named by its ids, so
// that installing the driver for one leaves the others alone (a device restarted under an
// open handle would hang its installer); the INF names the compatible id all of them share.
constexpr wchar_t kCompatibleIds[] = L"TELLWAND_VHID\0";
constexpr wchar_t kInstancePrefix[] = L"ROOT\\TELLWAND_VHID\\";
constexpr GUID kHidClassInstaller = {
    0x745A17A0, 0x74D3, 0x11D0, {0xB6, 0xFE, 0x00, 0xA0, 0xC9, 0x0F, 0x57, 0xDA}};
constexpr auto kSettleTime = std::chrono::seconds(10);

std::wstring InstanceId(VirtualHidIds ids) {
    wchar_t suffix[16] = {};
    std::swprintf(suffix, 16, L"%04X_%04X", ids.vendorId, ids.productId);
    return kInstancePrefix + std::wstring(suffix);
}

// As a multi-string: the id, its terminator and the list's.
std::wstring HardwareIds(VirtualHidIds ids) {
    wchar_t id[40] = {};
    std::swprintf(id, 40, L"TELLWAND_VHID\\VID_%04X&PID_%04X", ids.vendorId, ids.productId);
    return std::wstring(id) + L'\0';
}

std::wstring SerialNumber(VirtualHidIds ids) {
    wchar_t serial[16] = {};
    std::swprintf(serial, 16, L"%04X%04X", ids.vendorId, ids.productId);
    return serial;
}

std::string Failure(const char* what) {
    char text[160] = {};
    std::snprintf(text, sizeof text, "%s (error %#lx)", what, GetLastError());
    return text;
}

bool WaitUntil(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + kSettleTime;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Whether a HID device of these ids, with the serial number the driver gives them, is present:
// the class driver has started it and announced its interface.
bool HidInterfacePresent(VirtualHidIds ids) {
    GUID hidClass = {};
    HidD_GetHidGuid(&hidClass);
    ScopedDeviceInfoList devices(
        SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!devices.valid()) {
        return false;
    }
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(devices.get(), nullptr, &hidClass, index, &data); ++index) {
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(devices.get(), &data, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
            continue;
        }
        std::vector<char> buffer(required, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(devices.get(), &data, detail, required, nullptr,
                                              nullptr)) {
            continue;
        }
        ScopedHandle device(CreateFileW(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        HIDD_ATTRIBUTES attributes = {};
        attributes.Size = sizeof attributes;
        wchar_t serial[32] = {};
        if (device && HidD_GetAttributes(device.get(), &attributes) &&
            attributes.VendorID == ids.vendorId && attributes.ProductID == ids.productId &&
            HidD_GetSerialNumberString(device.get(), serial, sizeof serial - sizeof(wchar_t)) &&
            SerialNumber(ids) == serial) {
            return true;
        }
    }
    return false;
}

bool AskDriverVersion(uint32_t* version) {
    ScopedHandle control(CreateFileW(kVirtualHidControlPath, GENERIC_READ | GENERIC_WRITE, 0,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD returned = 0;
    return control &&
           DeviceIoControl(control.get(), kIoctlVirtualHidGetVersion, nullptr, 0, version,
                           sizeof *version, &returned, nullptr) &&
           returned == sizeof *version;
}

// The driver for the prefix's architecture, beside this program: x86\ in a 32-bit prefix,
// amd64\ in a 64-bit one (a 32-bit program there runs under WoW64).
bool IsWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::wstring DriverInfPath(const std::wstring& folder) {
    bool is64 = sizeof(void*) == 8 || IsWow64();
    return folder + (is64 ? L"\\amd64" : L"\\x86") + L"\\tellwand_vhid.inf";
}

// Installs the INF's driver for the devices of its hardware id. A 32-bit installer in a 64-bit
// prefix would copy the driver into syswow64\drivers, where the system never looks: the copy
// goes to the real system folder with redirection off.
std::string InstallDriver(VirtualHidIds ids, const std::wstring& folder) {
    std::wstring inf = DriverInfPath(folder);
    if (inf.empty() || GetFileAttributesW(inf.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return "the driver's INF is not in its folder";
    }
    void* redirection = nullptr;
    bool redirected = IsWow64() && Wow64DisableWow64FsRedirection(&redirection);
    BOOL reboot = FALSE;
    BOOL updated = UpdateDriverForPlugAndPlayDevicesW(nullptr, HardwareIds(ids).c_str(),
                                                      inf.c_str(), INSTALLFLAG_FORCE, &reboot);
    DWORD error = GetLastError();
    if (redirected) {
        Wow64RevertWow64FsRedirection(redirection);
    }
    SetLastError(error);
    return updated ? std::string() : Failure("the driver was not installed");
}

std::string CheckDriverVersion() {
    // The driver may start after the installer returns.
    uint32_t version = 0;
    if (!WaitUntil([&] { return AskDriverVersion(&version); })) {
        return Failure("the driver's control device does not answer");
    }
    if (version != kVirtualHidDriverVersion) {
        return "a driver of another version is still loaded: end the wineserver "
               "(wineserver -k) and plug again";
    }
    return {};
}

bool WriteIdentity(HDEVINFO set, SP_DEVINFO_DATA* device, VirtualHidIds ids) {
    HKEY created =
        SetupDiCreateDevRegKeyW(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        return false;
    }
    ScopedRegistryKey key(created);
    DWORD vendor = ids.vendorId;
    DWORD product = ids.productId;
    bool written =
        RegSetValueExW(key.get(), kVirtualHidVendorValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&vendor), sizeof vendor) == ERROR_SUCCESS &&
        RegSetValueExW(key.get(), kVirtualHidProductValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&product), sizeof product) == ERROR_SUCCESS;
    return written;
}

std::string RegisterDevice(VirtualHidIds ids) {
    ScopedDeviceInfoList set(SetupDiCreateDeviceInfoList(&kHidClassInstaller, nullptr));
    if (!set.valid()) {
        return Failure("no device list");
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    std::wstring instance = InstanceId(ids);
    if (!SetupDiCreateDeviceInfoW(set.get(), instance.c_str(), &kHidClassInstaller, nullptr,
                                  nullptr, 0, &device)) {
        return Failure("the device was not created (plugged in already?)");
    }
    std::wstring hardwareIds = HardwareIds(ids);
    if (!SetupDiSetDeviceRegistryPropertyW(
            set.get(), &device, SPDRP_HARDWAREID,
            reinterpret_cast<const BYTE*>(hardwareIds.c_str()),
            static_cast<DWORD>((hardwareIds.size() + 1) * sizeof(wchar_t))) ||
        !SetupDiSetDeviceRegistryPropertyW(set.get(), &device, SPDRP_COMPATIBLEIDS,
                                           reinterpret_cast<const BYTE*>(kCompatibleIds),
                                           sizeof kCompatibleIds)) {
        return Failure("the device's ids were not set");
    }
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.get(), &device)) {
        return Failure("the device was not registered");
    }
    if (!WriteIdentity(set.get(), &device, ids)) {
        SetupDiCallClassInstaller(DIF_REMOVE, set.get(), &device);
        return Failure("the device's identity was not written");
    }
    return {};
}

// Removes the devices whose instance ids `select` picks, through their class installer.
std::string RemoveDevices(const std::function<bool(const std::wstring&)>& select) {
    ScopedDeviceInfoList set(SetupDiGetClassDevsW(nullptr, L"ROOT", nullptr, DIGCF_ALLCLASSES));
    if (!set.valid()) {
        return Failure("no device list");
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.get(), index, &device); ++index) {
        wchar_t instance[MAX_DEVICE_ID_LEN] = {};
        if (!SetupDiGetDeviceInstanceIdW(set.get(), &device, instance, MAX_DEVICE_ID_LEN,
                                         nullptr) ||
            !select(instance)) {
            continue;
        }
        if (!SetupDiCallClassInstaller(DIF_REMOVE, set.get(), &device)) {
            return Failure("the device was not removed");
        }
    }
    return {};
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && _wcsnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// A 32-bit program in a 64-bit prefix has VirtualHid64.exe plug the device: Wine would run the
// driver's service, created from WoW64, in its 32-bit device host. Without a console of its own,
// which would take the focus from the window the user types into.
std::string PlugThrough64BitTool(VirtualHidIds ids, const std::wstring& driverFolder) {
    wchar_t command[MAX_PATH + 64] = {};
    std::swprintf(command, MAX_PATH + 64, L"\"%ls\\VirtualHid64.exe\" plug %04X:%04X",
                  driverFolder.c_str(), ids.vendorId, ids.productId);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started)) {
        return Failure("VirtualHid64.exe did not start");
    }
    ScopedHandle process(started.hProcess);
    ScopedHandle thread(started.hThread);
    DWORD code = 1;
    if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code) || code != 0) {
        return "VirtualHid64.exe could not plug the device in (see its output)";
    }
    return {};
}

}  // namespace

bool ParseVirtualHidIds(const char* text, VirtualHidIds* ids) {
    unsigned vendor = 0;
    unsigned product = 0;
    char rest = 0;
    if (std::strlen(text) != 9 || std::sscanf(text, "%4x:%4x%c", &vendor, &product, &rest) != 2) {
        return false;
    }
    ids->vendorId = static_cast<uint16_t>(vendor);
    ids->productId = static_cast<uint16_t>(product);
    return true;
}

bool VirtualHidPlugged(VirtualHidIds ids) {
    return HidInterfacePresent(ids);
}

std::string PlugVirtualHid(VirtualHidIds ids, const std::wstring& driverFolder) {
    if (IsWow64()) {
        return PlugThrough64BitTool(ids, driverFolder);
    }
    std::string failure = RegisterDevice(ids);
    if (failure.empty()) {
        failure = InstallDriver(ids, driverFolder);
    }
    if (failure.empty()) {
        failure = CheckDriverVersion();
    }
    if (failure.empty() && !WaitUntil([&] { return HidInterfacePresent(ids); })) {
        failure = "the device did not come: no HID device of its ids appeared";
    }
    return failure;
}

std::string UnplugVirtualHid(VirtualHidIds ids) {
    std::wstring instance = InstanceId(ids);
    std::string failure =
        RemoveDevices([&](const std::wstring& id) { return SameText(id, instance); });
    if (failure.empty() && !WaitUntil([&] { return !HidInterfacePresent(ids); })) {
        failure = "the device did not go: its HID device is still there";
    }
    return failure;
}

std::string UnplugAllVirtualHid() {
    const std::wstring prefix = kInstancePrefix;
    return RemoveDevices([&](const std::wstring& id) {
        return id.size() > prefix.size() && SameText(id.substr(0, prefix.size()), prefix);
    });
}

std::string SendVirtualHidReport(VirtualHidIds ids,
                                 const uint8_t (&report)[kVirtualHidReportLength]) {
    ScopedHandle control(CreateFileW(kVirtualHidControlPath, GENERIC_READ | GENERIC_WRITE, 0,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (!control) {
        return Failure("the driver's control device does not answer");
    }
    VirtualHidReport request = {};
    request.vendorId = ids.vendorId;
    request.productId = ids.productId;
    std::memcpy(request.bytes, report, sizeof request.bytes);
    DWORD returned = 0;
    if (!DeviceIoControl(control.get(), kIoctlVirtualHidSendReport, &request, sizeof request,
                         nullptr, 0, &returned, nullptr)) {
        return Failure("the report was not taken (no such device plugged in?)");
    }
    return {};
}
