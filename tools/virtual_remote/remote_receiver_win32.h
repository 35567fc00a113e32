#pragma once
// What the virtual remote drives: the virtual receiver's pipe (the programs of bin-virtual/),
// or a device of the virtual HID driver, read through Wine's own HID stack (the shipped bin/).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "tools/virtual_remote/remote_script.h"

class RemoteReceiver {
  public:
    virtual ~RemoteReceiver() = default;
    // Empty when the receiver is there, else why it is not.
    virtual std::string Plug() = 0;
    virtual void Unplug() = 0;
    virtual bool IsPlugged() const = 0;
    virtual void Send(const RemoteReport& report) = 0;
    // Programs reading it; -1 where the receiver cannot tell.
    virtual int ClientCount() = 0;
    virtual bool WaitForClients(int count, DWORD deadlineMs) = 0;
};

std::unique_ptr<RemoteReceiver> MakePipeReceiver(uint16_t productId);
// `driverFolder` holds VirtualHid.exe and the drivers (the build's virtual_hid\).
std::unique_ptr<RemoteReceiver> MakeHidReceiver(uint16_t productId,
                                                const std::wstring& driverFolder);
