#include "config/buttons.h"

#include "keyseq/key_action.h"

namespace {

struct ButtonInfo {
    int reportCode;
    const char* name;
    ButtonRect rect;
};

// Report code, name and rectangle; the comments say what the remote shows on or beside a key
// where its name does not.
const ButtonInfo kButtons[kButtonCount] = {
    {1, "Power", {34, 37, 47, 50}},
    {2, "VCR", {54, 38, 70, 49}},
    {35, "DVD", {75, 38, 91, 49}},
    {4, "TeleText", {96, 38, 112, 49}},        // a word in small print
    {5, "Menu", {33, 55, 49, 66}},             // Menu / Instant Replay
    {6, "Subtitles", {54, 55, 70, 66}},        // Subtitles / Playback
    {7, "Angle", {75, 55, 91, 66}},            // Angle / EPG
    {8, "Snapshot", {96, 55, 112, 66}},        // Snapshot / Snapshot
    {9, "Backward", {40, 170, 59, 181}},       // skip-back symbol
    {10, "PlayPause", {63, 170, 82, 181}},     // play/pause symbol
    {11, "Forward", {86, 170, 105, 181}},      // skip-forward symbol
    {12, "Record", {40, 187, 59, 198}},        // Repeat (above), record symbol
    {13, "Stop", {63, 187, 82, 198}},          // stop symbol
    {14, "Eject", {86, 187, 105, 198}},        // eject symbol, Source (below)
    {15, "VolumeUp", {40, 202, 56, 217}},      // upper half of the Vol rocker
    {16, "VolumeDown", {39, 220, 56, 235}},    // lower half of the Vol rocker
    {17, "Mute", {62, 209, 82, 229}},          // mute symbol (round key between the rockers)
    {18, "ChannelUp", {89, 202, 105, 217}},    // upper half of the CH rocker
    {19, "ChannelDown", {89, 220, 105, 235}},  // lower half of the CH rocker
    {20, "Fullscreen", {40, 240, 59, 251}},    // window symbol
    {21, "Bookmark", {63, 240, 82, 251}},      // Bookmark
    {22, "NumPad", {86, 240, 105, 251}},       // Num Pad
    {23, "Digit1", {40, 256, 59, 267}},        // 1
    {24, "Digit2", {63, 256, 82, 267}},        // 2, up arrow
    {25, "Digit3", {86, 256, 105, 267}},       // 3
    {26, "Digit4", {40, 273, 59, 284}},        // 4, left arrow
    {27, "Digit5", {63, 273, 82, 284}},        // 5, Enter
    {28, "Digit6", {86, 273, 105, 284}},       // 6, right arrow
    {29, "Digit7", {40, 290, 59, 301}},        // 7
    {30, "Digit8", {63, 290, 82, 301}},        // 8, down arrow
    {31, "Digit9", {86, 290, 105, 301}},       // 9
    {32, "GoUp", {42, 306, 61, 317}},          // Go up
    {33, "Digit0", {63, 306, 82, 317}},        // 0
    {36, "GoTo", {84, 306, 103, 317}},         // Go to
    // The centre key under the pointing pad, between the two mouse keys.
    {46, "Setup", {61, 144, 83, 160}},
};

const ButtonInfo* FindButton(int button) {
    if (button < 0 || button >= kButtonCount) {
        return nullptr;
    }
    return &kButtons[button];
}

}  // namespace

// The table is the one list of codes: a search of 35 entries costs nothing beside a report.
int ButtonFromReportCode(int code) {
    for (int button = 0; button < kButtonCount; ++button) {
        if (kButtons[button].reportCode == code) {
            return button;
        }
    }
    return -1;
}

int ReportCodeFromButton(int button) {
    const ButtonInfo* info = FindButton(button);
    return info != nullptr ? info->reportCode : -1;
}

const char* ButtonName(int button) {
    const ButtonInfo* info = FindButton(button);
    return info != nullptr ? info->name : "";
}

ButtonRect ButtonRectangle(int button) {
    const ButtonInfo* info = FindButton(button);
    return info != nullptr ? info->rect : ButtonRect{0, 0, 0, 0};
}
