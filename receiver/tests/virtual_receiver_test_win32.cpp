// The virtual receiver end to end within one process: discovery over the pipe, the reader
// thread, unplugging and several clients.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "receiver/receiver_win32.h"
#include "receiver/report_reader_win32.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "testing/message_pump_win32.h"

namespace {

class Reports {
  public:
    ReportReader::Handler Handler() {
        return [this](uint8_t* report, DWORD length) {
            std::lock_guard<std::mutex> lock(mutex_);
            received_.emplace_back(report, report + length);
        };
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_.size();
    }
    std::vector<std::vector<uint8_t>> All() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

  private:
    std::mutex mutex_;
    std::vector<std::vector<uint8_t>> received_;
};

bool StartReading(ReportReader& reader, AcceptedReceivers accepted) {
    ReceiverHandles found;
    if (!FindReceiver(accepted, found)) {
        return false;
    }
    return reader.Start(found.ReleaseReadHandle(), found.inputReportLength);
}

const uint8_t kPowerDown[5] = {0, 0x40, 0, 1, 0x0F};
const uint8_t kPowerUp[5] = {0, 0x40, 1, 1, 0x0F};

TEST(VirtualReceiver, NotFoundWithoutServer) {
    ReceiverHandles found;
    EXPECT_FALSE(FindReceiver(AcceptedReceivers::kTrayProgram, found));
}

TEST(VirtualReceiver, IdentityDecidesWhoAcceptsIt) {
    VirtualReceiverServer alternate(0x147A, 0xE006);
    ASSERT_TRUE(alternate.Start());
    ReceiverHandles found;
    EXPECT_FALSE(FindReceiver(AcceptedReceivers::kEditor, found));
    EXPECT_EQ(alternate.ClientCount(), 0);  // the editor looked and left
    EXPECT_TRUE(FindReceiver(AcceptedReceivers::kTrayProgram, found));
    EXPECT_EQ(found.inputReportLength, 5u);
    alternate.Stop();

    VirtualReceiverServer stranger(0x1234, 0xE001);
    ASSERT_TRUE(stranger.Start());
    EXPECT_FALSE(FindReceiver(AcceptedReceivers::kTrayProgram, found));
}

// Whoever serves the name feeds the programs keys: a second server cannot take it over, and
// the programs keep the first one's receiver; once that one stops, the name is free again.
TEST(VirtualReceiver, ASecondServerCannotTakeTheNameWhileOneServes) {
    VirtualReceiverServer serving(0x147A, 0xE001);
    ASSERT_TRUE(serving.Start());
    VirtualReceiverServer intruder(0x147A, 0xE006);
    EXPECT_FALSE(intruder.Start());
    ReceiverHandles found;
    for (int open = 0; open < 8; ++open) {  // every instance offered is the first server's
        EXPECT_TRUE(FindReceiver(AcceptedReceivers::kEditor, found)) << open;
    }
    serving.Stop();
    EXPECT_TRUE(intruder.Start());
}

TEST(VirtualReceiver, ReaderGetsEveryReportInOrder) {
    VirtualReceiverServer server(0x147A, 0xE001);
    ASSERT_TRUE(server.Start());
    Reports reports;
    ReportReader reader(reports.Handler());
    ASSERT_TRUE(StartReading(reader, AcceptedReceivers::kEditor));
    ASSERT_TRUE(server.WaitForClients(1, 5000));
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(server.SendReport(i % 2 ? kPowerUp : kPowerDown), 1);
    }
    ASSERT_TRUE(PumpUntil([&] { return reports.Count() == 50; }));
    auto all = reports.All();
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(all[i].size(), 5u);
        EXPECT_EQ(all[i][2], i % 2) << i;
        EXPECT_EQ(all[i][3], 1);
        EXPECT_EQ(all[i][4], 0x0F);
    }
}

TEST(VirtualReceiver, StoppedReaderCallsNothingMore) {
    VirtualReceiverServer server(0x147A, 0xE001);
    ASSERT_TRUE(server.Start());
    Reports reports;
    ReportReader reader(reports.Handler());
    ASSERT_TRUE(StartReading(reader, AcceptedReceivers::kTrayProgram));
    ASSERT_TRUE(server.WaitForClients(1, 5000));
    reader.Stop();
    EXPECT_FALSE(reader.IsReading());
    server.SendReport(kPowerDown);
    Sleep(200);
    EXPECT_EQ(reports.Count(), 0u);
}

TEST(VirtualReceiver, UnplugEndsReadingAndPlugInIsFoundAgain) {
    auto server = std::make_unique<VirtualReceiverServer>(0x147A, 0xE001);
    ASSERT_TRUE(server->Start());
    Reports reports;
    ReportReader reader(reports.Handler());
    ASSERT_TRUE(StartReading(reader, AcceptedReceivers::kTrayProgram));
    ASSERT_TRUE(server->WaitForClients(1, 5000));
    server.reset();
    ASSERT_TRUE(PumpUntil([&] { return !reader.IsReading(); }));

    server = std::make_unique<VirtualReceiverServer>(0x147A, 0xE001);
    ASSERT_TRUE(server->Start());
    ASSERT_TRUE(StartReading(reader, AcceptedReceivers::kTrayProgram));
    ASSERT_TRUE(server->WaitForClients(1, 5000));
    server->SendReport(kPowerDown);
    ASSERT_TRUE(PumpUntil([&] { return reports.Count() == 1; }));
}

TEST(VirtualReceiver, ReportsWrittenBeforeUnplugAreStillRead) {
    auto server = std::make_unique<VirtualReceiverServer>(0x147A, 0xE001);
    ASSERT_TRUE(server->Start());
    ReceiverHandles found;
    ASSERT_TRUE(FindReceiver(AcceptedReceivers::kTrayProgram, found));
    ASSERT_TRUE(server->WaitForClients(1, 5000));
    EXPECT_EQ(server->SendReport(kPowerDown), 1);
    EXPECT_EQ(server->SendReport(kPowerUp), 1);
    server.reset();  // unplugged before the client read anything

    Reports reports;
    ReportReader reader(reports.Handler());
    ASSERT_TRUE(reader.Start(found.ReleaseReadHandle(), found.inputReportLength));
    ASSERT_TRUE(PumpUntil([&] { return !reader.IsReading(); }));
    auto all = reports.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], std::vector<uint8_t>(kPowerDown, kPowerDown + 5));
    EXPECT_EQ(all[1], std::vector<uint8_t>(kPowerUp, kPowerUp + 5));
}

TEST(VirtualReceiver, EveryClientGetsEveryReport) {
    VirtualReceiverServer server(0x147A, 0xE001);
    ASSERT_TRUE(server.Start());
    Reports first, second;
    ReportReader firstReader(first.Handler()), secondReader(second.Handler());
    ASSERT_TRUE(StartReading(firstReader, AcceptedReceivers::kTrayProgram));
    ASSERT_TRUE(StartReading(secondReader, AcceptedReceivers::kEditor));
    ASSERT_TRUE(server.WaitForClients(2, 5000));
    EXPECT_EQ(server.SendReport(kPowerDown), 2);
    EXPECT_EQ(server.SendReport(kPowerUp), 2);
    ASSERT_TRUE(PumpUntil([&] { return first.Count() == 2 && second.Count() == 2; }));
}

}  // namespace
