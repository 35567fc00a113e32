// The shipped programs of bin/, byte for byte as built, on Wine's own setupapi, hid.dll, HID
// class driver and Plug and Play, with nothing of ours in between: the receiver and the other
// HID devices are devices of the test driver (tools/virtual_hid), plugged and unplugged through
// SetupAPI, and every WM_DEVICECHANGE the programs get comes from Wine. The test runs in a
// prefix of its own: the driver stays loaded as long as that prefix's wineserver runs.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/scoped_win32.h"
#include "config/buttons.h"
#include "config/registry_win32.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "tellwand/menu_texts.h"
#include "tellwand/tray_icon.h"
#include "testing/e2e_win32.h"
#include "testing/editor_setup_win32.h"
#include "testing/file_bytes.h"
#include "testing/key_log_window_win32.h"
#include "testing/tellwand_e2e_win32.h"
#include "testing/temp_folder_win32.h"
#include "tests/e2e/hotplug_scenario.h"
#include "tools/virtual_hid/virtual_hid_win32.h"
#include "wandedit/resource_ids.h"

namespace {

constexpr VirtualHidIds kReceiver = {kReceiverVendorId, kReceiverProductId};
constexpr VirtualHidIds kAlternateReceiver = {kReceiverVendorId, kReceiverProductIdAlternate};
constexpr VirtualHidIds kOtherProduct = {kReceiverVendorId, 0xE002};
constexpr VirtualHidIds kMouse = {0x046D, 0xC077};
constexpr VirtualHidIds kAnotherMakersDevice = {0x046D, 0xC31C};

std::string ToolPath() {
    return BuildFolder("virtual_hid") + "VirtualHid.exe";
}

std::string PlugDevice(VirtualHidIds ids) {
    std::string folder = BuildFolder("virtual_hid");
    folder.pop_back();  // the trailing backslash
    return PlugVirtualHid(ids, std::wstring(folder.begin(), folder.end()));
}

// VirtualHid.exe as a test outside the project runs it; its exit code.
DWORD RunTool(const std::string& arguments) {
    ChildProcess tool;
    DWORD exitCode = 0xFFFF;
    if (!tool.Start(ToolPath(), arguments, BuildFolder("virtual_hid")) ||
        !tool.WaitForExit(30000, &exitCode)) {
        return 0xFFFF;
    }
    return exitCode;
}

bool ValueNamesHidOrSetupapi(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    ScopedRegistryKey values(opened);
    bool named = false;
    for (const char* dll : {"hid", "setupapi", "hid.dll", "setupapi.dll"}) {
        named = named || RegQueryValueExA(values.get(), dll, nullptr, nullptr, nullptr, nullptr) ==
                             ERROR_SUCCESS;
    }
    return named;
}

// Wine's own DLLs, for every program of the prefix: no override names them, neither the
// prefix's nor any program's, nor one in the environment the programs inherit.
bool AnyOverrideOfHidOrSetupapi() {
    const std::string overrides = "Software\\Wine\\DllOverrides";
    if (ValueNamesHidOrSetupapi(HKEY_CURRENT_USER, overrides)) {
        return true;
    }
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults", 0, KEY_READ, &opened) ==
        ERROR_SUCCESS) {
        ScopedRegistryKey programs(opened);
        char name[MAX_PATH] = {};
        bool named = false;
        for (DWORD index = 0;
             !named && RegEnumKeyA(programs.get(), index, name, sizeof name) == ERROR_SUCCESS;
             ++index) {
            named = ValueNamesHidOrSetupapi(programs.get(), std::string(name) + "\\DllOverrides");
        }
        if (named) {
            return true;
        }
    }
    char environment[512] = {};
    GetEnvironmentVariableA("WINEDLLOVERRIDES", environment, sizeof environment);
    CharLowerA(environment);
    return std::strstr(environment, "hid") != nullptr ||
           std::strstr(environment, "setupapi") != nullptr;
}

class HidStackTest : public ::testing::Test {
  protected:
    // The other HID devices stay for the whole suite: the maker's other product and another
    // maker's mouse. One target window for all tests: under Wine without a window manager
    // (50ecbed), destroying a shown window takes seconds.
    static void SetUpTestSuite() {
        target = CreateKeyLogWindow();
        suiteFailure = UnplugAllVirtualHid();
        for (VirtualHidIds ids : {kOtherProduct, kMouse}) {
            suiteFailure += suiteFailure.empty() ? PlugDevice(ids) : "";
        }
    }
    static void TearDownTestSuite() {
        UnplugAllVirtualHid();
        DestroyWindow(target);
    }

