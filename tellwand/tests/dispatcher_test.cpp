#include <gtest/gtest.h>

#include "tellwand/tests/dispatcher_fixture.h"

namespace {

struct PadCase {
    const char* name;
    std::vector<Report> reports;
    Events expected;
};

const PadCase kPadCases[] = {
    {"still", {{kPadMove, 0, 0}}, {}},
    {"right 1", {{kPadMove, 1, 0}}, {"mouse 1 1 0"}},
    {"right 99", {{kPadMove, 99, 0}}, {"mouse 1 99 0"}},
    {"left 154", {{kPadMove, 101, 0}}, {"mouse 1 -154 0"}},
    {"left 1", {{kPadMove, 254, 0}}, {"mouse 1 -1 0"}},
    {"255 is no step but still a move", {{kPadMove, 255, 0}}, {"mouse 1 0 0"}},
    {"up 1", {{kPadMove, 0, 1}}, {"mouse 1 0 -1"}},
    {"up 99", {{kPadMove, 0, 99}}, {"mouse 1 0 -99"}},
    {"down 154", {{kPadMove, 0, 101}}, {"mouse 1 0 154"}},
    {"down 1", {{kPadMove, 0, 254}}, {"mouse 1 0 1"}},
    {"x 255 y 1", {{kPadMove, 255, 1}}, {"mouse 1 0 -1"}},
    {"x 100 cancels", {{kPadMove, 100, 5}}, {}},
    {"y 100 cancels", {{kPadMove, 5, 100}}, {}},
    {"still left drag presses once, move releases",
     {{kPadLeftDrag, 0, 0}, {kPadLeftDrag, 0, 0}, {kPadMove, 0, 0}, {kPadMove, 0, 0}},
     {"mouse 2 0 0", "mouse 4 0 0"}},
    {"moving left drag has no separate press",
     {{kPadLeftDrag, 5, 0}, {kPadLeftDrag, 0, 0}, {kPadMove, 0, 0}},
     {"mouse 3 5 0", "mouse 4 0 0"}},
    {"drag with 100 holds the button without moving",
     {{kPadLeftDrag, 100, 3}, {kPadMove, 2, 0}},
     {"mouse 4 0 0", "mouse 1 2 0"}},
    {"right drag",
     {{kPadRightDrag, 0, 0}, {kPadRightDrag, 0, 254}, {kPadRightDrag, 0, 0}, {kPadMove, 0, 0}},
     {"mouse 8 0 0", "mouse 9 0 1", "mouse 10 0 0"}},
    {"both held: one release per move, left first",
     {{kPadLeftDrag, 0, 0},
      {kPadRightDrag, 0, 0},
      {kPadMove, 3, 0},
      {kPadMove, 0, 0},
      {kPadMove, 0, 0}},
     {"mouse 2 0 0", "mouse 8 0 0", "mouse 4 0 0", "mouse 1 3 0", "mouse 10 0 0"}},
    {"other types are ignored",
     {{0x00, 1, 1}, {0x41, 0, 5}, {0x87, 1, 1}, {0x8B, 1, 1}, {0xFF, 0, 0}},
     {}},
};

TEST_F(DispatcherTest, PadReportsBecomeMouseEvents) {
    for (const PadCase& c : kPadCases) {
        SCOPED_TRACE(c.name);
        Dispatcher fresh{{input, desktop, profiles, registry, files, tray}, paths};
        input.events.clear();
        for (const Report& r : c.reports) {
            fresh.DispatchReport(r.type, r.byte2, r.byte3);
        }
        EXPECT_EQ(input.events, c.expected);
    }
}

// Codes without a role of their own, in both modes; digits, Play/Pause and the keys that
// reset it act as plain buttons while no DVD player is in use.
const int kPlainCodes[] = {5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                           21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 36, 46};

TEST_F(DispatcherTest, PlainButtonsPlayTheirRecordInBuiltInMode) {
    EnableWithFmApplication();
    for (int code : kPlainCodes) {
        SCOPED_TRACE(code);
        int button = ButtonFromReportCode(code);
        EXPECT_EQ(Dispatch({Down(code)}), PressOf(kFmStyle, button));
        EXPECT_EQ(OsdText(), "");  // built-in tables carry no descriptions
        EXPECT_FALSE(dispatcher.OsdEnabled());
        EXPECT_EQ(Dispatch({Up(code)}), ReleaseOf(kFmStyle, button));
    }
}

TEST_F(DispatcherTest, PlainButtonsPlayTheirRecordInUserMode) {
    registry.WriteDword(kSettingsKeyName, "EnableOSD", 1);
    EnterUserMode();
    std::vector<int> codes(std::begin(kPlainCodes), std::end(kPlainCodes));
    codes.insert(codes.end(), {2, 4, 35});  // the launch buttons of built-in mode
    for (int code : codes) {
        SCOPED_TRACE(code);
        int button = ButtonFromReportCode(code);
        EXPECT_EQ(Dispatch({Down(code)}), PressOf(kMusicStyle, button));
        EXPECT_EQ(OsdText(), "Music " + std::to_string(button));
        // Any marker but 0 is an up; a second up finds nothing of the button down and sends
        // nothing, since a key-up of ours could let go of a key the user holds.
        EXPECT_EQ(Dispatch({{kButtonReport, 0xFF, static_cast<uint8_t>(code)}, Up(code)}),
                  ReleaseOf(kMusicStyle, button));
        EXPECT_TRUE(dispatcher.OsdEnabled());  // user mode keeps the registry's value
    }
}

TEST_F(DispatcherTest, CodesWithoutButtonDoNothingButSwitchTheOsdOffInBuiltInMode) {
    registry.WriteDword(kSettingsKeyName, "EnableOSD", 1);
    for (int selector : {kUserMode, kBuiltInMode}) {
        dispatcher.SetTableSelector(kUserMode);  // reads EnableOSD = 1
        dispatcher.SetTableSelector(selector);
        for (int code : {0, 3, 34, 37, 40, 45, 47, 128, 255}) {
            SCOPED_TRACE(code);
            EXPECT_EQ(Dispatch({Down(code), Up(code)}), Events{});
            EXPECT_EQ(dispatcher.OsdEnabled(), selector == kUserMode);
        }
    }
}

// One launch scenario: the windows and program files present, then report by report what
// is caused and what the OSD text becomes.
struct Step {
    Report report;
    Events expected;
    const char* osdText;
};

// The buttons that start and close the applications: in built-in mode the OSD shows for them
// alone.
bool StartsOrClosesApplications(const Report& report) {
    int button = ButtonFromReportCode(report.byte3);
    for (Button launch : {Button::Power, Button::VCR, Button::DVD, Button::TeleText}) {
        if (button == static_cast<int>(launch)) {
            return true;
        }
    }
    return false;
}

struct LaunchCase {
    const char* name;
    std::vector<std::string> windows;  // "VCR", "DVD", "FM", "TXT"
    std::vector<std::string> files;
    std::vector<Step> steps;
};

std::string Quoted(const char* path) {
    return "\"" + std::string(path) + "\"";
}

const LaunchCase kLaunchCases[] = {
    {"Power starts the recorder",
     {},
     {kVcrPath},
     {{Down(Button::Power), kFindApplications, "VCR"},
      {Up(Button::Power), Join({kFindApplications, {"start " + Quoted(kVcrPath)}}), "VCR"},
      {Down(Button::Subtitles), PressOf(kVcrStyle, 5), ""}}},
    {"VCR button closes the running recorder, then starts the DVD player",
     {"VCR"},
     {kDvdPath},
     {{Down(Button::VCR),
       Join({kFindApplications, {"enable VCR", "post VCR WM_QUIT 0 0", "sleep 1000"}}), "DVD"},
      {Up(Button::VCR), Join({kFindApplications, {"start " + Quoted(kDvdPath)}}), "DVD"},
      {Down(Button::PlayPause), {"key 00 0", "key 00 0", "key 00 0", "key 20 0"}, "Pause"}}},
    {"TeleText button closes recorder and player, then starts the FM application",
     {"VCR", "DVD"},
     {kFmPath},
     {{Down(Button::TeleText),
       Join({kFindApplications,
             {"enable VCR", "post VCR WM_QUIT 0 0", "sleep 1000", "enable DVD",
              "post DVD WM_CLOSE 0 0", "sleep 1000"}}),
       "FM"},
      {Up(Button::TeleText), Join({kFindApplications, {"start " + Quoted(kFmPath) + " FM"}}), "FM"},
      {Down(Button::Subtitles), PressOf(kFmStyle, 5), ""},
      // The player was closed: Play/Pause is a plain button again.
      {Down(Button::PlayPause), PressOf(kFmStyle, 9), ""}}},
    {"Power closes the DVD player and the FM application",
     {"DVD", "FM"},
     {kVcrPath},
     {{Down(Button::Power),
       Join({kFindApplications,
             {"enable DVD", "post DVD WM_CLOSE 0 0", "sleep 1000", "enable FM",
              "post FM WM_CLOSE 0 0", "sleep 1000"}}),
       "VCR"}}},
    {"missing program files start nothing",
     {},
     {},
     {{Down(Button::Power), kFindApplications, "File path error"},
      {Up(Button::Power), kFindApplications, "File path error"},
      {Down(Button::VCR), kFindApplications, "File path error"},
      {Up(Button::VCR), kFindApplications, "File path error"},
      {Down(Button::TeleText), kFindApplications, "File path error"},
      {Up(Button::TeleText), kFindApplications, "File path error"}}},
    {"Power with the recorder running plays Power and quits the recorder",
     {"VCR"},
     {kVcrPath},
     {{Down(Button::Power), Join({kFindApplications, PressOf(kVcrStyle, 0)}), "Exit"},
      {Up(Button::Power),
       Join({kFindApplications, ReleaseOf(kVcrStyle, 0), {"post VCR WM_QUIT 0 0"}}), "Exit"}}},
    {"VCR button with the DVD player running closes it",
     {"DVD"},
     {kDvdPath},
     {{Down(Button::VCR), kFindApplications, "Exit"},
      {Up(Button::VCR), Join({kFindApplications, {"enable DVD", "post DVD WM_CLOSE 0 0"}}), "Exit"},
      {Down(Button::PlayPause), PressOf(kDvdStyle, 9), ""}}},
    {"TeleText button with the FM application running closes it",
     {"FM"},
     {kFmPath},
     {{Down(Button::TeleText), kFindApplications, "Exit"},
      {Up(Button::TeleText), Join({kFindApplications, {"enable FM", "post FM WM_CLOSE 0 0"}}),
       "Exit"}}},
    {"teletext on and off while the recorder runs",
     {"VCR", "TXT"},
     {},
     {{Down(Button::DVD), Join({kFindApplications, PressOf(kVcrStyle, 2)}), "TELETEXT"},
      {Up(Button::DVD), Join({kFindApplications, ReleaseOf(kVcrStyle, 2)}), "TELETEXT"},
      {Down(Button::Subtitles), PressOf(kTeletextStyle, 5), ""},
      {Up(Button::Subtitles), ReleaseOf(kTeletextStyle, 5), ""},
      {Down(Button::DVD), kFindApplications, "Exit"},
      {Up(Button::DVD),
       Join({kFindApplications, {"find *|GlobeTXT", "enable TXT", "post TXT WM_QUIT 0 0"}}),
       "Exit"},
      {Down(Button::Subtitles), PressOf(kVcrStyle, 5), ""}}},
    {"teletext off when its window is gone",
     {"VCR"},
     {},
     {{Down(Button::DVD), Join({kFindApplications, PressOf(kVcrStyle, 2)}), "TELETEXT"},
      {Up(Button::DVD), Join({kFindApplications, ReleaseOf(kVcrStyle, 2)}), "TELETEXT"},
      {Down(Button::DVD), kFindApplications, "Exit"},
      {Up(Button::DVD), Join({kFindApplications, {"find *|GlobeTXT"}}), "Exit"},
      {Down(Button::Subtitles), PressOf(kVcrStyle, 5), ""}}},
    {"teletext button without the recorder",
     {},
     {},
     {{Down(Button::DVD), kFindApplications, ""}, {Up(Button::DVD), kFindApplications, ""}}},
};

TEST_F(DispatcherTest, LaunchButtonsInBuiltInMode) {
    for (const LaunchCase& c : kLaunchCases) {
        SCOPED_TRACE(c.name);
        RecordingInput log;
        FakeDesktop windows{log.events};
        FakeFileSystem programs;
        for (const std::string& label : c.windows) {
            AddApplicationWindow(windows, label);
        }
        programs.existing.insert(c.files.begin(), c.files.end());
        programs.programFiles = {"C:\\Program Files", "E:\\Program Files"};  // every default
        Dispatcher fresh{{log, windows, profiles, registry, programs, tray}, paths};
        fresh.ResolveProgramPaths();
        fresh.ApplyEnableState(true);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(::testing::Message() << "code " << int(step.report.byte3)
                                              << (step.report.byte2 ? " up" : " down"));
            log.events.clear();
            fresh.DispatchReport(step.report.type, step.report.byte2, step.report.byte3);
            EXPECT_EQ(log.events, step.expected);
            EXPECT_STREQ(fresh.CopyOsdText().data(), step.osdText);
            EXPECT_EQ(fresh.OsdEnabled(), StartsOrClosesApplications(step.report));
        }
    }
}

