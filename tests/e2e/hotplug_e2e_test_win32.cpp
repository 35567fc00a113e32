// The receiver arriving and leaving while Tellwand and WandEdit run, as a user meets it, on the
// programs of bin-virtual/ with the virtual receiver. The shipped programs of bin/ meet real
// arrivals and departures through Wine's own HID stack (hid_stack_e2e_tests); here they get
// only what that stack cannot make, through the test stand-ins of setupapi.dll and hid.dll
// (tests/hid_standin): a receiver's handle dying unannounced (as across a sleep), a HID device
// no program may open (a keyboard) and the receiver in every place of the device list.
// Windows tells every program of a device coming and going; here the test does, as the
// virtual receiver's server does.

#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: dbt.h builds on its types.
#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/scoped_win32.h"
#include "config/buttons.h"
#include "config/registry_win32.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "testing/e2e_win32.h"
#include "testing/editor_setup_win32.h"
#include "testing/file_bytes.h"
#include "testing/key_log_window_win32.h"
#include "testing/tellwand_e2e_win32.h"
#include "testing/temp_folder_win32.h"
#include "testing/traced_process_win32.h"
#include "tests/e2e/hotplug_scenario.h"
#include "tests/hid_standin/hid_standin.h"
#include "wandedit/resource_ids.h"

namespace {

enum class Build { kVirtual, kShipped };

// The other HID devices of the shipped build's list. Windows lets no program open a keyboard,
// so its path opens nothing; the mouse and the maker's other product open and answer.
struct OtherDevice {
    uint16_t vendorId;
    uint16_t productId;
    const char* name;
};
const OtherDevice kKeyboard = {0x046D, 0xC31C, "keyboard"};
const OtherDevice kMouse = {0x046D, 0xC077, "mouse"};
const OtherDevice kOtherProduct = {kReceiverVendorId, 0xE002, "other"};

std::string PathOf(const OtherDevice& device) {
    return StandInDevicePath(device.vendorId, device.productId, device.name);
}

// The shipped programs load the stand-ins from the prefix's system folder in place of Wine's
// own DLLs: a DLL override of the prefix for Tellwand.exe and WandEdit.exe alone, for the
// test's time. Every other program keeps Wine's DLLs: Wine would take a DLL found in the
// system folder before its own, and its own services, which need all of SetupAPI, would
// fail. (An override in the environment reaches those services too.)
class StandInDlls {
  public:
    StandInDlls() = default;
    StandInDlls(const StandInDlls&) = delete;
    StandInDlls& operator=(const StandInDlls&) = delete;
    ~StandInDlls() {
        for (const char* program : kPrograms) {
            RegDeleteTreeA(HKEY_CURRENT_USER, (kAppDefaults + program).c_str());
        }
    }

    bool Install() {
        char system[MAX_PATH] = {};
        UINT length = GetSystemDirectoryA(system, sizeof system);
        if (length == 0 || length >= sizeof system ||
            !SetOverrides("Software\\Wine\\DllOverrides", "builtin")) {
            return false;
        }
        for (const char* dll : kDlls) {
            std::string from = BuildFolder("standins") + dll;
            if (!CopyFileA(from.c_str(), (std::string(system) + "\\" + dll).c_str(), FALSE)) {
                return false;
            }
        }
        for (const char* program : kPrograms) {
            if (!SetOverrides(kAppDefaults + program + "\\DllOverrides", "native,builtin")) {
                return false;
            }
        }
        return true;
    }

  private:
    static constexpr const char* kDlls[] = {"hid.dll", "setupapi.dll"};
    static constexpr const char* kPrograms[] = {"Tellwand.exe", "WandEdit.exe"};
    inline static const std::string kAppDefaults = "Software\\Wine\\AppDefaults\\";

    static bool SetOverrides(const std::string& key, const char* order) {
        HKEY opened = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &opened, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        ScopedRegistryKey overrides(opened);
        bool set = true;
        for (const char* name : {"hid", "setupapi"}) {
            set = set && RegSetValueExA(
                             overrides.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                             static_cast<DWORD>(std::strlen(order) + 1)) == ERROR_SUCCESS;
        }
        return set;
    }
};

// The HID devices the programs of one build meet, coming and going as Windows tells it: the
// device list changes (the stand-ins' list on the shipped build), then every window hears of
// it. The virtual build knows the receiver alone; another device is only its notice.
class HidDevices {
  public:
    HidDevices(Build build, std::string listFile) : build_(build), listFile_(std::move(listFile)) {}

