#pragma once
// The server side of the virtual receiver: accepts any number of clients on the receiver's
// pipe, greets each with the device identity and writes every report to every client, as a
// HID device gives every open handle every report. Used by the virtual remote and by tests.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/scoped_win32.h"
#include "receiver/receiver_identity.h"

class VirtualReceiverServer {
  public:
    // The virtual receiver: clients of its pipe are greeted with this identity.
    VirtualReceiverServer(uint16_t vendorId, uint16_t productId);
    // A HID device's stand-in for tests: clients of `pipeName` get the reports alone, as a
    // HID handle does.
    explicit VirtualReceiverServer(std::string pipeName);
    ~VirtualReceiverServer();
    VirtualReceiverServer(const VirtualReceiverServer&) = delete;
    VirtualReceiverServer& operator=(const VirtualReceiverServer&) = delete;

    // The pipe appears: clients can connect from now on. Nobody is told, as when a receiver
    // comes back from a sleep under the same handle.
    bool Start();
    // The pipe goes: every client's pipe is closed and no new client is accepted. Nobody is
    // told, as when a sleep leaves a dead handle behind.
    void Stop();

    // Plugs the receiver in as Windows would: Start, then DBT_DEVICEARRIVAL to every window.
    bool Plug();
    // Unplugs it as Windows would: Stop, then DBT_DEVICEREMOVECOMPLETE to every window.
    void Unplug();

    // Whether the pipe is there (between Start or Plug and Stop or Unplug); any thread.
    bool IsPlugged() const { return plugged_.load(); }

    // Writes one 5-byte report to every connected client; returns how many took it.
    int SendReport(const uint8_t (&report)[kVirtualReportSize]);
    int ClientCount();
    bool WaitForClients(int count, DWORD timeoutMs);

  private:
    void AcceptClients(std::vector<ScopedHandle> pipes);
    void TakeClient(ScopedHandle pipe);
    bool WriteMessage(HANDLE pipe, const void* data, DWORD size);
    ScopedHandle CreatePipeInstance(DWORD flags = 0) const;
    ScopedHandle ClaimPipeName() const;

    std::string pipeName_;
    std::vector<uint8_t> greeting_;
    std::mutex plugMutex_;  // Start and Stop may come from different threads
    ScopedHandle stopEvent_;
    std::atomic<bool> plugged_{false};
    std::thread acceptThread_;
    std::mutex clientsMutex_;
    std::vector<ScopedHandle> clients_;
};

// Tells every top-level window that a HID interface arrived (DBT_DEVICEARRIVAL) or left
// (DBT_DEVICEREMOVECOMPLETE): WM_DEVICECHANGE with a DEV_BROADCAST_DEVICEINTERFACE_A of the
// HID class, sent to each window in turn (with a time limit), as Windows announces a device.
void AnnounceHidInterfaceChange(WPARAM event);