Events PressLine(uint8_t key, unsigned flags) {
    return {"key 00 0", "key 00 0", "key 00 0", KeyLine(key, flags)};
}

TEST_F(DispatcherTest, PlayPauseInTheDvdPlayerAlternatesStartingWithPause) {
    EnableWithDvdPlayer();
    EXPECT_EQ(Dispatch({Down(Button::PlayPause)}), PressLine(0x20, 0));
    EXPECT_EQ(OsdText(), "Pause");
    EXPECT_EQ(Dispatch({Up(Button::PlayPause)}),
              Join({{KeyLine(0x20, 2), "pause 50"}, Events(3, "key 00 2")}));
    EXPECT_EQ(Dispatch({Down(Button::PlayPause)}), PressLine(0x0D, 0));
    EXPECT_EQ(OsdText(), "Play");
    Dispatch({Up(Button::PlayPause)});
    EXPECT_EQ(Dispatch({Down(Button::PlayPause)}), PressLine(0x20, 0));
}

TEST_F(DispatcherTest, StopForwardEjectAndBackwardMakeTheNextPlayPausePlay) {
    for (int code : {9, 11, 13, 14}) {
        SCOPED_TRACE(code);
        RecordingInput log;
        FakeDesktop windows{log.events};
        windows.AddWindow("DVD", "Class of CyberLink Universal Player", "PowerDVD");
        Dispatcher fresh{{log, windows, profiles, registry, files, tray}, paths};
        fresh.ApplyEnableState(true);
        for (const Report& r :
             {Down(Button::PlayPause), Up(Button::PlayPause), Down(Button::PlayPause),
              Up(Button::PlayPause), Down(code), Up(code)}) {
            fresh.DispatchReport(r.type, r.byte2, r.byte3);  // Pause, Play, then the reset
        }
        log.events.clear();
        fresh.DispatchReport(kButtonReport, 0, 10);
        EXPECT_EQ(log.events, PressLine(0x0D, 0));
    }
}