    bool Prepare() {
        if (build_ == Build::kVirtual) {
            return true;
        }
        // Tellwand inherits the test's environment, and WandEdit Tellwand's.
        SetEnvironmentVariableA(kStandInDeviceListVariable, listFile_.c_str());
        standIns_ = std::make_unique<StandInDlls>();
        return standIns_->Install() && Serve(kMouse) && Serve(kOtherProduct) &&
               List({PathOf(kKeyboard), PathOf(kOtherProduct)});
    }

    std::string ProgramsFolder() const {
        return BuildFolder(build_ == Build::kShipped ? "bin" : "bin-virtual");
    }

    bool HasReceiver() const { return receiver_ != nullptr; }
    VirtualReceiverServer& receiver() { return *receiver_; }

    bool PlugReceiver(uint16_t productId = kReceiverProductId) {
        receiver_ = build_ == Build::kShipped
                        ? std::make_unique<VirtualReceiverServer>(ReceiverPath(productId))
                        : std::make_unique<VirtualReceiverServer>(kReceiverVendorId, productId);
        if (!receiver_->Start()) {
            return false;
        }
        receiverPath_ = ReceiverPath(productId);
        list_.push_back(receiverPath_);
        return Announce(DBT_DEVICEARRIVAL);
    }

    void UnplugReceiver() {
        receiver_.reset();
        Unlist(receiverPath_);
        Announce(DBT_DEVICEREMOVECOMPLETE);
    }

    // The receiver's handles die and new ones work, and nobody is told, as may happen across a
    // sleep.
    bool ReplaceReceiverSilently() {
        receiver_->Stop();
        return receiver_->Start();
    }

    // Another HID device, a mouse, plugged in before the receiver in the list, or unplugged.
    bool PlugMouse() {
        list_.insert(list_.begin(), PathOf(kMouse));
        return Announce(DBT_DEVICEARRIVAL);
    }
    void UnplugMouse() {
        Unlist(PathOf(kMouse));
        Announce(DBT_DEVICEREMOVECOMPLETE);
    }

    // Lists exactly these, in this order (the shipped build); nobody is told.
    bool List(std::vector<std::string> paths) {
        list_ = std::move(paths);
        return WriteList();
    }
    static std::string ReceiverPath(uint16_t productId = kReceiverProductId) {
        return StandInDevicePath(kReceiverVendorId, productId, "receiver");
    }

  private:
    bool Serve(const OtherDevice& device) {
        others_.push_back(std::make_unique<VirtualReceiverServer>(PathOf(device)));
        return others_.back()->Start();
    }
    void Unlist(const std::string& path) {
        list_.erase(std::remove(list_.begin(), list_.end(), path), list_.end());
    }
    bool WriteList() {
        std::string text;
        for (const std::string& path : list_) {
            text += path + "\r\n";
        }
        WriteFileBytes(listFile_, text);
        return ReadFileBytes(listFile_) == text;
    }
    bool Announce(WPARAM event) {
        if (build_ == Build::kShipped && !WriteList()) {
            return false;
        }
        AnnounceHidInterfaceChange(event);
        return true;
    }

    Build build_;
    std::string listFile_;
    std::unique_ptr<StandInDlls> standIns_;
    std::vector<std::string> list_;
    std::vector<std::unique_ptr<VirtualReceiverServer>> others_;
    std::unique_ptr<VirtualReceiverServer> receiver_;
    std::string receiverPath_;
};

class HotPlugTest : public ::testing::TestWithParam<Build> {
  protected:
    void SetUp() override {
        ForgetEditorRegistry();
        devices = std::make_unique<HidDevices>(GetParam(), folder.path() + "devices.txt");
        ASSERT_TRUE(devices->Prepare());
        ASSERT_TRUE(CopyProgram("Tellwand.exe", folder.path(), devices->ProgramsFolder()));
        WriteFileBytes(folder.path() + "UserDef.ini", kUserDef);
        WriteFileBytes(folder.path() + "UserDefInf.ini", kUserDefInf);
        LoggedKeys().clear();
    }
    // One target window for all tests: under Wine without a window manager (3de8b12), destroying a
    // shown window takes seconds.
    static void SetUpTestSuite() { target = CreateKeyLogWindow(); }
    static void TearDownTestSuite() { DestroyWindow(target); }
    void TearDown() override {
        if (tellwand.IsRunning()) {
            ExitTellwand(tellwand);
        }
        wandEdit.Kill();
        tellwand.Kill();
        WaitForMutexGone(kEditorMutex);
        devices.reset();
        ForgetEditorRegistry();
    }

