// Every report the receiver could deliver: all values of the type, byte 2 and byte 3.

#include <gtest/gtest.h>

#include <cstring>

#include "tellwand/tests/dispatcher_fixture.h"

namespace {

// Counts calls and checks each mouse event, without the cost of recording text.
class CheckingInput : public InputSink {
  public:
    void KeyEvent(uint8_t, uint32_t flags) override {
        ++calls;
        if ((flags & ~(kKeyEventExtended | kKeyEventKeyUp)) != 0) {
            ++faults;
        }
    }
    void MouseEvent(uint32_t flags, int dx, int dy) override {
        ++calls;
        const uint32_t known =
            kMouseMove | kMouseLeftDown | kMouseLeftUp | kMouseRightDown | kMouseRightUp;
        if ((flags & ~known) != 0 || dx < -154 || dx > 99 || dy < -99 || dy > 154) {
            ++faults;
        }
    }
    void Pause(uint32_t) override { ++calls; }

    long calls = 0;
    long faults = 0;
};

// Every application runs, so the launch buttons take their longest ways.
class CountingDesktop : public Desktop {
  public:
    WindowHandle FindWindowByName(const char*, const char*) override { return ++calls; }
    void EnableAndPostMessage(WindowHandle, uint32_t) override { ++calls; }
    bool PostWindowMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) override {
        return ++calls != 0;
    }
    bool StartProgram(const std::string&) override { return ++calls != 0; }
    void Sleep(uint32_t) override { ++calls; }

    long calls = 0;
};

bool IsReportType(int type) {
    return type == kButtonReport || type == kPadMove || type == kPadLeftDrag ||
           type == kPadRightDrag;
}

void DispatchEveryReport(int selector) {
    CheckingInput input;
    CountingDesktop desktop;
    NullTray tray;
    FakeProfileStore profiles;
    FakeRegistry registry;
    FakeFileSystem files;
    IniPaths paths{"TWCtrl.ini", "UserDef.ini", "UserDefInf.ini"};
    profiles.WriteString(paths.userDef, "Music", "FilePath", kMusicProgram);
    for (int n = 0; n < kButtonCount; ++n) {
        profiles.WriteString(paths.userDef, "Music", std::to_string(n).c_str(), "0-C-S-A-F12");
        profiles.WriteString(paths.userDefInf, "Music", std::to_string(n).c_str(),
                             std::string(300, 'd').c_str());
    }
    registry.SetString(kSettingsKeyName, "UserDefineTable", "Music");
    files.existing = {kVcrPath, kDvdPath, kFmPath, kMusicProgram};
    Dispatcher dispatcher{{input, desktop, profiles, registry, files, tray}, paths};
    dispatcher.ResolveProgramPaths();
    dispatcher.SetTableSelector(selector);
    dispatcher.ApplyEnableState(true);

    long ignoredCalls = 0;
    for (int type = 0; type < 256; ++type) {
        long before = input.calls + desktop.calls;
        for (int byte2 = 0; byte2 < 256; ++byte2) {
            for (int byte3 = 0; byte3 < 256; ++byte3) {
                dispatcher.DispatchReport(type, byte2, byte3);
            }
        }
        if (!IsReportType(type)) {
            ignoredCalls += input.calls + desktop.calls - before;
        }
    }
    OsdText text = dispatcher.CopyOsdText();
    EXPECT_LT(strnlen(text.data(), text.size()), text.size());
    EXPECT_EQ(ignoredCalls, 0);
    EXPECT_EQ(input.faults, 0);
    EXPECT_GT(input.calls, 0);
}

// The whole cube, in both modes. Under the sanitizers this also shows that no report reads or
// writes outside the tables and texts, including with over-long descriptions.
TEST(DispatcherBadInput, EveryReportInBuiltInMode) {
    DispatchEveryReport(kBuiltInMode);
}

TEST(DispatcherBadInput, EveryReportInUserMode) {
    DispatchEveryReport(kUserMode);
}

}  // namespace