TEST_F(DispatcherTest, BackwardKeepsPlayPauseWhileTheRecorderIsInUse) {
    files.existing = {kVcrPath, kDvdPath};
    // Start the recorder, then the player: both are in use.
    Dispatch({Down(Button::Power), Up(Button::Power), Down(Button::VCR), Up(Button::VCR)});
    Dispatch({Down(Button::PlayPause), Up(Button::PlayPause), Down(Button::PlayPause),
              Up(Button::PlayPause), Down(Button::Backward), Up(Button::Backward)});
    EXPECT_EQ(Dispatch({Down(Button::PlayPause)}), PressLine(0x20, 0));
}

struct DigitCase {
    int code;
    uint8_t numPadKey;
    uint8_t cursorKey;
    unsigned cursorFlags;
};

const DigitCase kDigitCases[] = {
    {23, 0x61, 0, 0},    {24, 0x62, 0x26, 1}, {25, 0x63, 0, 0}, {26, 0x64, 0x25, 1},
    {27, 0x65, 0x0D, 0}, {28, 0x66, 0x27, 1}, {29, 0x67, 0, 0}, {30, 0x68, 0x28, 1},
    {31, 0x69, 0, 0},    {33, 0x60, 0, 0},
};

TEST_F(DispatcherTest, DigitsInTheDvdPlayerSendCursorKeysOrKeypadDigits) {
    EnableWithDvdPlayer();
    for (const DigitCase& c : kDigitCases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Dispatch({Down(c.code)}), PressLine(c.cursorKey, c.cursorFlags));
        EXPECT_EQ(Dispatch({Up(c.code)})[0], KeyLine(c.cursorKey, c.cursorFlags | 2));
    }
    // NumPad toggles on its press only, and plays its own record as well.
    EXPECT_EQ(Dispatch({Down(Button::NumPad), Up(Button::NumPad)}),
              Join({PressOf(kDvdStyle, 21), ReleaseOf(kDvdStyle, 21)}));
    for (const DigitCase& c : kDigitCases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Dispatch({Down(c.code)}), PressLine(c.numPadKey, 0));
        EXPECT_EQ(Dispatch({Up(c.code)})[0], KeyLine(c.numPadKey, 2));
    }
    Dispatch({Down(Button::NumPad), Up(Button::NumPad)});
    EXPECT_EQ(Dispatch({Down(Button::Digit2)}), PressLine(0x26, 1));
}

