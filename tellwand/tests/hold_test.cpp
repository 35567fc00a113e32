// The hold state machine in the dispatcher, where the window thread may let go of anything at
// any moment of a press on the reader thread.

#include <gtest/gtest.h>

#include "tellwand/tests/dispatcher_fixture.h"

namespace {

TEST_F(DispatcherTest, DisablingLetsGoOfEverythingHeld) {
    EnableWithFmApplication();
    Dispatch({{kPadLeftDrag, 0, 0}, {kPadRightDrag, 4, 0}, Down(Button::kSubtitles)});
    dispatcher.ApplyEnableState(false);
    EXPECT_TRUE(dispatcher.IsDisabled());
    EXPECT_EQ(input.events, Join({{"mouse 4 0 0", "mouse 10 0 0"},
                                  ReleaseOf(kFmStyle, 5),
                                  {"icon disabled Disabled"}}));
    input.events.clear();
    dispatcher.ReleaseHeldInput();
    EXPECT_EQ(input.events, Events{});
}

TEST_F(DispatcherTest, ReleasingHeldInputSkipsWhatWasAlreadyReleased) {
    EnableWithFmApplication();
    Dispatch(
        {{kPadLeftDrag, 0, 0}, {kPadMove, 0, 0}, Down(Button::kSubtitles), Up(Button::kSubtitles)});
    dispatcher.ReleaseHeldInput();
    EXPECT_EQ(input.events, Events{});
    // The keys actually pressed are released, even after the table changed.
    Dispatch({Down(Button::kAngle)});
    EnterUserMode();
    dispatcher.ReleaseHeldInput();
    EXPECT_EQ(input.events, ReleaseOf(kFmStyle, 6));
}

// A button's release lets go of the keys its down report pressed, whatever changed between.
TEST_F(DispatcherTest, ReleaseLetsGoOfThePressedKeysAfterTheTableChanged) {
    files.existing = {kDvdPath};
    EnableWithRecorder();
    EXPECT_EQ(Dispatch({Down(Button::kMenu)}), PressOf(kVcrStyle, 4));
    Dispatch(
        {Down(Button::kVCR), Up(Button::kVCR)});  // the DVD player starts and its table is loaded
    EXPECT_EQ(Dispatch({Up(Button::kMenu)}), ReleaseOf(kVcrStyle, 4));
}

TEST_F(DispatcherTest, ReleaseLetsGoOfThePressedKeysAfterTheModeChanged) {
    EnterUserMode();
    EXPECT_EQ(Dispatch({Down(Button::kDVD)}), PressOf(kMusicStyle, 2));
    dispatcher.SetTableSelector(kBuiltInMode);
    // In built-in mode this code is a launch button whose release plays nothing of its own.
    EXPECT_EQ(Dispatch({Up(Button::kDVD)}), Join({kFindApplications, ReleaseOf(kMusicStyle, 2)}));
}

TEST_F(DispatcherTest, SecondDownWithOtherKeysFirstLetsGoOfTheFirst) {
    files.existing = {kDvdPath};
    EnableWithRecorder();
    Dispatch({Down(Button::kMenu), Down(Button::kVCR), Up(Button::kVCR)});
    EXPECT_EQ(Dispatch({Down(Button::kMenu)}),
              Join({ReleaseOf(kVcrStyle, 4), PressOf(kDvdStyle, 4)}));
    EXPECT_EQ(Dispatch({Up(Button::kMenu)}), ReleaseOf(kDvdStyle, 4));
    // The same keys pressed twice are played twice, as before.
    EXPECT_EQ(Dispatch({Down(Button::kMenu), Down(Button::kMenu)}),
              Join({PressOf(kDvdStyle, 4), PressOf(kDvdStyle, 4)}));
}

TEST_F(DispatcherTest, ReleasingHeldInputLetsGoOfEveryButtonHeld) {
    EnableWithFmApplication();
    Dispatch({Down(Button::kSubtitles), Down(Button::kAngle)});
    dispatcher.ReleaseHeldInput();
    EXPECT_EQ(input.events, Join({ReleaseOf(kFmStyle, 5), ReleaseOf(kFmStyle, 6)}));
}

// The window thread disabling at the worst moment: inside one of the reader's input events,
// before that event takes effect.
class DisablingInput : public InputSink {
  public:
    void KeyEvent(uint8_t virtualKey, uint32_t flags) override {
        DisableAtThisEvent();
        log.KeyEvent(virtualKey, flags);
    }
    void MouseEvent(uint32_t flags, int dx, int dy) override {
        DisableAtThisEvent();
        log.MouseEvent(flags, dx, dy);
    }
    void Pause(uint32_t milliseconds) override { log.Pause(milliseconds); }

    Dispatcher* dispatcher = nullptr;
    int disableAt = -1;  // the index of the key or mouse event
    int count = 0;
    RecordingInput log;

  private:
    void DisableAtThisEvent() {
        if (count++ == disableAt) {
            dispatcher->ApplyEnableState(false);
        }
    }
};

struct PressCase {
    const char* name;
    std::vector<Report> reports;
};

const PressCase kPressCases[] = {
    {"button", {Down(Button::kSubtitles)}},
    {"second down with other keys",
     {Down(Button::kSubtitles), Up(Button::kVCR), Down(Button::kSubtitles)}},
    {"still left drag", {{kPadLeftDrag, 0, 0}}},
    {"moving left drag", {{kPadLeftDrag, 5, 0}}},
    {"moving drag of a held button", {{kPadRightDrag, 0, 0}, {kPadRightDrag, 0, 3}}},
    {"drag and button", {{kPadLeftDrag, 0, 0}, Down(Button::kAngle), {kPadRightDrag, 2, 2}}},
};

// Whatever the interleaving, once Disable has returned and the report is done, nothing the
// dispatcher pressed is down; reports after the Disable are dropped, as the reader does.
TEST_F(DispatcherTest, DisableInTheMiddleOfAPressLeavesNothingDown) {
    files.existing = {kDvdPath};
    for (const PressCase& c : kPressCases) {
        for (int at = 0;; ++at) {
            SCOPED_TRACE(::testing::Message() << c.name << ", disabled at event " << at);
            DisablingInput sink;
            FakeDesktop windows{sink.log.events};
            AddApplicationWindow(windows, "FM");
            Dispatcher fresh{{sink, windows, profiles, registry, files, tray}, paths};
            sink.dispatcher = &fresh;
            sink.disableAt = at;
            fresh.ResolveProgramPaths();
            fresh.ApplyEnableState(true);
            for (const Report& r : c.reports) {
                if (!fresh.IsDisabled()) {
                    fresh.DispatchReport(r.type, r.byte2, r.byte3);
                }
            }
            if (at >= sink.count) {
                break;  // every event has had its turn
            }
            EXPECT_EQ(StillDown(sink.log.events), std::vector<std::string>{});
        }
    }
}

}  // namespace
