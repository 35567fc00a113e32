#pragma once
// A dispatcher over fakes whose calls land in one log, and tables whose records tell apart
// which table and which button a played key came from.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "tellwand/dispatcher.h"
#include "testing/fake_desktop.h"
#include "testing/fake_file_system.h"
#include "testing/fake_profile_store.h"
#include "testing/fake_registry.h"
#include "testing/recording_input.h"

using Events = std::vector<std::string>;

struct Report {
    uint8_t type;
    uint8_t byte2;
    uint8_t byte3;
};

// By report code, for tests of the codes themselves; by button everywhere else.
inline Report Down(int code) {
    return {kButtonReport, 0, static_cast<uint8_t>(code)};
}
inline Report Up(int code) {
    return {kButtonReport, 1, static_cast<uint8_t>(code)};
}
inline Report Down(Button button) {
    return Down(ReportCodeFromButton(button));
}
inline Report Up(Button button) {
    return Up(ReportCodeFromButton(button));
}

// Each table gives all its records one modifier set; button n plays the key 'A' + n, then the
// digits from button 26 on.
struct TableStyle {
    const char* section;
    const char* prefix;
    uint8_t modifiers[3];  // the slots as played: Control, Alt, Shift, filled from the first
};

const TableStyle kVcrStyle = {"VCR", "0-C-", {0x11, 0, 0}};
const TableStyle kDvdStyle = {"DVD", "0-A-", {0x12, 0, 0}};
const TableStyle kFmStyle = {"FM", "0-S-", {0x10, 0, 0}};
const TableStyle kTeletextStyle = {"TELETEXT", "0-C-A-", {0x11, 0x12, 0}};
const TableStyle kMusicStyle = {"Music", "0-C-S-", {0x11, 0x10, 0}};

inline uint8_t KeyOfButton(int button) {
    return static_cast<uint8_t>(button < 26 ? 'A' + button : '0' + button - 26);
}

inline std::string KeyLine(uint8_t key, unsigned flags) {
    char line[32];
    std::snprintf(line, sizeof line, "key %02X %u", key, flags);
    return line;
}

inline Events PressOf(const TableStyle& style, int button) {
    return {KeyLine(style.modifiers[0], 0), KeyLine(style.modifiers[1], 0),
            KeyLine(style.modifiers[2], 0), KeyLine(KeyOfButton(button), 0)};
}

inline Events ReleaseOf(const TableStyle& style, int button) {
    return {KeyLine(KeyOfButton(button), 2), "pause 50", KeyLine(style.modifiers[2], 2),
            KeyLine(style.modifiers[1], 2), KeyLine(style.modifiers[0], 2)};
}

inline Events Join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The three application windows, looked up for every launch button in built-in mode.
const Events kFindApplications = {"find *|PowerBar", "find Class of CyberLink Universal Player|*",
                                  "find Class of VELQ Tunio.FM|VELQ Tunio.FM"};

const char kMusicProgram[] = "C:\\Apps\\Music Player\\play.exe";
const char kSettingsKeyName[] = "Software\\VELQ\\Tellwand";

// What a dispatcher needs besides its input, for tests that bring an input of their own and do
// not look at the desktop's calls.
struct QuietServices {
    std::vector<std::string> desktopCalls;
    FakeDesktop desktop{desktopCalls};
    NullTray tray;
    FakeProfileStore profiles;
    FakeRegistry registry;
    FakeFileSystem files;
    IniPaths paths{"TWCtrl.ini", "UserDef.ini", "UserDefInf.ini"};

    DispatcherServices With(InputSink& input) {
        return {input, desktop, profiles, registry, files, tray};
    }
};

class DispatcherTest : public ::testing::Test {
  protected:
    DispatcherTest() {
        for (const TableStyle* style :
             {&kVcrStyle, &kDvdStyle, &kFmStyle, &kTeletextStyle, &kMusicStyle}) {
            WriteTable(*style);
        }
        profiles.WriteString(paths.userDef, "Music", "FilePath", kMusicProgram);
        dispatcher.ResolveProgramPaths();
    }

    void WriteTable(const TableStyle& style) {
        bool user = std::string(style.section) == kMusicStyle.section;
        for (int n = 0; n < kButtonCount; ++n) {
            std::string key = std::to_string(n);
            std::string text = std::string(style.prefix) + static_cast<char>(KeyOfButton(n));
            profiles.WriteString(user ? paths.userDef : paths.twCtrl, style.section, key.c_str(),
                                 text.c_str());
            if (user) {
                std::string description = "Music " + key;
                profiles.WriteString(paths.userDefInf, style.section, key.c_str(),
                                     description.c_str());
            }
        }
    }

    // User mode with the "Music" table chosen in the registry and loaded.
    void EnterUserMode(const char* table = "Music") {
        registry.SetString(kSettingsKeyName, "UserDefineTable", table);
        dispatcher.SetTableSelector(kUserMode);
        dispatcher.ApplyEnableState(true);
        input.events.clear();
    }

    // Built-in mode, enabled while only `window` runs, so its table and flags are chosen.
    void EnableWithApplication(const std::string& label) {
        AddApplicationWindow(desktop, label);
        dispatcher.ApplyEnableState(true);
        input.events.clear();
    }
    void EnableWithRecorder() { EnableWithApplication("VCR"); }
    void EnableWithDvdPlayer() { EnableWithApplication("DVD"); }
    void EnableWithFmApplication() { EnableWithApplication("FM"); }

    // Dispatches the reports and returns what they caused.
    Events Dispatch(std::initializer_list<Report> reports) {
        input.events.clear();
        for (const Report& report : reports) {
            dispatcher.DispatchReport(report.type, report.byte2, report.byte3);
        }
        Events caused = input.events;
        input.events.clear();
        return caused;
    }

    std::string OsdText() const { return dispatcher.CopyOsdText().data(); }

    RecordingInput input;
    FakeDesktop desktop{input.events};
    FakeTrayIcon tray{input.events};
    FakeProfileStore profiles;
    FakeRegistry registry;
    FakeFileSystem files;
    IniPaths paths{"C:\\TW\\TWCtrl.ini", "C:\\TW\\UserDef.ini", "C:\\TW\\UserDefInf.ini"};
    Dispatcher dispatcher{{input, desktop, profiles, registry, files, tray}, paths};
};

// What a recorded event sequence leaves down: keys as "key XX", mouse buttons as "left" and
// "right". Key code 0 (an empty modifier slot) is nothing.
inline std::vector<std::string> StillDown(const Events& events) {
    std::vector<std::string> down;
    auto set = [&down](const std::string& name, bool isDown) {
        auto found = std::find(down.begin(), down.end(), name);
        if (isDown && found == down.end()) {
            down.push_back(name);
        } else if (!isDown && found != down.end()) {
            down.erase(found);
        }
    };
    for (const std::string& event : events) {
        unsigned key = 0, flags = 0;
        int dx = 0, dy = 0;
        if (std::sscanf(event.c_str(), "key %x %u", &key, &flags) == 2 && key != 0) {
            set("key " + event.substr(4, 2), (flags & kKeyEventKeyUp) == 0);
        } else if (std::sscanf(event.c_str(), "mouse %x %d %d", &flags, &dx, &dy) == 3) {
            if (flags & (kMouseLeftDown | kMouseLeftUp)) {
                set("left", (flags & kMouseLeftDown) != 0);
            }
            if (flags & (kMouseRightDown | kMouseRightUp)) {
                set("right", (flags & kMouseRightDown) != 0);
            }
        }
    }
    return down;
}