    // Starts Tellwand in user mode with the "Music" table. With the receiver plugged in it
    // waits until Tellwand reads it; without, it answers the warning of the start.
    void StartTellwand() {
        ASSERT_TRUE(StoreSettings(0, "Music"));
        ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
        if (!devices->HasReceiver()) {
            std::string text;
            ASSERT_TRUE(AnswerMessageBox(kWarning, &text));
            EXPECT_EQ(text, "Couldn't find QD740 device!");
        }
        ASSERT_NE(WaitForWindow(kTellwandWindowClass, nullptr), nullptr);
        if (devices->HasReceiver()) {
            ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
            SelectModeAndEnable(kUserMode);
        } else {
            SendToTellwand(kMsgTableSelector, kUserMode);  // enabled when the receiver comes
        }
    }

    HWND TellwandWindow() { return FindWindowA(kTellwandWindowClass, nullptr); }
    bool NoWarning() { return FindWindowA("#32770", kWarning) == nullptr; }

    void Press(uint8_t code, bool down) {
        ASSERT_TRUE(SendButton(devices->receiver(), code, down));
    }

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

    // Tellwand's enabled state, as its icon and menu show it: while disabled the menu's third
    // item is Enable, which, with no receiver there, warns that it cannot find one.
    bool MenuOffersEnableWithoutReceiver() {
        return PickTrayMenuItem(TellwandWindow(), 2) && AnswerMessageBox(kWarning, nullptr);
    }

    TempFolder folder;
    std::unique_ptr<HidDevices> devices;
    TracedProcess tellwand;
    TracedProcess wandEdit;
    inline static HWND target = nullptr;
};

// What the shipped build meets through Wine's own HID stack (hid_stack_e2e_tests): here on the
// virtual build alone.
class VirtualHotPlugTest : public HotPlugTest {};

TEST_P(VirtualHotPlugTest, ReceiverArrivingLeavingMidPressAndComingBackNeedsNoReloadAndShowsNoBox) {
    StartTellwand();
    ASSERT_TRUE(devices->PlugReceiver());
    EXPECT_TRUE(NoWarning());
    ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
    ExpectPressPlaysOnce();

    Press(kMenuCode, true);
    ExpectKeys({"down 11", "down 58"});
    devices->UnplugReceiver();
    ExpectKeys({"up 58", "up 11"});  // let go at once
    EXPECT_TRUE(NoWarning());
    EXPECT_TRUE(MenuOffersEnableWithoutReceiver());

    ASSERT_TRUE(devices->PlugReceiver());
    EXPECT_TRUE(NoWarning());
    ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
    ExpectPressPlaysOnce();
}

TEST_P(VirtualHotPlugTest, ReceiverLeavingAndComingBackTenTimesLosesAndDoublesNoReport) {
    ASSERT_TRUE(devices->PlugReceiver());
    StartTellwand();
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        ExpectPressPlaysOnce();
        devices->UnplugReceiver();
        ASSERT_TRUE(devices->PlugReceiver());
        ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
    }
    ExpectPressPlaysOnce();
    EXPECT_TRUE(NoWarning());
}

TEST_P(HotPlugTest, AnotherHidDeviceArrivingOrLeavingRestartsTheReader) {
    ASSERT_TRUE(devices->PlugReceiver());
    StartTellwand();
    ExpectPressPlaysOnce();
    // A reader left on a dead handle reads nothing more: only a new discovery and reader help.
    ASSERT_TRUE(devices->ReplaceReceiverSilently());
    ASSERT_TRUE(devices->PlugMouse());
    ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
    ExpectPressPlaysOnce();

    devices->UnplugMouse();
    EXPECT_TRUE(NoWarning());
    ExpectPressPlaysOnce();
}

