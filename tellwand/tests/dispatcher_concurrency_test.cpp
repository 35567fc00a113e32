// The window thread against the reader thread: tables loaded while reports are dispatched,
// and Disable while a report is being played.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tellwand/tests/dispatcher_fixture.h"

namespace {

struct TableRecord {
    const char* table;
    const char* text;
    uint8_t keys[4];  // as pressed: three modifier slots, then the key
};

const TableRecord kAlpha = {"Alpha", "0-C-F1", {0x11, 0, 0, 0x70}};
const TableRecord kBeta = {"Beta", "0-S-A-F2", {0x12, 0x10, 0, 0x71}};

// Keeps the key-downs of the latest press; the reader thread alone plays into it.
class PressCapture : public InputSink {
  public:
    void KeyEvent(uint8_t virtualKey, uint32_t flags) override {
        if ((flags & kKeyEventKeyUp) == 0) {
            pressed.push_back(virtualKey);
        }
    }
    void MouseEvent(uint32_t, int, int) override {}
    void Pause(uint32_t) override {}

    std::vector<uint8_t> pressed;
};

bool PressedWhole(const std::vector<uint8_t>& keys, const TableRecord& record) {
    return keys == std::vector<uint8_t>(record.keys, record.keys + 4);
}

TEST(DispatcherConcurrency, LoadsNeverMixTwoTablesInOnePlayedRecord) {
    PressCapture input;
    QuietServices services;
    FakeProfileStore& profiles = services.profiles;
    FakeRegistry& registry = services.registry;
    const IniPaths& paths = services.paths;
    for (const TableRecord* record : {&kAlpha, &kBeta}) {
        for (int n = 0; n < kButtonCount; ++n) {
            profiles.WriteString(paths.userDef, record->table, std::to_string(n).c_str(),
                                 record->text);
            profiles.WriteString(paths.userDefInf, record->table, std::to_string(n).c_str(),
                                 record->table);
        }
        profiles.WriteString(paths.userDef, record->table, "FilePath", kMusicProgram);
    }
    services.files.existing = {kMusicProgram};
    registry.SetString(kSettingsKeyName, "UserDefineTable", kAlpha.table);
    Dispatcher dispatcher{services.With(input), paths};
    dispatcher.SetTableSelector(kUserMode);
    dispatcher.ApplyEnableState(true);

    std::atomic<bool> done{false};
    std::thread windowThread([&] {
        for (int load = 0; !done; ++load) {
            const TableRecord& next = load % 2 ? kAlpha : kBeta;
            registry.SetString(kSettingsKeyName, "UserDefineTable", next.table);
            dispatcher.ApplyEnableState(true);
        }
    });

    int mixed = 0;
    int fromEach[2] = {};
    // Thousands of presses, and on until both tables have been played.
    for (int i = 0; i < 5000 || ((fromEach[0] == 0 || fromEach[1] == 0) && i < 1000000); ++i) {
        // Buttons of no role of their own in user mode: Menu to Digit7.
        Button button = static_cast<Button>(static_cast<int>(Button::kMenu) + i % 25);
        input.pressed.clear();
        Report down = Down(button);
        dispatcher.DispatchReport(down.type, down.byte2, down.byte3);
        std::string text = dispatcher.CopyOsdText().data();
        if (PressedWhole(input.pressed, kAlpha) && text == kAlpha.table) {
            ++fromEach[0];
        } else if (PressedWhole(input.pressed, kBeta) && text == kBeta.table) {
            ++fromEach[1];
        } else {
            ++mixed;
        }
        Report up = Up(button);
        dispatcher.DispatchReport(up.type, up.byte2, up.byte3);
    }
    done = true;
    windowThread.join();

    EXPECT_EQ(mixed, 0);
    EXPECT_GT(fromEach[0], 0);
    EXPECT_GT(fromEach[1], 0);
}

// Both threads send input: one log behind a lock. Each event yields, so the other thread gets
// in between the events of a press.
class SharedInput : public InputSink {
  public:
    void KeyEvent(uint8_t virtualKey, uint32_t flags) override {
        Record([&] { log_.KeyEvent(virtualKey, flags); });
    }
    void MouseEvent(uint32_t flags, int dx, int dy) override {
        Record([&] { log_.MouseEvent(flags, dx, dy); });
    }
    void Pause(uint32_t) override {}

    Events TakeEvents() {
        std::lock_guard<std::mutex> lock(mutex_);
        Events events;
        events.swap(log_.events);
        return events;
    }

  private:
    template <typename Log>
    void Record(Log log) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            log();
        }
        std::this_thread::yield();
    }

    std::mutex mutex_;
    RecordingInput log_;
};

TEST(DispatcherConcurrency, DisableWhileAReportIsPlayedLeavesNothingDown) {
    SharedInput input;
    QuietServices services;
    AddApplicationWindow(services.desktop, "FM");
    services.profiles.WriteString(services.paths.twCtrl, "FM", "5", "0-C-S-A-F5");
    Dispatcher dispatcher{services.With(input), services.paths};
    const Report kReports[] = {{kPadLeftDrag, 0, 0}, Down(6), {kPadRightDrag, 3, 3}};

    std::mt19937 random(15);
    int stuck = 0;
    for (int round = 0; round < 2000; ++round) {
        dispatcher.ApplyEnableState(true);
        // The reader drops every report that finds Tellwand disabled.
        std::thread reader([&] {
            for (const Report& r : kReports) {
                if (!dispatcher.IsDisabled()) {
                    dispatcher.DispatchReport(r.type, r.byte2, r.byte3);
                }
            }
        });
        for (int spin = random() % 64; spin > 0; --spin) {
            std::this_thread::yield();
        }
        dispatcher.ApplyEnableState(false);
        reader.join();
        if (!StillDown(input.TakeEvents()).empty()) {
            ++stuck;
        }
    }
    EXPECT_EQ(stuck, 0);
}

}  // namespace
