#pragma once
// The server side of the virtual receiver: accepts any number of clients on the receiver's
// pipe, greets each with the device identity and writes every report to every client, as a
// HID device gives every open handle every report. Used by the virtual remote and by tests.

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "receiver/receiver_identity.h"

class VirtualReceiverServer {
  public:
    VirtualReceiverServer(uint16_t vendorId, uint16_t productId);
    ~VirtualReceiverServer();
    VirtualReceiverServer(const VirtualReceiverServer&) = delete;
    VirtualReceiverServer& operator=(const VirtualReceiverServer&) = delete;

    // Plugs the receiver in: clients can connect from now on.
    bool Start();
    // Unplugs it: every client's pipe is closed and no new client is accepted.
    void Stop();

    // Writes one 5-byte report to every connected client; returns how many took it.
    int SendReport(const uint8_t (&report)[kVirtualReportSize]);
    int ClientCount();
    bool WaitForClients(int count, DWORD timeoutMs);

  private:
    void AcceptClients(HANDLE firstPipe);
    bool WriteMessage(HANDLE pipe, const void* data, DWORD size);

    uint16_t vendorId_;
    uint16_t productId_;
    HANDLE stopEvent_ = nullptr;
    std::thread acceptThread_;
    std::mutex clientsMutex_;
    std::vector<HANDLE> clients_;
};
