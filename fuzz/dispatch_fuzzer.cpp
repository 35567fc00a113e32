// DispatchReport on any stream of reports, mixed with what the window thread does (mode
// changes, enable and disable), over a fake desktop where the media applications may run.
//
// Input: one byte choosing the running applications and the first mode, then groups of three
// bytes: kind, byte 2, byte 3.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "tellwand/dispatcher.h"
#include "testing/fake_desktop.h"
#include "testing/fake_file_system.h"
#include "testing/fake_profile_store.h"
#include "testing/fake_registry.h"

namespace {

// Knows which keys and mouse buttons are down, as the system's input state would.
class KeyStateInput : public InputSink {
  public:
    void KeyEvent(uint8_t virtualKey, uint32_t flags) override {
        FUZZ_CHECK((flags & ~(kKeyEventExtended | kKeyEventKeyUp)) == 0);
        if (virtualKey != 0) {  // an empty modifier slot
            down[virtualKey] = (flags & kKeyEventKeyUp) == 0;
        }
    }
    void MouseEvent(uint32_t flags, int, int) override {
        if (flags & kMouseLeftDown) {
            leftDown = true;
        }
        if (flags & kMouseLeftUp) {
            leftDown = false;
        }
        if (flags & kMouseRightDown) {
            rightDown = true;
        }
        if (flags & kMouseRightUp) {
            rightDown = false;
        }
    }
    void Pause(uint32_t) override {}

    bool AnythingDown() const {
        for (bool key : down) {
            if (key) {
                return true;
            }
        }
        return leftDown || rightDown;
    }

    bool down[256] = {};
    bool leftDown = false;
    bool rightDown = false;
};

const char kUserProgram[] = "C:\\Apps\\player.exe";
const char* const kTexts[] = {"0-C-A",    "0-A-S-B", "1-UP", "0-C-A-S-F5", "0--",       "0-C-;",
                              "0-S-DOWN", "0-ENTER", "",     "0-C-S-LEFT", "0-A-SPACE", "0-C-X"};
constexpr int kTextCount = sizeof kTexts / sizeof kTexts[0];

// Every table gives each button a different record, so a table change between a button's
// down and up reports matters.
void WriteTables(FakeProfileStore& profiles, const IniPaths& paths) {
    const char* sections[] = {"VCR", "DVD", "FM", "TELETEXT", "Music"};
    for (int s = 0; s < 5; ++s) {
        bool user = s == 4;
        for (int n = 0; n < kButtonCount; ++n) {
            std::string key = std::to_string(n);
            profiles.WriteString(user ? paths.userDef : paths.twCtrl, sections[s], key.c_str(),
                                 kTexts[(n + 5 * s) % kTextCount]);
            if (user) {
                profiles.WriteString(paths.userDefInf, sections[s], key.c_str(), "Music");
            }
        }
    }
    profiles.WriteString(paths.userDef, "Music", "FilePath", kUserProgram);
}

void AddWindows(uint8_t choice, FakeDesktop& desktop) {
    if (choice & 0x02) {
        AddApplicationWindow(desktop, "VCR");
    }
    if (choice & 0x04) {
        AddApplicationWindow(desktop, "DVD");
    }
    if (choice & 0x08) {
        AddApplicationWindow(desktop, "FM");
    }
    if (choice & 0x10) {
        AddApplicationWindow(desktop, "TXT");
    }
}

// The window thread's part: mode changes and enabling, as WandEdit's message and the menu do.
void WindowThreadAction(uint8_t action, Dispatcher& dispatcher) {
    switch (action % 4) {
        case 0:
            dispatcher.SetTableSelector(kBuiltInMode);
            break;
        case 1:
            dispatcher.SetTableSelector(kUserMode);
            break;
        case 2:
            dispatcher.ApplyEnableState(true);
            break;
        default:
            dispatcher.ApplyEnableState(false);
            break;
    }
}

struct Harness {
    Harness() {
        WriteTables(profiles, paths);
        registry.SetString(kSettingsKey, "UserDefineTable", "Music");
        registry.WriteDword(kSettingsKey, "EnableOSD", 1);
        files.existing = {kVcrPath, kDvdPath, kFmPath, kUserProgram};
        dispatcher.ResolveProgramPaths();
    }

    // The reader drops reports while Tellwand is disabled.
    void Dispatch(uint8_t type, uint8_t byte2, uint8_t byte3) {
        if (dispatcher.IsDisabled()) {
            return;
        }
        dispatcher.DispatchReport(type, byte2, byte3);
        if (type == kButtonReport) {
            if (byte2 == 0) {
                held.insert(byte3);
            } else {
                held.erase(byte3);
            }
        }
        OsdText osd = dispatcher.CopyOsdText();
        FUZZ_CHECK(strnlen(osd.data(), osd.size()) < osd.size());
        log.clear();
    }

    // What the user does at the end: every button comes up and the pad is touched once per
    // mouse button, or Tellwand is disabled, which lets go of everything.
    void ReleaseEverything() {
        std::set<uint8_t> stillHeld = held;
        for (uint8_t code : stillHeld) {
            Dispatch(kButtonReport, 1, code);
        }
        Dispatch(kPadMove, 0, 0);
        Dispatch(kPadMove, 0, 0);
    }

    std::vector<std::string> log;
    KeyStateInput input;
    FakeDesktop desktop{log};
    FakeTrayIcon tray{log};
    FakeProfileStore profiles;
    FakeRegistry registry;
    FakeFileSystem files;
    IniPaths paths{"TWCtrl.ini", "UserDef.ini", "UserDefInf.ini"};
    Dispatcher dispatcher{{input, desktop, profiles, registry, files, tray}, paths};
    std::set<uint8_t> held;  // button codes whose down report was the last one dispatched
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    Harness harness;
    AddWindows(data[0], harness.desktop);
    harness.dispatcher.SetTableSelector(data[0] & 0x01 ? kUserMode : kBuiltInMode);
    harness.dispatcher.ApplyEnableState(true);

    for (std::size_t at = 1; at + 3 <= size; at += 3) {
        uint8_t kind = data[at];
        uint8_t byte2 = data[at + 1];
        uint8_t byte3 = data[at + 2];
        switch (kind % 6) {
            case 0:
                harness.Dispatch(kButtonReport, byte2, byte3);
                break;
            case 1:
                harness.Dispatch(kPadMove, byte2, byte3);
                break;
            case 2:
                harness.Dispatch(kPadLeftDrag, byte2, byte3);
                break;
            case 3:
                harness.Dispatch(kPadRightDrag, byte2, byte3);
                break;
            case 4:
                WindowThreadAction(byte2, harness.dispatcher);
                break;
            default:
                harness.Dispatch(kind, byte2, byte3);  // any type byte at all
                break;
        }
    }
    harness.ReleaseEverything();
    FUZZ_CHECK(!harness.input.AnythingDown());
    return 0;
}
