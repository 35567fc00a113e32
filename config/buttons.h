#pragma once
// The remote's 35 buttons: numbers, report codes, names and rectangles.

#include <cstdint>
#include <cstdio>

constexpr int kButtonCount = 35;

// A button's key in its table's INI sections: its number, "0" to "34".
struct ButtonKey {
    explicit ButtonKey(int button) { std::snprintf(text, sizeof text, "%d", button); }
    char text[4];
};

// Where Tellwand takes its button table from: the number WandEdit sends and takes as its
// argument.
constexpr int kBuiltInMode = 0;  // the table of the media application in use, from TWCtrl.ini
constexpr int kUserMode = 15;    // the user table named in the registry

// A table selector as it arrives, any number. Every number but kBuiltInMode plays the user
// tables; only kUserMode also re-reads the settings and lets Power start the user's program.
class TableSelector {
  public:
    // Not explicit: every number is a selector.
    constexpr TableSelector(int value = kBuiltInMode) : value_(value) {}
    constexpr bool PlaysBuiltInTables() const { return value_ == kBuiltInMode; }
    constexpr bool IsUserMode() const { return value_ == kUserMode; }
    constexpr int value() const { return value_; }

  private:
    int value_;
};

// Button numbers: the INI key, the KeyTable index and the picture button's offset.
enum class Button : int {
    kPower,
    kVCR,
    kDVD,
    kTeleText,
    kMenu,
    kSubtitles,
    kAngle,
    kSnapshot,
    kBackward,
    kPlayPause,
    kForward,
    kRecord,
    kStop,
    kEject,
    kVolumeUp,
    kVolumeDown,
    kMute,
    kChannelUp,
    kChannelDown,
    kFullscreen,
    kBookmark,
    kNumPad,
    kDigit1,
    kDigit2,
    kDigit3,
    kDigit4,
    kDigit5,
    kDigit6,
    kDigit7,
    kDigit8,
    kDigit9,
    kGoUp,
    kDigit0,
    kGoTo,
    kSetup,
};

// A button's area in the client coordinates of the "HotKey Configuration" dialog;
// right and bottom are exclusive.
struct ButtonRect {
    int left;
    int top;
    int right;
    int bottom;
};

// The button a report code belongs to, or -1 for codes that name no button (3 and 34 among them).
int ButtonFromReportCode(int code);

// The report code the receiver sends for a button, or -1 for numbers outside 0..34.
int ReportCodeFromButton(int button);
inline int ReportCodeFromButton(Button button) {
    return ReportCodeFromButton(static_cast<int>(button));
}

// The system's name of the button ("Power", "PlayPause"...), or "" outside 0..34.
const char* ButtonName(int button);

// The button's rectangle in the dialog, or an empty rectangle outside 0..34.
ButtonRect ButtonRectangle(int button);
