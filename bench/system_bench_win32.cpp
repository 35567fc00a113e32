// Tellwand and WandEdit from bin-virtual/ measured as a user runs them: both started in a test
// folder, the receiver served by this program, keys timed at a focused window of this program.
// Prints one Markdown table row per figure.
//
// Usage: system_bench [presses per latency run] [idle seconds] [presses in all]

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/process_metrics_win32.h"
#include "config/buttons.h"
#include "config/program_folder_win32.h"
#include "config/program_folders.h"
#include "config/registry_win32.h"
#include "config/settings.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "testing/e2e_win32.h"
#include "testing/key_log_window_win32.h"
#include "testing/osd_window_win32.h"
#include "testing/tellwand_e2e_win32.h"
#include "testing/temp_folder_win32.h"

namespace {

// Report code 23 is the "1" button: "0-1" in the recorder's built-in table and in ours.
constexpr uint8_t kTimedCode = 23;
constexpr WPARAM kTimedKey = '1';
constexpr char kTimedButton[] = "22";
// The DVD button with no DVD player installed: shows "File path error", sends no key and so
// has no 50 ms release pause; it makes up the bulk of the long run.
constexpr uint8_t kLaunchCode = 2;
constexpr int kBulkBatch = 100;
constexpr int kWarmUpPresses = 10;
constexpr int kStarts = 3;
constexpr DWORD kKeyTimeoutMs = 2000;
constexpr DWORD kGapAfterPressMs = 10;
// The release plays the key's up and, 50 ms later, the three modifier slots' ups.
constexpr int kTellwandKeyUps = 4;
constexpr int kBareFloorKeyUps = 1;
// Tellwand's latency goals against the fair floor, and its memory goal against the floor.
constexpr double kMedianGoal = 1.15;
constexpr double kP99Goal = 1.5;
constexpr double kMemoryGoal = 1.25;

struct Options {
    int presses = 1000;
    int idleSeconds = 60;
    int totalPresses = 10000;
};

LARGE_INTEGER g_keyDownAt;
bool g_keyDown = false;
int g_keyUps = 0;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == kTimedKey && !g_keyDown) {
        QueryPerformanceCounter(&g_keyDownAt);
        g_keyDown = true;
        return 0;
    }
    if (message == WM_KEYUP) {
        ++g_keyUps;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double Microseconds(LONGLONG ticks) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return ticks * 1e6 / frequency.QuadPart;
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Nearest rank of a sorted sample.
double Percentile(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) {
        return 0;
    }
    size_t rank = static_cast<size_t>(fraction * sorted.size() + 0.999999);
    return sorted[std::min(sorted.size(), std::max<size_t>(rank, 1)) - 1];
}

struct LatencyRun {
    std::vector<double> sorted;  // microseconds
    int lost = 0;
    double Median() const { return Percentile(sorted, 0.5); }
    double P90() const { return Percentile(sorted, 0.9); }
    double P99() const { return Percentile(sorted, 0.99); }
};

void Row(const std::string& figure, const std::string& value, const std::string& goal = "") {
    std::printf("| %s | %s | %s |\n", figure.c_str(), value.c_str(), goal.c_str());
    std::fflush(stdout);
}

std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string Verdict(bool met) {
    return met ? "met" : "missed";
}

std::string Megabytes(SIZE_T bytes) {
    return Format("%.2f MB", bytes / (1024.0 * 1024.0));
}

// What the calls on a report's way cost here, each timed alone: where latency goes.
template <typename Call>
double MicrosecondsPerCall(Call call) {
    constexpr int kCalls = 200;
    LONGLONG start = Now();
    for (int i = 0; i < kCalls; ++i) {
        call(i);
    }
    return Microseconds(Now() - start) / kCalls;
}

void MeasureCallCosts(HWND window) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    Shell_NotifyIconA(NIM_ADD, &icon);
    double notify = MicrosecondsPerCall([&](int i) {
        lstrcpynA(icon.szTip, i % 2 == 0 ? "Got you!" : "Idle", sizeof icon.szTip);
        Shell_NotifyIconA(NIM_MODIFY, &icon);
    });
    Shell_NotifyIconA(NIM_DELETE, &icon);
    double findByTitle = MicrosecondsPerCall([](int) { FindWindowA(nullptr, kHotkeyDialogTitle); });
    double key = MicrosecondsPerCall([](int) { keybd_event(0, 0, 0, 0); });
    Row("Cost of one tray icon change (Shell_NotifyIconA), two per burst of reports",
        Format("%.0f us", notify));
    Row("Cost of one window search by title (FindWindowA), one per report",
        Format("%.0f us", findByTitle));
    Row("Cost of one keybd_event, four per press", Format("%.0f us", key));
}

