#include "tools/virtual_remote/remote_receiver_win32.h"

#include <algorithm>

#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tools/virtual_hid/virtual_hid_win32.h"

namespace {

class PipeReceiver : public RemoteReceiver {
  public:
    explicit PipeReceiver(uint16_t productId) : server_(kReceiverVendorId, productId) {}
    std::string Plug() override { return server_.Plug() ? "" : "cannot open the receiver pipe"; }
    void Unplug() override { server_.Unplug(); }
    bool IsPlugged() const override { return server_.IsPlugged(); }
    void Send(const RemoteReport& report) override {
        uint8_t bytes[kVirtualReportSize];
        std::copy(report.begin(), report.end(), bytes);
        server_.SendReport(bytes);
    }
    int ClientCount() override { return server_.ClientCount(); }
    bool WaitForClients(int count, DWORD deadlineMs) override {
        return server_.WaitForClients(count, deadlineMs);
    }

  private:
    VirtualReceiverServer server_;
};

// Plug and unplug go through Plug and Play, so the programs hear of them from Wine itself.
class HidReceiver : public RemoteReceiver {
  public:
    HidReceiver(uint16_t productId, const std::wstring& driverFolder)
        : ids_{kReceiverVendorId, productId}, driverFolder_(driverFolder) {}
    // A device plugged in already (by VirtualHid.exe before the programs started) is taken.
    std::string Plug() override {
        std::string failure = VirtualHidPlugged(ids_) ? "" : PlugVirtualHid(ids_, driverFolder_);
        plugged_ = failure.empty();
        return failure;
    }
    void Unplug() override {
        UnplugVirtualHid(ids_);
        plugged_ = false;
    }
    bool IsPlugged() const override { return plugged_; }
    void Send(const RemoteReport& report) override {
        uint8_t bytes[kVirtualHidReportLength];
        std::copy(report.begin(), report.end(), bytes);
        SendVirtualHidReport(ids_, bytes);
    }
    // The HID class driver reads the device whether a program has it open or not.
    int ClientCount() override { return -1; }
    bool WaitForClients(int, DWORD) override { return false; }

  private:
    VirtualHidIds ids_;
    std::wstring driverFolder_;
    bool plugged_ = false;
};

}  // namespace

std::unique_ptr<RemoteReceiver> MakePipeReceiver(uint16_t productId) {
    return std::make_unique<PipeReceiver>(productId);
}

std::unique_ptr<RemoteReceiver> MakeHidReceiver(uint16_t productId,
                                                const std::wstring& driverFolder) {
    return std::make_unique<HidReceiver>(productId, driverFolder);
}