    void SetUp() override {
        ASSERT_EQ(suiteFailure, "");
        ForgetEditorRegistry();
        ASSERT_TRUE(CopyProgram("Tellwand.exe", folder.path(), BuildFolder("bin")));
        WriteFileBytes(folder.path() + "UserDef.ini", kUserDef);
        WriteFileBytes(folder.path() + "UserDefInf.ini", kUserDefInf);
        LoggedKeys().clear();
    }
    void TearDown() override {
        if (tellwand.IsRunning()) {
            ExitTellwand(tellwand);
        }
        wandEdit.Kill();
        tellwand.Kill();
        WaitForMutexGone(kEditorMutex);
        for (VirtualHidIds ids : {kReceiver, kAlternateReceiver, kAnotherMakersDevice}) {
            UnplugVirtualHid(ids);
        }
        ForgetEditorRegistry();
    }

    static void Plug(VirtualHidIds ids) { ASSERT_EQ(PlugDevice(ids), ""); }
    static void Unplug(VirtualHidIds ids) { ASSERT_EQ(UnplugVirtualHid(ids), ""); }

    static void Report(VirtualHidIds ids, uint8_t type, uint8_t b2, uint8_t b3, uint8_t b4) {
        const uint8_t report[kVirtualHidReportLength] = {0, type, b2, b3, b4};
        ASSERT_EQ(SendVirtualHidReport(ids, report), "");
    }
    static void Press(uint8_t code, bool down, VirtualHidIds ids = kReceiver) {
        Report(ids, kButtonReport, down ? 0 : 1, code, 0x0F);
    }

    // Enabled, which Tellwand is only with the receiver open and read.
    static bool TellwandShows(const char* tip) {
        return PumpUntil([tip] { return TrayIconTip() == tip; });
    }

    // Starts Tellwand in user mode with the "Music" table and the receiver plugged in.
    void StartTellwand() {
        ASSERT_TRUE(StoreSettings(0, "Music"));
        ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
        ASSERT_NE(WaitForWindow(kTellwandWindowClass, nullptr), nullptr);
        SelectModeAndEnable(kUserMode);
        ASSERT_TRUE(NoWarning());
        ASSERT_TRUE(TellwandShows(kTipEnabled)) << TrayIconTip();
    }

    bool NoWarning() { return FindWindowA("#32770", kWarning) == nullptr; }

    void ExpectKeys(const std::vector<std::string>& expected) {
        EXPECT_EQ(TakeLoggedKeys(expected.size()), expected);
    }

    // One press of Menu plays Control+X once: no report lost, none doubled.
    void ExpectPressPlaysOnce() {
        FocusWindow(target);
        Press(kMenuCode, true);
        Press(kMenuCode, false);
        ExpectKeys({"down 11", "down 58", "up 58", "up 11"});
    }

    TempFolder folder;
    ChildProcess tellwand;
    ChildProcess wandEdit;
    inline static HWND target = nullptr;
    inline static std::string suiteFailure;
};

TEST_F(HidStackTest, ThePrefixHasNoOverrideOfHidOrSetupapi) {
    EXPECT_FALSE(AnyOverrideOfHidOrSetupapi());
}

// What a test outside the project does: plug the receiver and press its buttons with
// VirtualHid.exe, among the other devices, and use the pad.
TEST_F(HidStackTest, ReceiverFoundAmongOtherHidDevicesPlaysPressesAndThePad) {
    ASSERT_EQ(RunTool("plug"), 0u);
    StartTellwand();
    FocusWindow(target);
    ASSERT_EQ(RunTool("report 147A:E001 00 40 00 05 0F"), 0u);
    ASSERT_EQ(RunTool("report 00 40 01 05 0F"), 0u);
    ExpectKeys({"down 11", "down 58", "up 58", "up 11"});

    Press(kMenuCode, true, kOtherProduct);  // not the receiver: nobody reads it
    Press(kMenuCode, false, kOtherProduct);
    ExpectKeys({});

    SetCursorPos(500, 400);
    POINT before = {};
    GetCursorPos(&before);
    Report(kReceiver, kPadMove, 10, 0, 0);  // right
    EXPECT_TRUE(PumpUntil([&] {
        POINT now = {};
        GetCursorPos(&now);
        return now.x > before.x;
    }));
    EXPECT_EQ(RunTool("report 147A:E003 00 40 00 05 0F"), 1u);  // no such device
}

TEST_F(HidStackTest, ReceiverUnpluggedMidPressAndPluggedInAgainNeedsNoReloadAndShowsNoBox) {
    Plug(kReceiver);
    StartTellwand();
    ExpectPressPlaysOnce();

    Press(kMenuCode, true);
    ExpectKeys({"down 11", "down 58"});
    Unplug(kReceiver);
    ExpectKeys({"up 58", "up 11"});  // let go at once
    EXPECT_TRUE(TellwandShows(kTipDisabled)) << TrayIconTip();
    EXPECT_TRUE(NoWarning());

    Plug(kReceiver);
    EXPECT_TRUE(TellwandShows(kTipEnabled)) << TrayIconTip();
    EXPECT_TRUE(NoWarning());
    ExpectPressPlaysOnce();
}

