#include "tests/soak/chaos_win32.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "config/buttons.h"
#include "config/program_folders.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "testing/e2e_win32.h"
#include "testing/key_log_window_win32.h"
#include "testing/osd_window_win32.h"
#include "testing/tellwand_e2e_win32.h"
#include "testing/temp_folder_win32.h"
#include "tests/soak/soak_memory_win32.h"
#include "wandedit/resource_ids.h"

namespace {

constexpr DWORD kArriveMs = 3000;  // a press's keys arrive within this
constexpr DWORD kSettleMs = 150;   // no key message for this long: the step has settled
constexpr DWORD kStartMs = 15000;  // a program starts, or finds the receiver, within this
constexpr size_t kHistory = 20;

// A key-sequence text and the keys it sends, modifiers first.
struct Record {
    const char* text;
    std::vector<UINT> keys;
};
const Record kRecords[] = {
    {"0-A", {'A'}}, {"0-C-B", {VK_CONTROL, 'B'}}, {"0-S-D", {VK_SHIFT, 'D'}},
    {"0-1", {'1'}}, {"0-A-F", {VK_MENU, 'F'}},    {"0-C-S-G", {VK_CONTROL, VK_SHIFT, 'G'}},
};
constexpr int kRecordCount = sizeof kRecords / sizeof kRecords[0];

// The buttons pressed: generic in both modes (no application button, no digit), so what each
// sends depends only on the table Tellwand loaded.
constexpr Button kButtons[] = {Button::kMenu,       Button::kSubtitles, Button::kAngle,
                               Button::kSnapshot,   Button::kRecord,    Button::kVolumeUp,
                               Button::kVolumeDown, Button::kMute};
constexpr int kButtonsPressed = sizeof kButtons / sizeof kButtons[0];
using Table = std::array<int, kButtonsPressed>;  // a record per button

const char* NameOf(int index) {
    return ButtonName(static_cast<int>(kButtons[index]));
}

uint8_t ReportCodeOf(int index) {
    return static_cast<uint8_t>(ReportCodeFromButton(kButtons[index]));
}

// Key messages that reached the target, per key.
struct KeyCount {
    long downs = 0;
    long ups = 0;
    bool down = false;
};
std::map<UINT, KeyCount> g_keys;
DWORD g_lastKeyAt = 0;
DWORD g_lastReportAt = 0;
std::deque<std::string> g_lastKeys;  // the latest key messages, for the failure report

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    if ((!down && !up) || wParam == 0) {  // code 0 is what empty modifier slots send
        return DefWindowProcA(window, message, wParam, lParam);
    }
    KeyCount& count = g_keys[static_cast<UINT>(wParam)];
    (down ? count.downs : count.ups) += 1;
    count.down = down;
    g_lastKeyAt = GetTickCount();
    char line[48];
    std::snprintf(line, sizeof line, "%lu ms: %s %02X", g_lastKeyAt, down ? "down" : "up",
                  static_cast<unsigned>(wParam));
    g_lastKeys.push_back(line);
    if (g_lastKeys.size() > kHistory) {
        g_lastKeys.pop_front();
    }
    return 0;
}

// What one step may bring: keys that must arrive exactly so often, and keys that may arrive
// at most so often (a press cut by something else may or may not have been acted on).
struct Expectation {
    std::map<UINT, long> exact;
    std::map<UINT, long> atMost;
};

class Chaos {
  public:
    explicit Chaos(uint32_t seed) : seed_(seed), random_(seed) {}
    ~Chaos() {
        ExitTellwand(tellwand_);
        WaitForNoWindow(nullptr, kEditorTitle, 5000);
        editor_.Kill();
        tellwand_.Kill();
        DeleteMachineKey("Software\\VELQ");
        if (target_ != nullptr) {
            DestroyWindow(target_);
        }
        if (recorder_ != nullptr) {
            DestroyWindow(recorder_);
        }
    }