TEST_F(DispatcherTest, NumPadOutsideTheDvdPlayerChangesNothing) {
    EnableWithRecorder();
    Dispatch({Down(Button::NumPad), Up(Button::NumPad)});
    files.existing = {kDvdPath};
    Dispatch({Down(Button::VCR), Up(Button::VCR)});  // now the player is in use, keypad still off
    EXPECT_EQ(Dispatch({Down(Button::Digit2)}), PressLine(0x26, 1));
}

TEST_F(DispatcherTest, UserProgramStartsOnceThenPowerPlaysItsKeys) {
    files.existing = {kMusicProgram};
    EnterUserMode();
    EXPECT_EQ(Dispatch({Down(Button::Power)}), Events{});
    EXPECT_EQ(OsdText(), "Music Mode");
    EXPECT_EQ(Dispatch({Up(Button::Power)}), Events{"start " + Quoted(kMusicProgram)});
    EXPECT_EQ(Dispatch({Down(Button::Power)}), PressOf(kMusicStyle, 0));
    EXPECT_EQ(OsdText(), "Music 0");
    EXPECT_EQ(Dispatch({Up(Button::Power)}), ReleaseOf(kMusicStyle, 0));
    // The next press starts the program again.
    EXPECT_EQ(Dispatch({Down(Button::Power), Up(Button::Power)}),
              Events{"start " + Quoted(kMusicProgram)});
}

