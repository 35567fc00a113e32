// A HID minidriver for tests: every device installed with it is a HID device to the system's
// HID class driver, with the receiver's input report and the identity its hardware key names.
// Reports come from user mode through one control device of the driver (virtual_hid_control.h)
// and are held until the class driver reads them, as a USB device holds them until polled.
// Never shipped.

// wdm.h defines these two itself; MinGW-w64's intrinsics must leave them to it, or C++ sees
// them defined twice.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset
#include <ddk/wdm.h>

#include "tools/virtual_hid/virtual_hid_control.h"

// What the documented hidport.h gives a minidriver; MinGW-w64 has no such header, and its
// hidclass.h gets the request codes wrong.
extern "C" {
struct HidMinidriverRegistration {
    ULONG Revision;
    PDRIVER_OBJECT DriverObject;
    PUNICODE_STRING RegistryPath;
    ULONG DeviceExtensionSize;
    BOOLEAN DevicesArePolled;
    UCHAR Reserved[3];
};

struct HidDeviceExtension {
    PDEVICE_OBJECT PhysicalDeviceObject;
    PDEVICE_OBJECT NextDeviceObject;
    PVOID MiniDeviceExtension;
};

#pragma pack(push, 1)
struct HidDescriptor {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    UCHAR bReportType;
    USHORT wReportLength;
};
#pragma pack(pop)

struct HidDeviceAttributes {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
};

NTSTATUS NTAPI HidRegisterMinidriver(HidMinidriverRegistration* registration);
NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath);
}