    int Run(long steps) {
        std::printf("chaos: seed %u, %ld steps\n", seed_, steps);
        std::fflush(stdout);
        if (!SetUp()) {
            std::printf("chaos: %s\n", fault_.c_str());
            return 2;
        }
        before_ = g_keys;
        DWORD started = GetTickCount();
        PrintMemory("at start");
        for (step_ = 1; step_ <= steps; ++step_) {
            if (!TakeStep()) {
                return Failed();
            }
            // Memory too, so that a long run cut short still shows its trend.
            if (step_ % 1000 == 0) {
                std::printf("chaos: %ld steps, %lu s\n", step_, (GetTickCount() - started) / 1000);
                PrintMemory(("after " + std::to_string(step_) + " steps").c_str());
            }
        }
        PrintMemory("at end");
        std::printf("chaos: %ld steps in %lu s: nothing stuck, lost or doubled\n", steps,
                    (GetTickCount() - started) / 1000);
        return 0;
    }

  private:
    // ---- The world: Tellwand with WandEdit in a fresh folder, the receiver, a target window.

    bool SetUp() {
        DeleteMachineKey("Software\\VELQ");
        const std::string& path = folder_.path();
        if (!CopyProgram("Tellwand.exe", path) || !CopyProgram(kEditorProgram, path)) {
            return Broken("the programs are not in bin-virtual");
        }
        for (int i = 0; i < kButtonsPressed; ++i) {
            recorderTable_[i] = Pick(kRecordCount);
            userFile_[i] = Pick(kRecordCount);
            WriteRecord("TWCtrl.ini", "VCR", i, recorderTable_[i]);
            WriteRecord("UserDef.ini", "Chaos", i, userFile_[i]);
        }

        WritePrivateProfileStringA("Chaos", "FilePath", "C:\\windows\\notepad.exe",
                                   (path + "UserDef.ini").c_str());
        registry_.WriteString(kInstallKey, "Path", path.c_str(), path.size() + 1);
        if (!StoreSettings(1, "Chaos")) {
            return Broken("the settings cannot be stored");
        }
        // The recorder's window makes built-in mode load its table, [VCR] of TWCtrl.ini.
        recorder_ = CreateWindowA("STATIC", "PowerBar", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        target_ = CreateFocusedWindow("TellwandChaosTarget", TargetProc, 1024, 768);
        if (!remote_.Start() || target_ == nullptr || !StartTellwand()) {
            return Broken("Tellwand did not start with the receiver");
        }
        return true;
    }

    void WriteRecord(const char* file, const char* section, int index, int record) {
        ButtonKey key(static_cast<int>(kButtons[index]));
        WritePrivateProfileStringA(section, key.text, kRecords[record].text,
                                   (folder_.path() + file).c_str());
    }

    // Tellwand starts WandEdit itself, in built-in mode, enabled when it finds the receiver.
    bool StartTellwand() {
        if (!WaitForMutexGone(kTellwandMutex) || !WaitForMutexGone(kEditorMutex) ||
            !tellwand_.Start(folder_.path() + "Tellwand.exe", "", folder_.path())) {
            return false;
        }
        PumpUntil(
            [this] {
                AnswerWarning();
                return FindWindowA(nullptr, kEditorTitle) != nullptr && FindOsdWindow() != nullptr;
            },
            kStartMs);
        mode_ = kBuiltInMode;
        disabledByUser_ = false;
        enabled_ = receiverPresent_;
        if (enabled_) {
            active_ = recorderTable_;
        }
        dialogOpen_ = false;
        return FindWindowA(nullptr, kEditorTitle) != nullptr && WaitForReaders();
    }

    // Tellwand's reader, and WandEdit's while its HotKey dialog is open, hold the receiver.
    bool WaitForReaders() {
        int readers = (receiverPresent_ ? 1 : 0) + (editorReading_ ? 1 : 0);
        return readers == 0 || remote_.WaitForClients(readers, kStartMs);
    }

    void AnswerWarning() {
        HWND box = FindWindowA("#32770", "Warning");
        if (box != nullptr) {
            AnswerMessageBox(box, nullptr);
        }
    }

    // A menu command as the tray menu gives it, sent from a thread of ours so that this one
    // can answer the warning it may raise.
    void Command(WPARAM command, WPARAM selector = 0, bool select = false) {
        HWND window = FindWindowA(kTellwandWindowClass, nullptr);
        std::atomic<bool> done{false};
        std::thread sender([&] {
            DWORD_PTR result = 0;
            if (select) {
                SendMessageTimeoutA(window, kMsgTableSelector, selector, 0, SMTO_NORMAL, kStartMs,
                                    &result);
            }
            SendMessageTimeoutA(window, WM_COMMAND, command, 0, SMTO_NORMAL, kStartMs, &result);
            done = true;
        });
        PumpUntil(
            [&] {
                AnswerWarning();
                return done.load();
            },
            2 * kStartMs);
        sender.join();
        PumpUntil([this] {
            AnswerWarning();
            return FindWindowA("#32770", "Warning") == nullptr;
        });
    }

    // The user's Disable holds until Enable or Reload: the receiver coming back does not undo it.
    void Disable() {
        Command(kCommandDisable);
        enabled_ = false;
        disabledByUser_ = true;
    }

    // Enable, Reload and a mode change load the table of the mode when the receiver is there.
    void Enabling(WPARAM command, int mode) {
        bool select = command == kCommandEnable && mode != mode_;
        mode_ = mode;
        Command(command, mode, select);
        disabledByUser_ = false;
        enabled_ = receiverPresent_;
        if (enabled_) {
            active_ = mode_ == kUserMode ? userFile_ : recorderTable_;
        }
    }

    // ---- Steps.

    // Each step is chosen by its share of 100; presses come most often, restarts rarely.
    struct Choice {
        int share;
        bool (Chaos::*step)();
    };

    bool TakeStep() {
        static const Choice kChoices[] = {
            {35, &Chaos::Press},        {10, &Chaos::Overlap},      {15, &Chaos::InterruptedPress},
            {8, &Chaos::Pad},           {6, &Chaos::MenuCommand},   {6, &Chaos::SwitchMode},
            {5, &Chaos::ReceiverCycle}, {4, &Chaos::HotkeyDialog},  {5, &Chaos::EditUserTable},
            {3, &Chaos::HangOsd},       {2, &Chaos::RestartEditor}, {1, &Chaos::RestartTellwand},
        };
        FocusWindow(target_);
        int dice = Pick(100);
        for (const Choice& choice : kChoices) {
            if (dice < choice.share) {
                return (this->*choice.step)();
            }
            dice -= choice.share;
        }
        return false;
    }

    bool ReceiverCycle() { return UnplugAndPlug(nullptr); }

    bool Acting() const { return enabled_ && receiverPresent_ && !dialogOpen_; }

    void ExpectPress(int index, Expectation& expectation) const {
        if (Acting()) {
            for (UINT key : kRecords[active_[index]].keys) {
                ++expectation.exact[key];
            }
        }
    }

    bool Press() {
        int index = Pick(kButtonsPressed);
        DWORD hold = Pick(301);
        Say("press button %s (%s) for %lu ms", NameOf(index), kRecords[active_[index]].text, hold);
        Expectation expectation;
        ExpectPress(index, expectation);
        Send(index, true);
        Wait(hold);
        Send(index, false);
        return Settled(expectation);
    }

    // Two buttons whose records share no key, the second pressed while the first is down.
    bool Overlap() {
        int first = Pick(kButtonsPressed);
        int second = Pick(kButtonsPressed);
        if (first == second || SharesKey(active_[first], active_[second])) {
            return Press();
        }
        bool firstUpFirst = Pick(2) == 0;
        Say("overlap buttons %s (%s) and %s (%s), %s up first", NameOf(first),
            kRecords[active_[first]].text, NameOf(second), kRecords[active_[second]].text,
            firstUpFirst ? "first" : "second");
        Expectation expectation;
        ExpectPress(first, expectation);
        ExpectPress(second, expectation);
        Send(first, true);
        Wait(Pick(150));
        Send(second, true);
        Wait(Pick(150));
        Send(firstUpFirst ? first : second, false);
        Wait(Pick(100));
        Send(firstUpFirst ? second : first, false);
        return Settled(expectation);
    }

    static bool SharesKey(int a, int b) {
        for (UINT key : kRecords[a].keys) {
            for (UINT other : kRecords[b].keys) {
                if (key == other) {
                    return true;
                }
            }
        }
        return false;
    }

    // Something else happens between a button's down and its up: the press may or may not
    // have been acted on, but it acts at most once and nothing stays down.
    bool InterruptedPress() {
        int index = Pick(kButtonsPressed);
        Table before = active_;
        bool wasActing = Acting();
        Send(index, true);
        Wait(Pick(150));
        bool ok = Interrupt(index);
        Wait(Pick(150));
        Send(index, false);
        Expectation expectation;
        if (wasActing || Acting()) {
            for (const Table* table : {&before, &active_}) {
                for (UINT key : kRecords[(*table)[index]].keys) {
                    expectation.atMost[key] = 1;
                }
            }
        }
        return ok && Settled(expectation);
    }

    bool Interrupt(int index) {
        int event = Pick(7);
        switch (event) {
            case 0:
                Say("press button %s, Disable before its up", NameOf(index));
                Disable();
                return true;
            case 1:
                Say("press button %s, Enable before its up", NameOf(index));
                Enabling(kCommandEnable, mode_);
                return true;
            case 2:
                Say("press button %s, Reload before its up", NameOf(index));
                Enabling(kCommandReload, mode_);
                return true;
            case 3:
                Say("press button %s, mode change before its up", NameOf(index));
                Enabling(kCommandEnable, mode_ == kUserMode ? kBuiltInMode : kUserMode);
                return true;
            case 4:
                Say("press button %s, receiver unplugged and back before its up", NameOf(index));
                return UnplugAndPlug(&index);
            case 5:
                Say("press button %s, HotKey dialog opened and closed before its up",
                    NameOf(index));
                return OpenAndCloseHotkeyDialog();
            default:
                Say("press button %s, Disable and Enable before its up", NameOf(index));
                Disable();
                Enabling(kCommandEnable, mode_);
                return true;
        }
    }

    // Pointer moves and drags, still and moving, ended by moves that let both buttons go.
    bool Pad() {
        int reports = 2 + Pick(5);
        bool disable = Pick(4) == 0;
        Say("pad: %d moves and drags%s", reports, disable ? ", Disable in the middle" : "");
        SetCursorPos(512, 384);
        for (int i = 0; i < reports; ++i) {
            static const uint8_t kTypes[] = {kPadMove, kPadLeftDrag, kPadRightDrag};
            uint8_t type = kTypes[Pick(3)];
            bool still = Pick(3) == 0;
            SendPad(type, still ? 0 : SmallMotion(), still ? 0 : SmallMotion());
            Wait(Pick(60));
            if (disable && i == reports / 2) {
                Disable();
            }
        }
        SendPad(kPadMove, 0, 0);
        SendPad(kPadMove, 0, 0);
        return Settled({});
    }

    uint8_t SmallMotion() {
        int step = 1 + Pick(20);
        return static_cast<uint8_t>(Pick(2) == 0 ? step : 255 - step);
    }

    bool MenuCommand() {
        switch (Pick(3)) {
            case 0:
                Say("Disable");
                Disable();
                break;
            case 1:
                Say("Enable");
                Enabling(kCommandEnable, mode_);
                break;
            default:
                Say("Reload");
                Enabling(kCommandReload, mode_);
                break;
        }
        return Settled({}) && WaitForReaders();
    }

    bool SwitchMode() {
        int mode = mode_ == kUserMode ? kBuiltInMode : kUserMode;
        Say("mode %s, as WandEdit's OK gives it", mode == kUserMode ? "user" : "built-in");
        Enabling(kCommandEnable, mode);
        return Settled({});
    }

    // The receiver leaves and comes back, announced as Windows announces a real one: Tellwand
    // lets go of what it holds and disables, then reads it again and enables by itself unless
    // the user disabled it, and so does the HotKey dialog's reader while the dialog is open.
    bool UnplugAndPlug(const int* heldIndex) {
        if (heldIndex == nullptr) {
            Say("receiver unplugged and plugged in again");
        }
        remote_.Unplug();
        receiverPresent_ = false;
        enabled_ = false;
        editorReading_ = false;
        Wait(Pick(300));
        // A press cut by the unplug is checked as a whole once its up is sent.
        if (heldIndex == nullptr && !Settled({})) {
            return false;
        }
        if (!remote_.Plug()) {
            return Broken("the receiver pipe cannot be created again");
        }
        receiverPresent_ = true;
        enabled_ = !disabledByUser_;
        if (enabled_) {
            active_ = mode_ == kUserMode ? userFile_ : recorderTable_;
        }
        editorReading_ = dialogOpen_;
        return WaitForReaders() || Broken("Tellwand did not read the receiver again");
    }

    bool HotkeyDialog() {
        Say("HotKey Configuration opened, presses while it is open, closed");
        if (!OpenHotkeyDialog()) {
            return false;
        }
        for (int presses = Pick(3); presses > 0; --presses) {
            int index = Pick(kButtonsPressed);
            Send(index, true);
            Wait(Pick(100));
            Send(index, false);
        }
        return CloseHotkeyDialog() && Settled({});
    }

    // The held button's key-up must reach the target, as the key-down did.
    bool OpenAndCloseHotkeyDialog() {
        return OpenHotkeyDialog() && CloseHotkeyDialog() && FocusWindow(target_);
    }

    bool OpenHotkeyDialog() {
        HWND settings = FindWindowA(nullptr, kEditorTitle);
        if (settings == nullptr) {
            return Broken("WandEdit's window is gone");
        }
        PostMessageA(settings, WM_COMMAND, MAKEWPARAM(IDC_ADVANCE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(settings, IDC_ADVANCE)));
        if (WaitForWindow("#32770", kHotkeyDialogTitle) == nullptr) {
            return Broken("the HotKey Configuration dialog did not open");
        }
        dialogOpen_ = true;
        editorReading_ = receiverPresent_;
        if (editorReading_ && !WaitForReaders()) {
            return Broken("the HotKey Configuration dialog did not read the receiver");
        }
        return true;
    }

    bool CloseHotkeyDialog() {
        HWND dialog = FindWindowA("#32770", kHotkeyDialogTitle);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        if (!WaitForNoWindow("#32770", kHotkeyDialogTitle)) {
            return Broken("the HotKey Configuration dialog did not close");
        }
        dialogOpen_ = false;
        editorReading_ = false;
        // Its reader lets the receiver go as the dialog ends.
        PumpUntil([this] { return remote_.ClientCount() <= (receiverPresent_ ? 1 : 0); });
        return true;
    }

    // As WandEdit's Save writes it; Tellwand reads it at its next Enable.
    bool EditUserTable() {
        int index = Pick(kButtonsPressed);
        int record = Pick(kRecordCount);
        Say("user table: button %s now %s", NameOf(index), kRecords[record].text);
        userFile_[index] = record;
        WriteRecord("UserDef.ini", "Chaos", index, record);
        return true;
    }

    // The OSD's thread stops answering for a while; presses go on meanwhile.
    bool HangOsd() {
        HWND osd = FindOsdWindow();
        DWORD hang = 200 + Pick(1800);
        Say("OSD hung for %lu ms with presses meanwhile", hang);
        HANDLE thread = osd == nullptr ? nullptr
                                       : OpenThread(THREAD_SUSPEND_RESUME, FALSE,
                                                    GetWindowThreadProcessId(osd, nullptr));
        if (thread == nullptr) {
            return Broken("the OSD's thread cannot be suspended");
        }
        SuspendThread(thread);
        DWORD until = GetTickCount() + hang;
        bool ok = true;
        while (ok && GetTickCount() < until) {
            ok = Press();
        }
        ResumeThread(thread);
        CloseHandle(thread);
        return ok;
    }

    bool RestartEditor() {
        Say("WandEdit killed and started again");
        HWND settings = FindWindowA(nullptr, kEditorTitle);
        DWORD processId = 0;
        if (settings == nullptr || GetWindowThreadProcessId(settings, &processId) == 0) {
            return Broken("WandEdit's window is gone");
        }
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (process != nullptr) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
        dialogOpen_ = false;
        editorReading_ = false;
        if (!WaitForMutexGone(kEditorMutex) ||
            !editor_.Start(folder_.path() + kEditorProgram, "", folder_.path()) ||
            WaitForWindow(nullptr, kEditorTitle, kStartMs) == nullptr ||
            !PumpUntil([] { return FindOsdWindow() != nullptr; }, kStartMs)) {
            return Broken("WandEdit did not start again");
        }
        return Settled({});
    }

    bool RestartTellwand() {
        Say("Tellwand exits and starts again");
        if (!ExitTellwand(tellwand_, kStartMs)) {
            return Broken("Tellwand did not exit");
        }
        WaitForNoWindow(nullptr, kEditorTitle, kStartMs);
        editor_.Kill();
        editorReading_ = false;
        return (StartTellwand() || Broken("Tellwand did not start again")) && Settled({});
    }

    // ---- Reports, waiting and checking.

    void Send(int index, bool down) {
        SendButton(remote_, ReportCodeOf(index), down);
        g_lastReportAt = GetTickCount();
    }

    void SendPad(uint8_t type, uint8_t x, uint8_t y) {
        const uint8_t report[kVirtualReportSize] = {0, type, x, y, 0};
        remote_.SendReport(report);
        g_lastReportAt = GetTickCount();
    }

    void Wait(DWORD ms) { PumpFor(ms); }

    // Waits for what must arrive and for quiet, then checks that nothing is down, nothing
    // arrived that had no reason to, and that Tellwand and WandEdit still run.
    bool Settled(const Expectation& expectation) {
        auto arrived = [&] {
            for (const auto& [key, count] : expectation.exact) {
                if (g_keys[key].downs - before_[key].downs < count ||
                    g_keys[key].ups - before_[key].ups < count) {
                    return false;
                }
            }
            return true;
        };
        PumpUntil(arrived, kArriveMs);
        // Quiet since the last report too: a release's modifiers come 50 ms after its key.
        PumpUntil(
            [] {
                DWORD now = GetTickCount();
                return now - g_lastKeyAt >= kSettleMs && now - g_lastReportAt >= kSettleMs;
            },
            kArriveMs);
        bool ok = CheckKeys(expectation) && CheckNothingDown() && CheckProgramsRun();
        before_ = g_keys;
        return ok;
    }

    bool CheckKeys(const Expectation& expectation) {
        for (auto& [key, count] : g_keys) {
            long downs = count.downs - before_[key].downs;
            long ups = count.ups - before_[key].ups;
            auto exact = expectation.exact.find(key);
            auto atMost = expectation.atMost.find(key);
            if (exact != expectation.exact.end()) {
                if (downs != exact->second || ups != exact->second) {
                    return Fault("key %02X: %ld downs and %ld ups, %ld of each expected", key,
                                 downs, ups, exact->second);
                }
            } else if (atMost != expectation.atMost.end()) {
                if (downs > atMost->second || ups > atMost->second) {
                    return Fault("key %02X: %ld downs and %ld ups, at most %ld expected", key,
                                 downs, ups, atMost->second);
                }
            } else if (downs != 0 || ups != 0) {
                return Fault("key %02X: %ld downs and %ld ups, none expected", key, downs, ups);
            }
            if (count.down) {
                return Fault("key %02X is still down at the target", key);
            }
        }
        return true;
    }

    bool CheckNothingDown() {
        for (UINT key : {VK_LBUTTON, VK_RBUTTON, VK_CONTROL, VK_SHIFT, VK_MENU}) {
            if (GetAsyncKeyState(key) & 0x8000) {
                return Fault("key %02X is held down system-wide", key);
            }
        }
        for (const Record& record : kRecords) {
            for (UINT key : record.keys) {
                if (GetAsyncKeyState(key) & 0x8000) {
                    return Fault("key %02X is held down system-wide", key);
                }
            }
        }
        return true;
    }

    bool CheckProgramsRun() {
        if (!tellwand_.IsRunning()) {
            DWORD exitCode = 0;
            GetExitCodeProcess(tellwand_.handle(), &exitCode);
            return Fault("Tellwand ended with exit code %08lX", exitCode);
        }
        if (!PumpUntil([] { return FindWindowA(nullptr, kEditorTitle) != nullptr; })) {
            return Fault("WandEdit ended");
        }
        return true;
    }

    void PrintMemory(const char* when) {
        PrintProgramMemory("Tellwand", when, tellwand_.handle());
        HWND settings = FindWindowA(nullptr, kEditorTitle);
        DWORD processId = 0;
        GetWindowThreadProcessId(settings, &processId);
        HANDLE editor = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        PrintProgramMemory("WandEdit", when, editor);
        if (editor != nullptr) {
            CloseHandle(editor);
        }
    }

    // ---- Randomness and the record of what was done.

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    template <typename... Args>
    void Say(const char* format, Args... args) {
        char line[200];
        std::snprintf(line, sizeof line, format, args...);
        history_.push_back("step " + std::to_string(step_) + " at " +
                           std::to_string(GetTickCount()) + " ms: " + line);
        if (history_.size() > kHistory) {
            history_.pop_front();
        }
    }

    template <typename... Args>
    bool Fault(const char* format, Args... args) {
        char line[200];
        std::snprintf(line, sizeof line, format, args...);
        fault_ = line;
        return false;
    }

    bool Broken(const char* what) { return Fault("%s", what); }

    int Failed() {
        std::printf("chaos: FAILED at step %ld of seed %u: %s\n", step_, seed_, fault_.c_str());
        std::printf("chaos: the last %u steps:\n", static_cast<unsigned>(history_.size()));
        for (const std::string& line : history_) {
            std::printf("  %s\n", line.c_str());
        }
        Wait(1000);  // what comes late, after the check, tells a slow press from a lost one
        std::printf("chaos: the last key messages at the target, until a second later:\n");
        for (const std::string& line : g_lastKeys) {
            std::printf("  %s\n", line.c_str());
        }
        std::printf("chaos: replay with scripts/soak --chaos --seed %u %ld\n", seed_, step_);
        std::fflush(stdout);
        return 1;
    }

    uint32_t seed_;
    std::mt19937 random_;
    long step_ = 0;
    std::deque<std::string> history_;
    std::string fault_ = "the world could not be set up";

    TempFolder folder_;
    Win32Registry registry_;
    VirtualReceiverServer remote_{kReceiverVendorId, kReceiverProductId};
    ChildProcess tellwand_;
    ChildProcess editor_;  // a WandEdit started by us, after one was killed
    HWND target_ = nullptr;
    HWND recorder_ = nullptr;
    std::map<UINT, KeyCount> before_;

    // What Tellwand was told and holds, as far as its behaviour follows from it.
    Table recorderTable_{};
    Table userFile_{};
    Table active_{};
    int mode_ = kBuiltInMode;
    bool enabled_ = true;
    bool disabledByUser_ = false;
    bool receiverPresent_ = true;
    bool dialogOpen_ = false;
    bool editorReading_ = false;
};

}  // namespace

int RunChaos(uint32_t seed, long steps) {
    Chaos chaos(seed);
    return chaos.Run(steps);
}