// Any selector but 0 plays the user table; only 15 gives Power the user's program.
TEST_F(DispatcherTest, OnlySelectorFifteenMakesPowerStartTheUserProgram) {
    struct SelectorCase {
        int selector;
        Events power;
    };
    const SelectorCase kCases[] = {
        {kUserMode, {"start " + Quoted(kMusicProgram)}},
        {3, Join({PressOf(kMusicStyle, 0), ReleaseOf(kMusicStyle, 0)})},
        {1, Join({PressOf(kMusicStyle, 0), ReleaseOf(kMusicStyle, 0)})},
        {255, Join({PressOf(kMusicStyle, 0), ReleaseOf(kMusicStyle, 0)})},
    };
    files.existing = {kMusicProgram};
    registry.SetString(kSettingsKeyName, "UserDefineTable", "Music");
    for (const SelectorCase& c : kCases) {
        SCOPED_TRACE(c.selector);
        RecordingInput log;
        FakeDesktop windows{log.events};
        Dispatcher fresh{{log, windows, profiles, registry, files, tray}, paths};
        fresh.SetTableSelector(c.selector);
        fresh.ApplyEnableState(true);
        log.events.clear();
        for (const Report& r : {Down(Button::Power), Up(Button::Power)}) {
            fresh.DispatchReport(r.type, r.byte2, r.byte3);
        }
        EXPECT_EQ(log.events, c.power);
    }
}