class SystemBench {
  public:
    explicit SystemBench(const Options& options) : options_(options) {}
    ~SystemBench() {
        EndPrograms();
        if (editor_ != nullptr) {
            CloseHandle(editor_);
        }
        DeleteMachineKey("Software\\VELQ");
    }

    bool Run() {
        return SetUp() && MeasureFloor(&floor_, "", kBareFloorKeyUps) &&
               MeasureFloor(&fairFloor_, "--four-keys --find-dialog", kTellwandKeyUps) &&
               MeasureStartUp() && MeasureFootprint("after start") && MeasureIdle() &&
               MeasureLatencies() && PressUpTo(options_.totalPresses) &&
               MeasureFootprint(Format("after %.0f presses", static_cast<double>(pressesSent_)));
    }

  private:
    bool SetUp() {
        DeleteMachineKey("Software\\VELQ");
        const std::string& path = folder_.path();
        if (!CopyProgram("Tellwand.exe", path) || !CopyProgram(kEditorProgram, path)) {
            return Fail("the programs cannot be copied from bin-virtual/");
        }
        registry_.WriteString(kInstallKey, "Path", path.c_str(), path.size() + 1);
        registry_.WriteString(kSettingsKeyAsCreated, "UserDefineTable", "Bench", sizeof "Bench");
        WritePrivateProfileStringA("Bench", "FilePath", "C:\\windows\\notepad.exe",
                                   (path + "UserDef.ini").c_str());
        WritePrivateProfileStringA("Bench", kTimedButton, "0-1", (path + "UserDef.ini").c_str());
        WritePrivateProfileStringA("Bench", kTimedButton, "One", (path + "UserDefInf.ini").c_str());
        target_ = CreateFocusedWindow("TellwandBenchTarget", TargetProc);
        if (!receiver_.Start() || target_ == nullptr || !FocusWindow(target_)) {
            return Fail("no receiver pipe or no focused window");
        }
        return true;
    }

    static bool Fail(const char* what) {
        std::fprintf(stderr, "system_bench: %s\n", what);
        return false;
    }

    // One press and release of the timed button; false when its key did not arrive.
    bool TimedPress(int keyUps, double* latency) {
        g_keyDown = false;
        g_keyUps = 0;
        LONGLONG sent = Now();
        SendButton(receiver_, kTimedCode, true);
        bool arrived = PumpUntil([] { return g_keyDown; }, kKeyTimeoutMs);
        *latency = Microseconds(g_keyDownAt.QuadPart - sent);
        SendButton(receiver_, kTimedCode, false);
        ++pressesSent_;
        bool released = PumpUntil([&] { return g_keyUps >= keyUps; }, kKeyTimeoutMs);
        // Lets the reader finish the press (icon, OSD) before the next one, as a hand would.
        PumpFor(kGapAfterPressMs);
        return arrived && released;
    }

    LatencyRun MeasureLatency(int keyUps) {
        FocusWindow(target_);
        LatencyRun run;
        double latency = 0;
        for (int i = 0; i < kWarmUpPresses; ++i) {
            TimedPress(keyUps, &latency);
        }
        for (int i = 0; i < options_.presses; ++i) {
            if (TimedPress(keyUps, &latency)) {
                run.sorted.push_back(latency);
            } else {
                ++run.lost;
            }
        }
        std::sort(run.sorted.begin(), run.sorted.end());
        return run;
    }

    // A run of Tellwand's, with its median against both floors.
    void LatencyRow(const char* name, const LatencyRun& run, const std::string& goal) {
        std::string value = Format("%.0f / %.0f / %.0f us", run.Median(), run.P90(), run.P99());
        if (&run != &floor_ && &run != &fairFloor_) {
            value += Format(" (%.2f x fair floor, %.2f x floor)",
                            run.Median() / fairFloor_.Median(), run.Median() / floor_.Median());
        }
        if (run.lost > 0) {
            value += Format(", %.0f of %.0f lost", static_cast<double>(run.lost),
                            static_cast<double>(options_.presses));
        }
        Row(std::string("Latency, ") + name + " (median / p90 / p99)", value, goal);
    }

    // The bare floor (no options) is the least any reader costs; the fair floor does the
    // work every press must do. The bare one's memory is the floor of the memory figures.
    bool MeasureFloor(LatencyRun* run, const char* options, int keyUps) {
        ChildProcess reader;
        if (!reader.Start(OwnProgramFolder() + "floor_reader.exe", options, OwnProgramFolder()) ||
            !receiver_.WaitForClients(1, 10000)) {
            return Fail("the floor reader did not connect");
        }
        *run = MeasureLatency(keyUps);
        bool bare = run == &floor_;
        if (bare) {
            floorMemory_ = ReadMemory(reader.handle());
            Row("Floor reader private bytes / working set (what any Wine program costs)",
                Megabytes(floorMemory_.privateBytes) + " / " + Megabytes(floorMemory_.workingSet) +
                    StackShare(floorMemory_));
        }
        pressesSent_ = 0;  // only Tellwand's presses count
        // Unplugging the receiver ends the floor reader.
        receiver_.Stop();
        reader.WaitForExit(5000);
        LatencyRow(bare ? "floor: pipe read + one keybd_event"
                        : "fair floor: four keybd_event a press and a release, one dialog search",
                   *run, "");
        return receiver_.Start();
    }