namespace {

constexpr ULONG kHidRevision = 1;

constexpr ULONG HidControlCode(ULONG function) {
    constexpr ULONG kKeyboardDeviceType = 0x0B;  // FILE_DEVICE_KEYBOARD, METHOD_NEITHER
    return (kKeyboardDeviceType << 16) | (function << 2) | 3;
}
constexpr ULONG kIoctlHidGetDeviceDescriptor = HidControlCode(0);
constexpr ULONG kIoctlHidGetReportDescriptor = HidControlCode(1);
constexpr ULONG kIoctlHidReadReport = HidControlCode(2);
constexpr ULONG kIoctlHidGetString = HidControlCode(4);
constexpr ULONG kIoctlHidGetDeviceAttributes = HidControlCode(9);

constexpr UCHAR kHidDescriptorType = 0x21;
constexpr UCHAR kReportDescriptorType = 0x22;

// The receiver's one input report: no report id (a read gives id 0 and the data bytes), four
// bytes of a vendor-defined usage.
constexpr UCHAR kReportSizeBits = 8;
constexpr UCHAR kReportCount = 4;
constexpr UCHAR kReportDescriptor[] = {
    0x06, 0x00,
    0xFF,        // Usage Page (vendor defined 0xFF00)
    0x09, 0x01,  // Usage (1)
    0xA1, 0x01,  // Collection (Application)
    0x15, 0x00,  //   Logical Minimum (0)
    0x26, 0xFF,
    0x00,                   //   Logical Maximum (255)
    0x75, kReportSizeBits,  //   Report Size
    0x95, kReportCount,     //   Report Count
    0x09, 0x01,             //   Usage (1)
    0x81, 0x02,             //   Input (Data, Variable, Absolute)
    0xC0,                   // End Collection
};
constexpr ULONG kReportDataLength = kReportSizeBits * kReportCount / 8;
static_assert(kReportDataLength + 1 == kVirtualHidReportLength,
              "a fed report is the report id and the descriptor's data bytes");

constexpr ULONG kHeldReportCapacity = 64;

struct VirtualDevice {
    LIST_ENTRY link;  // in the driver's list of devices
    USHORT vendorId;
    USHORT productId;
    bool removed;
    LIST_ENTRY heldReads;                                   // read requests waiting for a report
    UCHAR reports[kHeldReportCapacity][kReportDataLength];  // reports waiting for a read
    ULONG firstReport;
    ULONG reportCount;
};

// One lock for the list of devices and everything in them, held for a few instructions at a
// time; requests are completed only after it is released. A spin lock of our own: a kernel
// mutex of Wine's once stayed taken with no owner, and the hal's spin locks would add an
// import.
volatile bool gLock;
LIST_ENTRY gDevices;
PDEVICE_OBJECT gControlDevice;
PDRIVER_DISPATCH gClassCreate;
PDRIVER_DISPATCH gClassClose;
PDRIVER_DISPATCH gClassDeviceControl;

const wchar_t kControlName[] = L"\\Device\\TellwandVirtualHid";
const wchar_t kControlLink[] = L"\\DosDevices\\TellwandVirtualHid";

class Locked {
  public:
    Locked() {
        while (__atomic_test_and_set(&gLock, __ATOMIC_ACQUIRE)) {
            __builtin_ia32_pause();
        }
    }
    ~Locked() { __atomic_clear(&gLock, __ATOMIC_RELEASE); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

VirtualDevice* DeviceOf(PDEVICE_OBJECT fdo) {
    auto* extension = static_cast<HidDeviceExtension*>(fdo->DeviceExtension);
    return static_cast<VirtualDevice*>(extension->MiniDeviceExtension);
}

PDEVICE_OBJECT LowerDeviceOf(PDEVICE_OBJECT fdo) {
    return static_cast<HidDeviceExtension*>(fdo->DeviceExtension)->NextDeviceObject;
}

NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information = 0) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

void CompleteAll(LIST_ENTRY* irps, NTSTATUS status) {
    while (!IsListEmpty(irps)) {
        PIRP irp = CONTAINING_RECORD(RemoveHeadList(irps), IRP, Tail.Overlay.ListEntry);
        Complete(irp, status);
    }
}

// Moves every held read of `device` to `irps`, to be failed once the lock is released.
void TakeHeldReads(VirtualDevice* device, LIST_ENTRY* irps) {
    while (!IsListEmpty(&device->heldReads)) {
        InsertTailList(irps, RemoveHeadList(&device->heldReads));
    }
}

ULONG ReadRegistryNumber(HANDLE key, const wchar_t* name, ULONG fallback) {
    UNICODE_STRING valueName;
    RtlInitUnicodeString(&valueName, name);
    union {
        KEY_VALUE_PARTIAL_INFORMATION info;
        UCHAR bytes[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
    } value = {};
    ULONG length = 0;
    NTSTATUS status =
        ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, &value, sizeof value, &length);
    if (!NT_SUCCESS(status) || value.info.Type != REG_DWORD || value.info.DataLength != 4) {
        return fallback;
    }
    ULONG number = 0;
    memcpy(&number, value.info.Data, sizeof number);
    return number;
}

// The identity the installer wrote into the device's hardware key; the receiver's by default.
void ReadIdentity(PDEVICE_OBJECT pdo, VirtualDevice* device) {
    device->vendorId = 0x147A;
    device->productId = 0xE001;
    HANDLE key = nullptr;
    if (!NT_SUCCESS(IoOpenDeviceRegistryKey(pdo, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key))) {
        return;
    }
    device->vendorId =
        static_cast<USHORT>(ReadRegistryNumber(key, kVirtualHidVendorValue, device->vendorId));
    device->productId =
        static_cast<USHORT>(ReadRegistryNumber(key, kVirtualHidProductValue, device->productId));
    ZwClose(key);
}

NTSTATUS NTAPI AddDevice(PDRIVER_OBJECT, PDEVICE_OBJECT fdo) {
    auto* extension = static_cast<HidDeviceExtension*>(fdo->DeviceExtension);
    VirtualDevice* device = DeviceOf(fdo);
    memset(device, 0, sizeof *device);
    InitializeListHead(&device->heldReads);
    ReadIdentity(extension->PhysicalDeviceObject, device);
    {
        Locked locked;
        InsertTailList(&gDevices, &device->link);
    }
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

// Gone: the read the class driver holds here ends now (the class driver waits for it before
// it lets the device go), and every later read fails.
void MarkRemoved(VirtualDevice* device, bool forget) {
    LIST_ENTRY failed;
    InitializeListHead(&failed);
    {
        Locked locked;
        device->removed = true;
        device->reportCount = 0;
        TakeHeldReads(device, &failed);
        if (forget) {
            RemoveEntryList(&device->link);
        }
    }
    CompleteAll(&failed, STATUS_DELETE_PENDING);
}

NTSTATUS NTAPI DispatchPnp(PDEVICE_OBJECT fdo, PIRP irp) {
    switch (IoGetCurrentIrpStackLocation(irp)->MinorFunction) {
        case IRP_MN_START_DEVICE:
        case IRP_MN_STOP_DEVICE:
        case IRP_MN_QUERY_REMOVE_DEVICE:
        case IRP_MN_CANCEL_REMOVE_DEVICE:
            irp->IoStatus.Status = STATUS_SUCCESS;
            break;
        case IRP_MN_SURPRISE_REMOVAL:
            MarkRemoved(DeviceOf(fdo), false);
            irp->IoStatus.Status = STATUS_SUCCESS;
            break;
        case IRP_MN_REMOVE_DEVICE:
            MarkRemoved(DeviceOf(fdo), true);
            irp->IoStatus.Status = STATUS_SUCCESS;
            break;
        default:
            break;
    }
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(LowerDeviceOf(fdo), irp);
}

NTSTATUS NTAPI DispatchPower(PDEVICE_OBJECT fdo, PIRP irp) {
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(LowerDeviceOf(fdo), irp);
}

NTSTATUS CopyOut(PIRP irp, const void* data, ULONG length) {
    ULONG room = IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.OutputBufferLength;
    if (room < length || irp->UserBuffer == nullptr) {
        return Complete(irp, STATUS_BUFFER_TOO_SMALL);
    }
    memcpy(irp->UserBuffer, data, length);
    return Complete(irp, STATUS_SUCCESS, length);
}

NTSTATUS AnswerString(PIRP irp, const VirtualDevice* device) {
    auto id = reinterpret_cast<ULONG_PTR>(
        IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.Type3InputBuffer);
    constexpr ULONG_PTR kManufacturer = 1, kProduct = 2, kSerialNumber = 3;
    wchar_t text[16] = {};
    switch (id & 0xFFFF) {
        case kManufacturer:
            memcpy(text, L"Tellwand tests", sizeof L"Tellwand tests");
            break;
        case kProduct:
            memcpy(text, L"Virtual HID", sizeof L"Virtual HID");
            break;
        case kSerialNumber: {
            // The ids in hexadecimal: devices of other ids never share a serial number.
            const wchar_t digits[] = L"0123456789ABCDEF";
            ULONG ids = (static_cast<ULONG>(device->vendorId) << 16) | device->productId;
            for (int digit = 0; digit < 8; ++digit) {
                text[digit] = digits[(ids >> (28 - 4 * digit)) & 0xF];
            }
            break;
        }
        default:
            return Complete(irp, STATUS_INVALID_PARAMETER);
    }
    ULONG length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return CopyOut(irp, text, (length + 1) * sizeof(wchar_t));
}

NTSTATUS HoldOrAnswerRead(PIRP irp, VirtualDevice* device) {
    ULONG room = IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.OutputBufferLength;
    if (room < kReportDataLength || irp->UserBuffer == nullptr) {
        return Complete(irp, STATUS_BUFFER_TOO_SMALL);
    }
    UCHAR report[kReportDataLength];
    bool removed = false;
    {
        Locked locked;
        removed = device->removed;
        if (!removed && device->reportCount == 0) {
            IoMarkIrpPending(irp);
            InsertTailList(&device->heldReads, &irp->Tail.Overlay.ListEntry);
            return STATUS_PENDING;
        }
        if (!removed) {
            memcpy(report, device->reports[device->firstReport], sizeof report);
            device->firstReport = (device->firstReport + 1) % kHeldReportCapacity;
            --device->reportCount;
        }
    }
    if (removed) {
        return Complete(irp, STATUS_DELETE_PENDING);
    }
    memcpy(irp->UserBuffer, report, sizeof report);
    return Complete(irp, STATUS_SUCCESS, sizeof report);
}

// The class driver's requests to a device.
NTSTATUS NTAPI DispatchInternalDeviceControl(PDEVICE_OBJECT fdo, PIRP irp) {
    VirtualDevice* device = DeviceOf(fdo);
    switch (IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.IoControlCode) {
        case kIoctlHidGetDeviceDescriptor: {
            HidDescriptor descriptor = {};
            descriptor.bLength = sizeof descriptor;
            descriptor.bDescriptorType = kHidDescriptorType;
            descriptor.bcdHID = 0x0111;
            descriptor.bNumDescriptors = 1;
            descriptor.bReportType = kReportDescriptorType;
            descriptor.wReportLength = sizeof kReportDescriptor;
            return CopyOut(irp, &descriptor, sizeof descriptor);
        }
        case kIoctlHidGetReportDescriptor:
            return CopyOut(irp, kReportDescriptor, sizeof kReportDescriptor);
        case kIoctlHidGetDeviceAttributes: {
            HidDeviceAttributes attributes = {};
            attributes.Size = sizeof attributes;
            attributes.VendorID = device->vendorId;
            attributes.ProductID = device->productId;
            attributes.VersionNumber = 0x0100;
            return CopyOut(irp, &attributes, sizeof attributes);
        }
        case kIoctlHidGetString:
            return AnswerString(irp, device);
        case kIoctlHidReadReport:
            return HoldOrAnswerRead(irp, device);
        default:
            return Complete(irp, STATUS_NOT_SUPPORTED);
    }
}

// Gives the report to every started device of those ids: to a held read, or else to the
// device's queue. STATUS_DEVICE_NOT_CONNECTED when no such device is there.
NTSTATUS FeedReport(const VirtualHidReport& fed) {
    LIST_ENTRY answered;
    InitializeListHead(&answered);
    NTSTATUS status = STATUS_DEVICE_NOT_CONNECTED;
    {
        Locked locked;
        for (LIST_ENTRY* entry = gDevices.Flink; entry != &gDevices; entry = entry->Flink) {
            VirtualDevice* device = CONTAINING_RECORD(entry, VirtualDevice, link);
            if (device->removed || device->vendorId != fed.vendorId ||
                device->productId != fed.productId) {
                continue;
            }
            const UCHAR* data = fed.bytes + 1;  // no report id: the read gives the data alone
            if (!IsListEmpty(&device->heldReads)) {
                PIRP irp = CONTAINING_RECORD(RemoveHeadList(&device->heldReads), IRP,
                                             Tail.Overlay.ListEntry);
                memcpy(irp->UserBuffer, data, kReportDataLength);
                InsertTailList(&answered, &irp->Tail.Overlay.ListEntry);
                status = STATUS_SUCCESS;
            } else if (device->reportCount < kHeldReportCapacity) {
                ULONG last = (device->firstReport + device->reportCount) % kHeldReportCapacity;
                memcpy(device->reports[last], data, kReportDataLength);
                ++device->reportCount;
                status = STATUS_SUCCESS;
            } else if (status != STATUS_SUCCESS) {
                status = STATUS_DEVICE_BUSY;  // never lost silently
            }
        }
    }
    while (!IsListEmpty(&answered)) {
        PIRP irp = CONTAINING_RECORD(RemoveHeadList(&answered), IRP, Tail.Overlay.ListEntry);
        Complete(irp, STATUS_SUCCESS, kReportDataLength);
    }
    return status;
}

NTSTATUS ControlDeviceControl(PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
        case kIoctlVirtualHidGetVersion:
            if (stack->Parameters.DeviceIoControl.OutputBufferLength < sizeof(ULONG)) {
                return Complete(irp, STATUS_BUFFER_TOO_SMALL);
            }
            memcpy(buffer, &kVirtualHidDriverVersion, sizeof(ULONG));
            return Complete(irp, STATUS_SUCCESS, sizeof(ULONG));
        case kIoctlVirtualHidSendReport: {
            if (stack->Parameters.DeviceIoControl.InputBufferLength != sizeof(VirtualHidReport)) {
                return Complete(irp, STATUS_INVALID_PARAMETER);
            }
            VirtualHidReport report;
            memcpy(&report, buffer, sizeof report);
            return Complete(irp, FeedReport(report));
        }
        default:
            return Complete(irp, STATUS_INVALID_DEVICE_REQUEST);
    }
}

// The class driver takes over opening, closing and controlling the driver's devices; the
// control device's requests are answered here and all others passed on to it.
NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT target, PIRP irp) {
    return target == gControlDevice ? Complete(irp, STATUS_SUCCESS) : gClassCreate(target, irp);
}
NTSTATUS NTAPI DispatchClose(PDEVICE_OBJECT target, PIRP irp) {
    return target == gControlDevice ? Complete(irp, STATUS_SUCCESS) : gClassClose(target, irp);
}
NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT target, PIRP irp) {
    return target == gControlDevice ? ControlDeviceControl(irp) : gClassDeviceControl(target, irp);
}

