#include "receiver/virtual_receiver_server_win32.h"

#include "receiver/pipe_transfer_win32.h"
#include "receiver/receiver_identity.h"

namespace {

constexpr DWORD kPipeBufferSize = 4096;
constexpr DWORD kWriteTimeoutMs = 1000;

HANDLE CreatePipeInstance() {
    return CreateNamedPipeA(kVirtualPipeName, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                            PIPE_UNLIMITED_INSTANCES, kPipeBufferSize, kPipeBufferSize, 0, nullptr);
}

}  // namespace

VirtualReceiverServer::VirtualReceiverServer(uint16_t vendorId, uint16_t productId)
    : vendorId_(vendorId), productId_(productId) {}

VirtualReceiverServer::~VirtualReceiverServer() {
    Stop();
}

bool VirtualReceiverServer::Start() {
    if (acceptThread_.joinable()) {
        return true;
    }
    stopEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // The first instance exists before Start returns, so a client may open it at once.
    HANDLE firstPipe = CreatePipeInstance();
    if (stopEvent_ == nullptr || firstPipe == INVALID_HANDLE_VALUE) {
        if (firstPipe != INVALID_HANDLE_VALUE) {
            CloseHandle(firstPipe);
        }
        return false;
    }
    acceptThread_ = std::thread(&VirtualReceiverServer::AcceptClients, this, firstPipe);
    return true;
}

void VirtualReceiverServer::Stop() {
    if (acceptThread_.joinable()) {
        SetEvent(stopEvent_);
        acceptThread_.join();
    }
    if (stopEvent_ != nullptr) {
        CloseHandle(stopEvent_);
        stopEvent_ = nullptr;
    }
    std::lock_guard<std::mutex> lock(clientsMutex_);
    // Closing without disconnecting leaves the reports already written readable: the client
    // reads them, then finds the pipe broken, as a reader finds a receiver that left.
    for (HANDLE client : clients_) {
        CloseHandle(client);
    }
    clients_.clear();
}

bool VirtualReceiverServer::WriteMessage(HANDLE pipe, const void* data, DWORD size) {
    // A client that closed its end is gone; writing to it would wait for nobody.
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, nullptr, nullptr)) {
        return false;
    }
    DWORD written = 0;
    bool done = TransferWithin(pipe, kWriteTimeoutMs, written, [&](OVERLAPPED& overlapped) {
        return WriteFile(pipe, data, size, nullptr, &overlapped);
    });
    return done && written == size;
}

void VirtualReceiverServer::AcceptClients(HANDLE pipe) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE waits[] = {stopEvent_, overlapped.hEvent};
    uint8_t identity[kVirtualIdentitySize];
    WriteVirtualIdentity(vendorId_, productId_, identity);
    while (overlapped.hEvent != nullptr && pipe != INVALID_HANDLE_VALUE) {
        ResetEvent(overlapped.hEvent);
        bool connected = ConnectNamedPipe(pipe, &overlapped) != 0;
        DWORD error = connected ? ERROR_PIPE_CONNECTED : GetLastError();
        if (error == ERROR_IO_PENDING) {
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
                CancelIoEx(pipe, &overlapped);
                DWORD ignored = 0;
                GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
                CloseHandle(pipe);
                pipe = INVALID_HANDLE_VALUE;
                break;
            }
            DWORD ignored = 0;
            error = GetOverlappedResult(pipe, &overlapped, &ignored, FALSE) ? ERROR_PIPE_CONNECTED
                                                                            : GetLastError();
        }
        // The next instance waits before this client is greeted, so no client finds none.
        HANDLE next = CreatePipeInstance();
        if (error == ERROR_PIPE_CONNECTED && WriteMessage(pipe, identity, sizeof identity)) {
            std::lock_guard<std::mutex> lock(clientsMutex_);
            clients_.push_back(pipe);
        } else {
            CloseHandle(pipe);
        }
        pipe = next;
    }
    if (pipe != INVALID_HANDLE_VALUE) {
        CloseHandle(pipe);
    }
    if (overlapped.hEvent != nullptr) {
        CloseHandle(overlapped.hEvent);
    }
}

int VirtualReceiverServer::SendReport(const uint8_t (&report)[kVirtualReportSize]) {
    std::lock_guard<std::mutex> lock(clientsMutex_);
    int delivered = 0;
    for (auto client = clients_.begin(); client != clients_.end();) {
        if (WriteMessage(*client, report, sizeof report)) {
            ++delivered;
            ++client;
        } else {
            // The client went away: forget it, as a device forgets a closed handle.
            CloseHandle(*client);
            client = clients_.erase(client);
        }
    }
    return delivered;
}

// Counts only clients whose end is still open: one that connected and left again, as a
// discovery that rejected the identity does, is no reader.
int VirtualReceiverServer::ClientCount() {
    std::lock_guard<std::mutex> lock(clientsMutex_);
    for (auto client = clients_.begin(); client != clients_.end();) {
        if (PeekNamedPipe(*client, nullptr, 0, nullptr, nullptr, nullptr)) {
            ++client;
        } else {
            CloseHandle(*client);
            client = clients_.erase(client);
        }
    }
    return static_cast<int>(clients_.size());
}

bool VirtualReceiverServer::WaitForClients(int count, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (ClientCount() < count) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(10);
    }
    return true;
}