// A wake the user started sends both resume events: one search, and the user's Disable holds.
TEST_P(HotPlugTest, AfterASleepTellwandFindsTheReceiverAgainOncePerWakeAndStaysAsTheUserLeftIt) {
    ASSERT_TRUE(devices->PlugReceiver());
    StartTellwand();
    for (bool disabled : {false, true}) {
        SCOPED_TRACE(disabled ? "disabled" : "enabled");
        if (disabled) {
            SendToTellwand(WM_COMMAND, kCommandDisable);
        }
        SendToTellwand(WM_POWERBROADCAST, PBT_APMSUSPEND);
        ASSERT_TRUE(devices->ReplaceReceiverSilently());
        const uint8_t report[5] = {0, kButtonReport, 0, kMenuCode, 0x0F};
        EXPECT_EQ(devices->receiver().SendReport(report), 0);  // nobody reads it any more
        SendToTellwand(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
        EXPECT_TRUE(NoWarning());
        ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
        // A second search would read this one.
        ASSERT_TRUE(devices->ReplaceReceiverSilently());
        SendToTellwand(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
        EXPECT_FALSE(devices->receiver().WaitForClients(1, 1000));
    }
    // The next wake searches again, and Tellwand is still disabled.
    SendToTellwand(WM_POWERBROADCAST, PBT_APMSUSPEND);
    SendToTellwand(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
    FocusWindow(target);
    Press(kMenuCode, true);
    Press(kMenuCode, false);
    ExpectKeys({});
    SendToTellwand(WM_COMMAND, kCommandEnable);
    ExpectPressPlaysOnce();
}

TEST_P(VirtualHotPlugTest, HotkeyDialogFollowsTheReceiverAndRefusesTheOtherProduct) {
    ASSERT_TRUE(devices->PlugReceiver(kReceiverProductIdAlternate));
    HWND settings = StartEditorOnPlayerTable(wandEdit, folder.path(), devices->ProgramsFolder());
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()));
    ASSERT_NE(WaitForWindow(kTellwandWindowClass, nullptr), nullptr);
    ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
    SelectModeAndEnable(kUserMode);
    auto pressDvd = [&] {
        Press(kDvdCode, true);
        Press(kDvdCode, false);
    };
    FocusWindow(target);
    pressDvd();  // Tellwand takes the other product: "0-Q"
    ExpectKeys({"down 51", "up 51"});

    HWND dialog = OpenHotkeyDialog(settings);
    ASSERT_NE(dialog, nullptr);
    auto description = [&] { return HotkeyDialogDescription(dialog); };
    auto shows = [&](const char* text) { return PumpUntil([&] { return description() == text; }); };
    ASSERT_TRUE(shows("Refresh"));
    FocusWindow(target);
    pressDvd();  // WandEdit does not take it, and Tellwand leaves it to the dialog
    EXPECT_FALSE(PumpUntil([&] { return description() != "Refresh" || !LoggedKeys().empty(); },
                           kNothingMoreMs));

    devices->UnplugReceiver();
    ASSERT_TRUE(devices->PlugReceiver());
    ASSERT_TRUE(devices->receiver().WaitForClients(2, 10000));
    pressDvd();
    EXPECT_TRUE(shows("Quit"));
    devices->UnplugReceiver();
    ASSERT_TRUE(devices->PlugReceiver());
    ASSERT_TRUE(devices->receiver().WaitForClients(2, 10000));
    Press(kPowerCode, true);
    Press(kPowerCode, false);
    EXPECT_TRUE(shows("Refresh"));
    EXPECT_TRUE(LoggedKeys().empty());

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForNoWindow("#32770", kHotkeyDialogTitle));
    FocusWindow(target);
    pressDvd();
    ExpectKeys({"down 51", "up 51"});
}

INSTANTIATE_TEST_SUITE_P(Builds, HotPlugTest, ::testing::Values(Build::kVirtual, Build::kShipped),
                         [](const ::testing::TestParamInfo<Build>& info) {
                             return info.param == Build::kShipped ? "Shipped" : "Virtual";
                         });

INSTANTIATE_TEST_SUITE_P(Builds, VirtualHotPlugTest, ::testing::Values(Build::kVirtual),
                         [](const ::testing::TestParamInfo<Build>&) { return "Virtual"; });

// The shipped discovery among several HID devices, which only the shipped build has.
class ShippedDiscoveryTest : public HotPlugTest {};

TEST_P(ShippedDiscoveryTest, ReceiverIsFoundInEveryPlaceOfTheListAndNoOtherDeviceIsTaken) {
    const std::vector<std::string> others = {PathOf(kKeyboard), PathOf(kMouse),
                                             PathOf(kOtherProduct)};
    ASSERT_TRUE(devices->List(others));
    StartTellwand();  // nothing there is the receiver: the maker's other product neither
    // The trace says why each device examined was not taken.
    EXPECT_TRUE(tellwand.WaitForTraceLines(
        {"hid.dll loaded from", "HID device " + PathOf(kKeyboard) + ": CreateFileA failed: error",
         "HID device " + PathOf(kMouse) + ": vendor 046D product C077: not the receiver",
         "HID device " + PathOf(kOtherProduct) + ": vendor 147A product E002: not the receiver",
         "3 HID devices listed; receiver not among them", "receiver not found: disabled"}));
    ASSERT_TRUE(devices->PlugReceiver());
    for (size_t place = 0; place <= others.size(); ++place) {
        SCOPED_TRACE(place);
        std::vector<std::string> list = others;
        list.insert(list.begin() + place, HidDevices::ReceiverPath());
        ASSERT_TRUE(devices->List(list));
        SendToTellwand(WM_COMMAND, kCommandReload);
        EXPECT_TRUE(NoWarning());
        ASSERT_TRUE(devices->receiver().WaitForClients(1, 10000));
        ExpectPressPlaysOnce();
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, ShippedDiscoveryTest, ::testing::Values(Build::kShipped),
                         [](const ::testing::TestParamInfo<Build>&) { return "Shipped"; });

}  // namespace
