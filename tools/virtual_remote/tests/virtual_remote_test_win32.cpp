// VirtualRemote.exe run with a script against a client in this test: the exact reports, the
// receiver leaving and coming back (and every window told so), the product id it announces,
// and its exit codes.

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>
// windows.h first: dbt.h builds on its types.
#include <dbt.h>

#include "receiver/receiver_win32.h"
#include "receiver/report_reader_win32.h"
#include "testing/e2e_win32.h"
#include "testing/test_window_win32.h"

namespace {

class Client {
  public:
    Client() : reader_([this](uint8_t* report, DWORD length) { Received(report, length); }) {}

    // Finds the remote's pipe, waiting for the remote to open it.
    bool Connect(AcceptedReceivers accepted, DWORD timeoutMs = 10000) {
        return PumpUntil(
            [&] {
                ReceiverHandles found;
                return FindReceiver(accepted, found) &&
                       reader_.Start(found.ReleaseReadHandle(), found.inputReportLength);
            },
            timeoutMs);
    }
    bool WaitForReports(size_t count) {
        return PumpUntil([&] { return Reports().size() >= count; });
    }
    bool WaitUntilUnplugged() {
        return PumpUntil([&] { return !reader_.IsReading(); });
    }
    std::vector<std::string> Reports() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reports_;
    }

  private:
    void Received(const uint8_t* report, DWORD length) {
        std::string text;
        for (DWORD i = 0; i < length; ++i) {
            char hex[4];
            snprintf(hex, sizeof hex, "%02X", report[i]);
            text += (i ? " " : "") + std::string(hex);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        reports_.push_back(text);
    }

    std::mutex mutex_;
    std::vector<std::string> reports_;
    ReportReader reader_;
};

// A top-level window of this test: it hears of HID interfaces arriving and leaving as Tellwand
// would, through a header that came from the remote's process.
class DeviceChangeLog {
  public:
    DeviceChangeLog() {
        window_ = CreateTestWindow("VirtualRemoteTestDeviceChanges", Record, "", WS_POPUP);
        Events().clear();
    }
    ~DeviceChangeLog() { DestroyWindow(window_); }
    // DBT_DEVICEARRIVAL and DBT_DEVICEREMOVECOMPLETE in the order they came.
    static std::vector<WPARAM>& Events() {
        static std::vector<WPARAM> events;
        return events;
    }
    bool WaitFor(const std::vector<WPARAM>& expected) {
        PumpUntil([&] { return Events().size() >= expected.size(); });
        return Events() == expected;
    }

  private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DEVICECHANGE && IsHidInterfaceChange(wParam, lParam)) {
            Events().push_back(wParam);
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

// Waits for the remote's end while this thread's windows take its device-change notices.
bool WaitForExit(ChildProcess& remote, DWORD* exitCode) {
    return PumpUntil([&] { return !remote.IsRunning(); }, 10000) && remote.WaitForExit(0, exitCode);
}

bool StartRemote(ChildProcess& remote, const std::string& arguments) {
    std::string folder = VirtualProgramsFolder();
    return remote.Start(folder + "VirtualRemote.exe", arguments, folder);
}

TEST(VirtualRemote, ScriptSendsItsReportsAndUnplugs) {
    DeviceChangeLog changes;
    ChildProcess remote;
    ASSERT_TRUE(StartRemote(remote,
                            "--no-window --script \"clients 1; Power down; wait 100; Power up; "
                            "press Digit5; pad move 10 -3; pad left 0 0; raw 40 00 23; unplug; "
                            "wait 200; plug; clients 1; press dvd\""));
    Client client;
    ASSERT_TRUE(client.Connect(AcceptedReceivers::kEditor));
    ASSERT_TRUE(client.WaitUntilUnplugged());
    ASSERT_TRUE(client.Connect(AcceptedReceivers::kEditor));
    ASSERT_TRUE(client.WaitForReports(9));
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(remote, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    // Plugged in at the start, unplugged and plugged by the script, unplugged at the end.
    EXPECT_TRUE(changes.WaitFor({DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEARRIVAL,
                                 DBT_DEVICEREMOVECOMPLETE}));
    std::vector<std::string> expected = {
        "00 40 00 01 0F", "00 40 01 01 0F", "00 40 00 1B 0F", "00 40 01 1B 0F", "00 88 0A 03 00",
        "00 89 00 00 00", "00 40 00 23 0F", "00 40 00 23 0F", "00 40 01 23 0F",
    };
    EXPECT_EQ(client.Reports(), expected);
}

TEST(VirtualRemote, AnnouncesTheOtherProductWhenAsked) {
    ChildProcess remote;
    ASSERT_TRUE(StartRemote(
        remote, "--no-window --product 0xE006 --script \"clients 1; press Power; wait 1500\""));
    Client tray;
    ASSERT_TRUE(tray.Connect(AcceptedReceivers::kTrayProgram));
    ASSERT_TRUE(tray.WaitForReports(2));
    Client editor;
    EXPECT_FALSE(editor.Connect(AcceptedReceivers::kEditor, 1000));
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(remote, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(VirtualRemote, WrongScriptEndsAtOnceWithCodeTwo) {
    ChildProcess remote;
    ASSERT_TRUE(StartRemote(remote, "--script \"Power down; jump 3\""));
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(remote, &exitCode));
    EXPECT_EQ(exitCode, 2u);
    Client client;
    EXPECT_FALSE(client.Connect(AcceptedReceivers::kTrayProgram, 500));
}

TEST(VirtualRemote, WindowEndsWithTheScript) {
    ChildProcess remote;
    ASSERT_TRUE(StartRemote(remote, "--script \"clients 1; press Mute\""));
    ASSERT_NE(WaitForWindow("TellwandVirtualRemote", "Virtual Remote"), nullptr);
    Client client;
    ASSERT_TRUE(client.Connect(AcceptedReceivers::kEditor));
    ASSERT_TRUE(client.WaitForReports(2));
    EXPECT_EQ(client.Reports()[0], "00 40 00 11 0F");
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(remote, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(VirtualRemote, ButtonUnplugsAndPlugsTheReceiverBackIn) {
    DeviceChangeLog changes;
    ChildProcess remote;
    ASSERT_TRUE(StartRemote(remote, ""));
    HWND window = WaitForWindow("TellwandVirtualRemote", "Virtual Remote");
    ASSERT_NE(window, nullptr);
    // The remote makes its buttons just after its window, which the search may find between.
    HWND button = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        button = FindWindowExA(window, nullptr, "Button", "Unplug");
        return button != nullptr;
    }));
    Client client;
    ASSERT_TRUE(client.Connect(AcceptedReceivers::kEditor));
    ASSERT_TRUE(changes.WaitFor({DBT_DEVICEARRIVAL}));

    PostMessageA(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(client.WaitUntilUnplugged());
    EXPECT_TRUE(changes.WaitFor({DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE}));
    EXPECT_TRUE(PumpUntil([&] { return FindWindowExA(window, nullptr, "Button", "Plug in"); }));

    PostMessageA(button, BM_CLICK, 0, 0);
    EXPECT_TRUE(client.Connect(AcceptedReceivers::kEditor));
    EXPECT_TRUE(changes.WaitFor({DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEARRIVAL}));
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(WaitForExit(remote, &exitCode));
}

}  // namespace