    static std::string StackShare(const MemoryFigures& memory) {
        return " (thread stacks " + Megabytes(memory.stackBytes) + ")";
    }

    bool StartTellwand(double* toWindow, double* toReader) {
        LONGLONG started = Now();
        if (!tellwand_.Start(folder_.path() + "Tellwand.exe", "", folder_.path())) {
            return Fail("Tellwand did not start");
        }
        *toWindow = *toReader = 0;
        DWORD deadline = GetTickCount() + 10000;
        while ((*toWindow == 0 || *toReader == 0) && GetTickCount() < deadline) {
            if (*toWindow == 0 && FindWindowA(kTellwandWindowClass, nullptr) != nullptr) {
                *toWindow = Microseconds(Now() - started) / 1000;
            }
            if (*toReader == 0 && receiver_.ClientCount() > 0) {
                *toReader = Microseconds(Now() - started) / 1000;
            }
            Sleep(1);
        }
        return (*toWindow > 0 && *toReader > 0) || Fail("Tellwand found no receiver");
    }

    // Tellwand, and with it the WandEdit it started.
    void EndPrograms() {
        ExitTellwand(tellwand_);
        WaitForNoWindow(nullptr, kEditorTitle, 5000);
        tellwand_.Kill();
    }

    // Each start after the first finds its INI files, as every start but the very first does.
    bool MeasureStartUp() {
        std::vector<double> toWindow, toReader;
        for (int start = 0; start <= kStarts; ++start) {
            double window = 0, reader = 0;
            if (start > 0) {
                EndPrograms();
            }
            if (!StartTellwand(&window, &reader)) {
                return false;
            }
            if (start > 0) {
                toWindow.push_back(window);
                toReader.push_back(reader);
            }
        }
        std::sort(toWindow.begin(), toWindow.end());
        std::sort(toReader.begin(), toReader.end());
        Row(Format("Start-up of Tellwand to its window (icon), median of %.0f", kStarts),
            Format("%.0f ms", Percentile(toWindow, 0.5)));
        Row(Format("Start-up of Tellwand to a running reader, median of %.0f", kStarts),
            Format("%.0f ms", Percentile(toReader, 0.5)));
        return WaitForEditor();
    }

    // WandEdit started by Tellwand, its OSD announced and its dialog hidden.
    bool WaitForEditor() {
        HWND dialog = WaitForWindow(nullptr, kEditorTitle);
        DWORD processId = 0;
        if (dialog == nullptr || !GetWindowThreadProcessId(dialog, &processId) ||
            !PumpUntil([] { return FindOsdWindow() != nullptr; }) ||
            !PumpUntil([&] { return !IsWindowVisible(dialog); })) {
            return Fail("WandEdit did not start");
        }
        editor_ = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        return editor_ != nullptr || Fail("WandEdit cannot be measured");
    }

    bool MeasureFootprint(const std::string& when) {
        struct Program {
            const char* name;
            HANDLE process;
        } programs[] = {{"Tellwand", tellwand_.handle()}, {"WandEdit", editor_}};
        for (const Program& program : programs) {
            MemoryFigures memory = ReadMemory(program.process);
            bool tellwand = program.process == tellwand_.handle();
            double ratio = static_cast<double>(memory.privateBytes) / floorMemory_.privateBytes;
            Row(std::string(program.name) + " private bytes / working set, " + when,
                Megabytes(memory.privateBytes) + " / " + Megabytes(memory.workingSet) +
                    StackShare(memory) + Format(", %.2f x floor", ratio),
                tellwand ? Format("private <= %.2f x floor: ", kMemoryGoal) +
                               Verdict(ratio <= kMemoryGoal)
                         : "");
        }
        return true;
    }

    // Counted by Linux for each thread of the two programs while nothing happens: the
    // receiver connected, the OSD host running, no report and no window message from us.
    bool MeasureIdle() {
        // Start-up settles first: the OSD's first show and hide, the icon's arrival in the
        // shell and their X11 traffic wake both programs for a few seconds after they start.
        PumpFor(10000);
        std::string programs[] = {folder_.path() + "Tellwand.exe", folder_.path() + kEditorProgram};
        std::map<std::string, ThreadActivity> before[2], after[2];
        for (int i = 0; i < 2; ++i) {
            before[i] = ReadLinuxThreads(programs[i]);
        }
        PumpFor(options_.idleSeconds * 1000);
        for (int i = 0; i < 2; ++i) {
            after[i] = ReadLinuxThreads(programs[i]);
        }
        IdleRows("Tellwand", before[0], after[0]);
        IdleRows("WandEdit", before[1], after[1]);
        return true;
    }

