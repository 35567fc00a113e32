#pragma once
// Finding and opening the receiver. Two backends implement FindReceiver: the HID one (SetupAPI
// and hid.dll) in the shipped programs, and the virtual one (a named pipe) for tests and demos.

#include <windows.h>

#include "base/scoped_win32.h"
#include "receiver/receiver_identity.h"

// The receiver as discovery opened it: the read handle, opened for overlapped reads, is handed
// to the reader. The handle that asked the device its identity is closed by discovery.
class ReceiverHandles {
  public:
    void Close();
    // Gives up the read handle to a new owner (the reader), which closes it.
    HANDLE ReleaseReadHandle();

    ScopedHandle readHandle;
    DWORD inputReportLength = 0;
};

// The HID interface class; device notifications are registered for it.
GUID HidClassGuid();

// Looks for the receiver and opens it into `found`; false when no device matches.
bool FindReceiver(AcceptedReceivers accepted, ReceiverHandles& found);

// Asks for WM_DEVICECHANGE when a HID interface arrives or leaves, for as long as the result
// lives. The entry point is looked up at run time: without it the window simply gets no
// device changes (the result holds none).
[[nodiscard]] ScopedDeviceNotification RegisterForHidInterfaceChanges(HWND window);

// A WM_DEVICECHANGE worth a new discovery: a HID interface arrived or left.
bool IsHidInterfaceChange(WPARAM event, LPARAM header);
