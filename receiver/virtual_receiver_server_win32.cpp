#include "receiver/virtual_receiver_server_win32.h"

// windows.h (through the header above) first: dbt.h builds on its types.
#include <dbt.h>

#include <iterator>
#include <utility>

#include "receiver/pipe_transfer_win32.h"
#include "receiver/receiver_identity.h"
#include "receiver/receiver_win32.h"

namespace {

constexpr DWORD kPipeBufferSize = 4096;
constexpr DWORD kWriteTimeoutMs = 1000;
// Instances waiting for clients at any time.
constexpr int kWaitingInstances = 4;
// A window's answer to a device change may take a discovery; a hung window gets no longer.
constexpr DWORD kAnnounceTimeoutMs = 5000;

// One pipe instance waiting for its client.
struct WaitingInstance {
    ScopedHandle pipe;
    ScopedHandle event;  // connect's event
    OVERLAPPED connect = {};
    bool pending = false;    // the overlapped connect is under way
    bool connected = false;  // the client came before the wait began
};

// Starts the wait: the instance's event is set when a client is there (or the instance broke).
void WaitForClient(WaitingInstance& instance) {
    HANDLE event = instance.event.get();
    ResetEvent(event);
    instance.connect = {};
    instance.connect.hEvent = event;
    instance.pending = false;
    instance.connected = false;
    if (!instance.pipe) {
        return;  // no new instance could be made: this slot waits no more
    }
    if (ConnectNamedPipe(instance.pipe.get(), &instance.connect)) {
        instance.connected = true;
    } else if (GetLastError() == ERROR_IO_PENDING) {
        instance.pending = true;
        return;
    } else {
        instance.connected = GetLastError() == ERROR_PIPE_CONNECTED;
    }
    SetEvent(event);
}

bool HasClient(WaitingInstance& instance) {
    DWORD ignored = 0;
    return instance.connected ||
           (instance.pending &&
            GetOverlappedResult(instance.pipe.get(), &instance.connect, &ignored, FALSE));
}

void StopWaiting(WaitingInstance& instance) {
    if (instance.pending) {
        CancelIoEx(instance.pipe.get(), &instance.connect);
        DWORD ignored = 0;
        GetOverlappedResult(instance.pipe.get(), &instance.connect, &ignored, TRUE);
    }
    instance.pipe.Reset();
    instance.event.Reset();
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

}  // namespace

VirtualReceiverServer::VirtualReceiverServer(uint16_t vendorId, uint16_t productId)
    : pipeName_(kVirtualPipeName) {
    uint8_t identity[kVirtualIdentitySize];
    WriteVirtualIdentity(vendorId, productId, identity);
    greeting_.assign(std::begin(identity), std::end(identity));
}

VirtualReceiverServer::VirtualReceiverServer(std::string pipeName)
    : pipeName_(std::move(pipeName)) {}

ScopedHandle VirtualReceiverServer::CreatePipeInstance(DWORD flags) const {
    return ScopedHandle(
        CreateNamedPipeA(pipeName_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | flags,
                         PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                         PIPE_UNLIMITED_INSTANCES, kPipeBufferSize, kPipeBufferSize, 0, nullptr));
}

// The first instance claims the name: whoever already serves it keeps it, and this server
// does not start. Wine takes the flag without refusing, so the instances are counted too
// (Wine workaround of 3e5cd43; on Windows the flag alone refuses).
ScopedHandle VirtualReceiverServer::ClaimPipeName() const {
    ScopedHandle pipe = CreatePipeInstance(FILE_FLAG_FIRST_PIPE_INSTANCE);
    DWORD instances = 0;
    if (pipe &&
        (!GetNamedPipeHandleStateA(pipe.get(), nullptr, &instances, nullptr, nullptr, nullptr, 0) ||
         instances != 1)) {
        pipe.Reset();
    }
    return pipe;
}

VirtualReceiverServer::~VirtualReceiverServer() {
    Stop();
}

bool VirtualReceiverServer::Start() {
    std::lock_guard<std::mutex> lock(plugMutex_);
    if (acceptThread_.joinable()) {
        return true;
    }
    stopEvent_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    // The instances exist before Start returns, so clients may open them at once: a program
    // may open a device twice in a row, as discovery does, before the thread makes new ones.
    std::vector<ScopedHandle> pipes;
    ScopedHandle first = ClaimPipeName();
    if (first) {
        pipes.push_back(std::move(first));
        for (int i = 1; i < kWaitingInstances; ++i) {
            ScopedHandle pipe = CreatePipeInstance();
            if (pipe) {
                pipes.push_back(std::move(pipe));
            }
        }
    }
    if (!stopEvent_ || pipes.empty()) {
        stopEvent_.Reset();
        return false;
    }
    acceptThread_ = std::thread(&VirtualReceiverServer::AcceptClients, this, std::move(pipes));
    plugged_.store(true);
    return true;
}

void VirtualReceiverServer::Stop() {
    std::lock_guard<std::mutex> plugLock(plugMutex_);
    plugged_.store(false);
    if (acceptThread_.joinable()) {
        SetEvent(stopEvent_.get());
        acceptThread_.join();
    }
    stopEvent_.Reset();
    std::lock_guard<std::mutex> lock(clientsMutex_);
    // Closing without disconnecting leaves the reports already written readable: the client
    // reads them, then finds the pipe broken, as a reader finds a receiver that left.
    clients_.clear();
}

bool VirtualReceiverServer::Plug() {
    if (!Start()) {
        return false;
    }
    AnnounceHidInterfaceChange(DBT_DEVICEARRIVAL);
    return true;
}

void VirtualReceiverServer::Unplug() {
    Stop();
    AnnounceHidInterfaceChange(DBT_DEVICEREMOVECOMPLETE);
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

// Greets a connected client and keeps it, or lets it go.
void VirtualReceiverServer::TakeClient(ScopedHandle pipe) {
    if (greeting_.empty() ||
        WriteMessage(pipe.get(), greeting_.data(), static_cast<DWORD>(greeting_.size()))) {
        std::lock_guard<std::mutex> lock(clientsMutex_);
        clients_.push_back(std::move(pipe));
    }
}

void VirtualReceiverServer::AcceptClients(std::vector<ScopedHandle> pipes) {
    std::vector<WaitingInstance> waiting(pipes.size());
    std::vector<HANDLE> waits = {stopEvent_.get()};
    for (std::size_t i = 0; i < pipes.size(); ++i) {
        waiting[i].pipe = std::move(pipes[i]);
        waiting[i].event.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        waits.push_back(waiting[i].event.get());
        WaitForClient(waiting[i]);
    }
    for (;;) {
        DWORD woken =
            WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        std::size_t slot = woken - WAIT_OBJECT_0 - 1;
        if (woken == WAIT_OBJECT_0 || slot >= waiting.size()) {
            break;  // stopped, or the wait failed
        }
        WaitingInstance& instance = waiting[slot];
        if (HasClient(instance)) {
            TakeClient(std::move(instance.pipe));
        }
        instance.pipe = CreatePipeInstance();
        WaitForClient(instance);
    }
    for (WaitingInstance& instance : waiting) {
        StopWaiting(instance);
    }
}

int VirtualReceiverServer::SendReport(const uint8_t (&report)[kVirtualReportSize]) {
    std::lock_guard<std::mutex> lock(clientsMutex_);
    int delivered = 0;
    for (auto client = clients_.begin(); client != clients_.end();) {
        if (WriteMessage(client->get(), report, sizeof report)) {
            ++delivered;
            ++client;
        } else {
            // The client went away: forget it, as a device forgets a closed handle.
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
        if (PeekNamedPipe(client->get(), nullptr, 0, nullptr, nullptr, nullptr)) {
            ++client;
        } else {
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

void AnnounceHidInterfaceChange(WPARAM event) {
    DEV_BROADCAST_DEVICEINTERFACE_A header = {};
    header.dbcc_size = sizeof header;
    header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header.dbcc_classguid = HidClassGuid();
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        // Sent, not posted: the header is a pointer, which Wine copies into the receiving
        // process (dbch_size bytes) for device-change events, those with bit 0x8000 set.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&header),
                            SMTO_ABORTIFHUNG, kAnnounceTimeoutMs, &ignored);
    }
}