    // One row for the program, then one for each thread that woke up or ran.
    void IdleRows(const std::string& name, const std::map<std::string, ThreadActivity>& before,
                  const std::map<std::string, ThreadActivity>& after) {
        uint64_t ticks = 0, wakeUps = 0;
        std::vector<std::string> busy;
        for (const auto& [id, end] : after) {
            auto start = before.find(id);
            ThreadActivity zero;
            const ThreadActivity& begin = start != before.end() ? start->second : zero;
            uint64_t threadTicks = end.cpuTicks - begin.cpuTicks;
            uint64_t threadWakeUps = end.wakeUps - begin.wakeUps;
            ticks += threadTicks;
            wakeUps += threadWakeUps;
            if (threadTicks > 0 || threadWakeUps > 0) {
                busy.push_back("thread " + id + " (" + end.name + "): " +
                               Format("%.0f ticks / %.0f wake-ups",
                                      static_cast<double>(threadTicks),
                                      static_cast<double>(threadWakeUps)));
            }
        }
        Row(name + Format(" CPU ticks / wake-ups over %.0f idle s (its Linux threads, /proc)",
                          options_.idleSeconds),
            Format("%.0f / %.0f in %.0f threads", static_cast<double>(ticks),
                   static_cast<double>(wakeUps), static_cast<double>(after.size())),
            after.empty() ? "not found in /proc" : "zero: " + Verdict(ticks == 0 && wakeUps == 0));
        for (const std::string& thread : busy) {
            Row(name + " " + thread, "", "");
        }
    }

    bool MeasureLatencies() {
        // The recorder's window makes the built-in mode load the recorder's table.
        recorder_ = CreateWindowA("STATIC", "PowerBar", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        SelectModeAndEnable(kBuiltInMode);
        LatencyRun builtIn = MeasureLatency(kTellwandKeyUps);
        registry_.WriteDword(kSettingsKeyAsCreated, "EnableOSD", 0);
        SelectModeAndEnable(kUserMode);
        LatencyRun userOsdOff = MeasureLatency(kTellwandKeyUps);
        registry_.WriteDword(kSettingsKeyAsCreated, "EnableOSD", 1);
        SelectModeAndEnable(kUserMode);
        LatencyRun userOsdOn = MeasureLatency(kTellwandKeyUps);
        LatencyRow("built-in mode", builtIn, "");
        LatencyRow(
            "user mode, OSD off", userOsdOff,
            Format("median <= %.2f x fair floor, p99 <= %.1f x fair floor: ", kMedianGoal,
                   kP99Goal) +
                Verdict(userOsdOff.Median() <= kMedianGoal * fairFloor_.Median() &&
                        userOsdOff.P99() <= kP99Goal * fairFloor_.P99() && userOsdOff.lost == 0));
        LatencyRow("user mode, OSD on", userOsdOn, "");
        MeasureCallCosts(target_);
        return true;
    }

    // Launch presses in batches, each batch closed by a timed press so that none piles up.
    bool PressUpTo(int total) {
        SelectModeAndEnable(kBuiltInMode);
        double latency = 0;
        while (pressesSent_ < total) {
            for (int i = 0; i < kBulkBatch && pressesSent_ < total - 1; ++i) {
                SendButton(receiver_, kLaunchCode, true);
                SendButton(receiver_, kLaunchCode, false);
                ++pressesSent_;
            }
            if (!TimedPress(kTellwandKeyUps, &latency)) {
                return Fail("Tellwand stopped answering presses");
            }
        }
        DestroyWindow(recorder_);
        return true;
    }

    Options options_;
    TempFolder folder_;
    Win32Registry registry_;
    VirtualReceiverServer receiver_{kReceiverVendorId, kReceiverProductId};
    ChildProcess tellwand_;
    HANDLE editor_ = nullptr;
    HWND target_ = nullptr;
    HWND recorder_ = nullptr;
    LatencyRun floor_;
    LatencyRun fairFloor_;
    MemoryFigures floorMemory_;
    int pressesSent_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    int* values[] = {&options.presses, &options.idleSeconds, &options.totalPresses};
    for (int i = 1; i < argc && i <= 3; ++i) {
        *values[i - 1] = std::atoi(argv[i]);
    }
    SystemBench bench(options);
    return bench.Run() ? 0 : 1;
}