TEST_F(DispatcherTest, UserProgramMissingOrNotAFullPathShowsFilePathError) {
    // Each file is there as the path names it: only a full path may count.
    const char* const kPaths[] = {kMusicProgram,      "play.exe",   "Music Player\\play.exe",
                                  "\\Apps\\play.exe", "C:play.exe", "\\\\server"};
    for (const char* path : kPaths) {
        SCOPED_TRACE(path);
        profiles.WriteString(paths.userDef, "Music", "FilePath", path);
        files.existing = {path};
        files.existing.erase(kMusicProgram);
        EnterUserMode();
        EXPECT_EQ(Dispatch({Down(Button::Power), Up(Button::Power)}), Events{});
        EXPECT_EQ(OsdText(), "File path error");
    }
}

// The OSD must not announce a program that did not start, nor may it be taken as running.
TEST_F(DispatcherTest, AProgramThatWouldNotStartShowsFilePathErrorAndIsTriedAgain) {
    desktop.startFails = true;
    files.existing = {kMusicProgram, kDvdPath};
    EnterUserMode();
    const Events start{"start " + Quoted(kMusicProgram)};
    EXPECT_EQ(Dispatch({Down(Button::Power), Up(Button::Power)}), start);
    EXPECT_EQ(OsdText(), "File path error");
    EXPECT_EQ(Dispatch({Down(Button::Power), Up(Button::Power)}), start);

    dispatcher.SetTableSelector(kBuiltInMode);
    dispatcher.ApplyEnableState(true);
    dispatcher.ResolveProgramPaths();
    Dispatch({Down(Button::VCR)});
    EXPECT_EQ(Dispatch({Up(Button::VCR)}),
              Join({kFindApplications, {"start " + Quoted(kDvdPath)}}));
    EXPECT_EQ(OsdText(), "File path error");
    // Not the player's Pause: the DVD table's own record, as no player runs.
    EXPECT_EQ(Dispatch({Down(Button::PlayPause)}), PressOf(kDvdStyle, 9));
}

TEST_F(DispatcherTest, UserProgramLoadsItsTable) {
    files.existing = {kMusicProgram};
    EnterUserMode();
    WriteTable({"Music", "0-A-", {0x12, 0, 0}});  // edited after the last load
    Dispatch({Down(Button::Power), Up(Button::Power)});
    EXPECT_EQ(Dispatch({Down(Button::Subtitles)}), PressOf({"Music", "0-A-", {0x12, 0, 0}}, 5));
}

struct EnableCase {
    const char* name;
    std::vector<std::string> windows;
    const TableStyle* table;  // the table then played, or null for the empty one
    bool playerInUse;
};

const EnableCase kEnableCases[] = {
    {"recorder alone", {"VCR"}, &kVcrStyle, false},
    {"player alone", {"DVD"}, &kDvdStyle, true},
    {"FM alone", {"FM"}, &kFmStyle, false},
    {"none keeps the empty table", {}, nullptr, false},
    {"two keep the empty table", {"VCR", "DVD"}, nullptr, false},
};