// Each arrival and departure has Tellwand look for the receiver again and replace its reader.
// Presses go on meanwhile: one made while the reader is replaced may be lost, never doubled.
TEST_F(HidStackTest, AnotherHidDeviceComingAndGoingLeavesTheReceiverReadOnce) {
    Plug(kReceiver);
    StartTellwand();
    FocusWindow(target);
    std::atomic<bool> changing{true};
    int presses = 0;
    std::thread presser([&] {
        while (changing) {
            Press(kMenuCode, true);
            Press(kMenuCode, false);
            ++presses;
            Sleep(60);  // about what a press costs Tellwand: no backlog, no overflow of the queue
        }
    });
    for (int round = 0; round < 3; ++round) {
        Plug(kAnotherMakersDevice);
        PumpFor(kNothingMoreMs);
        Unplug(kAnotherMakersDevice);
        PumpFor(kNothingMoreMs);
    }
    changing = false;
    presser.join();
    std::size_t logged = 0;
    do {
        logged = LoggedKeys().size();
        PumpFor(kNothingMoreMs);
    } while (LoggedKeys().size() != logged);
    std::vector<std::string> keys = TakeLoggedKeys(0);
    auto count = [&keys](const char* key) { return std::count(keys.begin(), keys.end(), key); };
    EXPECT_LE(count("down 58"), presses) << presses << " presses";
    EXPECT_EQ(count("down 58"), count("up 58"));
    EXPECT_EQ(count("down 11"), count("up 11"));
    EXPECT_TRUE(NoWarning());
    ExpectPressPlaysOnce();
}

TEST_F(HidStackTest, AfterAResumeTellwandReadsTheReceiverOnce) {
    Plug(kReceiver);
    StartTellwand();
    for (WPARAM resume : {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND}) {
        SCOPED_TRACE(resume);
        SendToTellwand(WM_POWERBROADCAST, resume);
        EXPECT_TRUE(NoWarning());
        ExpectPressPlaysOnce();
    }
}

TEST_F(HidStackTest, HotkeyDialogFollowsTheReceiverAndWandEditRefusesTheOtherProduct) {
    Plug(kAlternateReceiver);
    HWND settings = StartEditorOnPlayerTable(wandEdit, folder.path(), BuildFolder("bin"));
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
    ASSERT_NE(WaitForWindow(kTellwandWindowClass, nullptr), nullptr);
    SelectModeAndEnable(kUserMode);
    ASSERT_TRUE(TellwandShows(kTipEnabled)) << TrayIconTip();
    auto pressDvd = [&](VirtualHidIds ids) {
        Press(kDvdCode, true, ids);
        Press(kDvdCode, false, ids);
    };
    FocusWindow(target);
    pressDvd(kAlternateReceiver);  // Tellwand takes the other product: "0-Q"
    ExpectKeys({"down 51", "up 51"});

    HWND dialog = OpenHotkeyDialog(settings);
    ASSERT_NE(dialog, nullptr);
    auto description = [&] { return HotkeyDialogDescription(dialog); };
    auto shows = [&](const char* text) { return PumpUntil([&] { return description() == text; }); };
    ASSERT_TRUE(shows("Refresh"));
    FocusWindow(target);
    pressDvd(
        kAlternateReceiver);  // WandEdit does not take it, and Tellwand leaves it to the dialog
    EXPECT_FALSE(PumpUntil([&] { return description() != "Refresh" || !LoggedKeys().empty(); },
                           kNothingMoreMs));

    // WandEdit opens the receiver again at its own pace after a plug: a press before that is
    // read by nobody, so the press is repeated until the dialog shows it.
    auto pressUntilShown = [&](uint8_t code, const char* text) {
        for (int attempt = 0; attempt < 40; ++attempt) {
            Press(code, true);
            Press(code, false);
            if (PumpUntil([&] { return description() == text; }, 250)) {
                return true;
            }
        }
        return false;
    };
    Unplug(kAlternateReceiver);
    Plug(kReceiver);
    EXPECT_TRUE(pressUntilShown(kDvdCode, "Quit"));
    Unplug(kReceiver);
    Plug(kReceiver);
    EXPECT_TRUE(pressUntilShown(kPowerCode, "Refresh"));
    EXPECT_TRUE(LoggedKeys().empty());

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForNoWindow("#32770", kHotkeyDialogTitle));
    FocusWindow(target);
    pressDvd(kReceiver);
    ExpectKeys({"down 51", "up 51"});
}

}  // namespace