PDRIVER_UNLOAD gClassUnload;

void NTAPI Unload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, kControlLink);
    IoDeleteSymbolicLink(&link);
    IoDeleteDevice(gControlDevice);
    if (gClassUnload != nullptr) {
        gClassUnload(driver);
    }
}

NTSTATUS CreateControlDevice(PDRIVER_OBJECT driver) {
    UNICODE_STRING name;
    UNICODE_STRING link;
    RtlInitUnicodeString(&name, kControlName);
    RtlInitUnicodeString(&link, kControlLink);
    NTSTATUS status =
        IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &gControlDevice);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(gControlDevice);
        return status;
    }
    gControlDevice->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

}  // namespace

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    InitializeListHead(&gDevices);
    driver->DriverExtension->AddDevice = AddDevice;
    driver->MajorFunction[IRP_MJ_PNP] = DispatchPnp;
    driver->MajorFunction[IRP_MJ_POWER] = DispatchPower;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = DispatchInternalDeviceControl;

    HidMinidriverRegistration registration = {};
    registration.Revision = kHidRevision;
    registration.DriverObject = driver;
    registration.RegistryPath = registryPath;
    registration.DeviceExtensionSize = sizeof(VirtualDevice);
    registration.DevicesArePolled = FALSE;
    NTSTATUS status = HidRegisterMinidriver(&registration);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    status = CreateControlDevice(driver);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    gClassCreate = driver->MajorFunction[IRP_MJ_CREATE];
    gClassClose = driver->MajorFunction[IRP_MJ_CLOSE];
    gClassDeviceControl = driver->MajorFunction[IRP_MJ_DEVICE_CONTROL];
    gClassUnload = driver->DriverUnload;
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
    driver->DriverUnload = Unload;
    return STATUS_SUCCESS;
}