TEST_F(DispatcherTest, EnablingInBuiltInModeFollowsTheApplicationRunningAlone) {
    for (const EnableCase& c : kEnableCases) {
        SCOPED_TRACE(c.name);
        RecordingInput log;
        FakeDesktop windows{log.events};
        for (const std::string& label : c.windows) {
            AddApplicationWindow(windows, label);
        }
        FakeTrayIcon icon{log.events};
        Dispatcher fresh{{log, windows, profiles, registry, files, icon}, paths};
        fresh.ApplyEnableState(true);
        EXPECT_EQ(log.events, Join({kFindApplications, {"icon enabled VELQ Tellwand"}}));
        EXPECT_FALSE(fresh.IsDisabled());
        log.events.clear();
        fresh.DispatchReport(kButtonReport, 0, 6);
        fresh.DispatchReport(kButtonReport, 0, 10);
        EXPECT_EQ(log.events, Join({c.table ? PressOf(*c.table, 5) : PressLine(0, 0),
                                    c.playerInUse ? PressLine(0x20, 0)
                                    : c.table     ? PressOf(*c.table, 9)
                                                  : PressLine(0, 0)}));
    }
}

TEST_F(DispatcherTest, EnablingWithTwoApplicationsKeepsTheTableAndFlags) {
    EnableWithDvdPlayer();
    desktop.AddWindow("VCR", "PVCR", "PowerBar");
    dispatcher.ApplyEnableState(true);
    EXPECT_EQ(Dispatch({Down(Button::Subtitles), Down(Button::PlayPause)}),
              Join({PressOf(kDvdStyle, 5), PressLine(0x20, 0)}));
}

TEST_F(DispatcherTest, EnablingInUserModeRereadsTheSettingsAndLoadsTheTable) {
    files.existing = {kMusicProgram};
    registry.SetString(kSettingsKeyName, "UserDefineTable", "Films");
    dispatcher.SetTableSelector(kUserMode);
    // WandEdit changed the settings since the selector came.
    registry.SetString(kSettingsKeyName, "UserDefineTable", "Music");
    registry.WriteDword(kSettingsKeyName, "EnableOSD", 1);
    dispatcher.ApplyEnableState(true);
    EXPECT_EQ(input.events, Events{"icon enabled VELQ Tellwand"});
    EXPECT_TRUE(dispatcher.OsdEnabled());
    EXPECT_EQ(OsdText(), "");
    EXPECT_EQ(Dispatch({Down(Button::Subtitles)}), PressOf(kMusicStyle, 5));
}

TEST_F(DispatcherTest, EnablingInUserModeWithoutTheProgramStillLoadsTheTable) {
    EnterUserMode();
    EXPECT_EQ(OsdText(), "File path error");
    EXPECT_EQ(Dispatch({Down(Button::Subtitles)}), PressOf(kMusicStyle, 5));
}

TEST_F(DispatcherTest, SelectorZeroLeavesTheSettingsAlone) {
    registry.WriteDword(kSettingsKeyName, "EnableOSD", 1);
    dispatcher.SetTableSelector(kBuiltInMode);
    EXPECT_FALSE(dispatcher.OsdEnabled());
    dispatcher.SetTableSelector(kUserMode);
    EXPECT_TRUE(dispatcher.OsdEnabled());
    EXPECT_TRUE(dispatcher.Selector().IsUserMode());
}

struct PathCase {
    const char* name;
    const char* keyPath;
    const char* subKey;
    const char* folder;  // null: no value in the registry
    const char* expected;
};

const std::string kLongFolder = "D:\\" + std::string(252, 'a');

const PathCase kPathCases[] = {
    {"folder without backslash", "Software\\Rec", "Dir", "D:\\Rec", "D:\\Rec\\PVCR.exe"},
    {"folder with backslash", "Software\\Rec", "Dir", "D:\\Rec\\", "D:\\Rec\\PVCR.exe"},
    {"missing value", "Software\\Rec", "Dir", nullptr, kVcrPath},
    {"missing location keys", "", "", nullptr, kVcrPath},
    {"empty folder", "Software\\Rec", "Dir", "", kVcrPath},
    {"path too long", "Software\\Rec", "Dir", kLongFolder.c_str(), kVcrPath},
};

TEST_F(DispatcherTest, ProgramPathsComeFromTheRegistryFolder) {
    for (const PathCase& c : kPathCases) {
        SCOPED_TRACE(c.name);
        FakeProfileStore locations;
        FakeRegistry folders;
        if (c.keyPath[0] != '\0') {
            locations.WriteString(paths.twCtrl, "VCR", "KeyPath", c.keyPath);
            locations.WriteString(paths.twCtrl, "VCR", "SubKey", c.subKey);
        }
        if (c.folder) {
            folders.SetString(c.keyPath, c.subKey, c.folder);
        }
        FakeFileSystem programs;
        programs.existing = {c.expected};
        Dispatcher fresh{{input, desktop, locations, folders, programs, tray}, paths};
        fresh.ResolveProgramPaths();
        fresh.DispatchReport(kButtonReport, 0, 1);
        EXPECT_STREQ(fresh.CopyOsdText().data(), "VCR");
    }
}

// Another user may own a program at a default path on another drive; App Paths and the user's
// own tables are not defaults.
TEST_F(DispatcherTest, ABuiltInDefaultPathCountsOnlyInsideProgramFiles) {
    struct Case {
        const char* name;
        std::vector<std::string> programFiles;
        Report press;
        const char* started;  // null: "File path error"
    };
    const Case cases[] = {
        {"inside", {"C:\\Program Files"}, Up(Button::Power), kVcrPath},
        {"in another case, with a separator at its end",
         {"c:\\PROGRAM FILES\\"},
         Up(Button::VCR),
         kDvdPath},
        {"in one of both folders of 64-bit Windows",
         {"C:\\Program Files (x86)", "C:\\Program Files"},
         Up(Button::Power),
         kVcrPath},
        {"named through '..'", {"C:\\Windows\\..\\Program Files"}, Up(Button::Power), kVcrPath},
        {"the FM default on E: where Program Files is on C:",
         {"C:\\Program Files", "C:\\Program Files (x86)"},
         Up(Button::TeleText),
         nullptr},
        {"a folder whose name only begins the same", {"C:\\Program"}, Up(Button::Power), nullptr},
        {"Program Files unknown", {}, Up(Button::Power), nullptr},
        {"the FM default where Program Files is on E:",
         {"E:\\Program Files"},
         Up(Button::TeleText),
         kFmPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingInput log;
        FakeDesktop windows{log.events};
        FakeFileSystem programs;
        programs.existing = {kVcrPath, kDvdPath, kFmPath};
        programs.programFiles = c.programFiles;
        Dispatcher fresh{{log, windows, profiles, registry, programs, tray}, paths};
        fresh.ResolveProgramPaths();
        fresh.DispatchReport(c.press.type, c.press.byte2, c.press.byte3);
        if (c.started == nullptr) {
            EXPECT_EQ(log.events, kFindApplications);
            EXPECT_STREQ(fresh.CopyOsdText().data(), "File path error");
        } else {
            EXPECT_EQ(log.events.back(),
                      "start " + Quoted(c.started) + (c.press.byte3 == 4 ? " FM" : ""));
        }
    }
}

TEST_F(DispatcherTest, EachApplicationHasItsOwnLocation) {
    const char* sections[] = {"VCR", "DVD", "FM"};
    for (const char* section : sections) {
        profiles.WriteString(paths.twCtrl, section, "KeyPath", "Software\\Apps");
        profiles.WriteString(paths.twCtrl, section, "SubKey", section);
        registry.SetString("Software\\Apps", section, std::string("F:\\") + section);
    }
    dispatcher.ResolveProgramPaths();
    files.existing = {"F:\\VCR\\PVCR.exe", "F:\\DVD\\PowerDVD.exe", "F:\\FM\\tunrec.exe"};
    EXPECT_EQ(Dispatch({Up(Button::Power), Up(Button::VCR), Up(Button::TeleText)}),
              Join({kFindApplications,
                    {"start \"F:\\VCR\\PVCR.exe\""},
                    kFindApplications,
                    {"start \"F:\\DVD\\PowerDVD.exe\""},
                    kFindApplications,
                    {"start \"F:\\FM\\tunrec.exe\" FM"}}));
}

}  // namespace
