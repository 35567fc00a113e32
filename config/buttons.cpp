#include "config/buttons.h"

#include "keyseq/key_action.h"

namespace {

struct ButtonInfo {
    int reportCode;
    const char* name;
    const char* label;
    ButtonRect rect;
};

const ButtonInfo kButtons[kButtonCount] = {
    {1, "Power", "Power", {34, 37, 47, 50}},
    {2, "VCR", "VCR", {54, 38, 70, 49}},
    {35, "DVD", "DVD", {75, 38, 91, 49}},
    {4, "TeleText", "a word in small print", {96, 38, 112, 49}},
    {5, "Menu", "Menu / Instant Replay", {33, 55, 49, 66}},
    {6, "Subtitles", "Subtitles / Playback", {54, 55, 70, 66}},
    {7, "Angle", "Angle / EPG", {75, 55, 91, 66}},
    {8, "Snapshot", "Snapshot / Snapshot", {96, 55, 112, 66}},
    {9, "Backward", "skip-back symbol", {40, 170, 59, 181}},
    {10, "PlayPause", "play/pause symbol", {63, 170, 82, 181}},
    {11, "Forward", "skip-forward symbol", {86, 170, 105, 181}},
    {12, "Record", "Repeat (above), record symbol", {40, 187, 59, 198}},
    {13, "Stop", "stop symbol", {63, 187, 82, 198}},
    {14, "Eject", "eject symbol, Source (below)", {86, 187, 105, 198}},
    {15, "VolumeUp", "upper half of the Vol rocker", {40, 202, 56, 217}},
    {16, "VolumeDown", "lower half of the Vol rocker", {39, 220, 56, 235}},
    {17, "Mute", "mute symbol (round key between the rockers)", {62, 209, 82, 229}},
    {18, "ChannelUp", "upper half of the CH rocker", {89, 202, 105, 217}},
    {19, "ChannelDown", "lower half of the CH rocker", {89, 220, 105, 235}},
    {20, "Fullscreen", "window symbol", {40, 240, 59, 251}},
    {21, "Bookmark", "Bookmark", {63, 240, 82, 251}},
    {22, "NumPad", "Num Pad", {86, 240, 105, 251}},
    {23, "Digit1", "1", {40, 256, 59, 267}},
    {24, "Digit2", "2, up arrow", {63, 256, 82, 267}},
    {25, "Digit3", "3", {86, 256, 105, 267}},
    {26, "Digit4", "4, left arrow", {40, 273, 59, 284}},
    {27, "Digit5", "5, Enter", {63, 273, 82, 284}},
    {28, "Digit6", "6, right arrow", {86, 273, 105, 284}},
    {29, "Digit7", "7", {40, 290, 59, 301}},
    {30, "Digit8", "8, down arrow", {63, 290, 82, 301}},
    {31, "Digit9", "9", {86, 290, 105, 301}},
    {32, "GoUp", "Go up", {42, 306, 61, 317}},
    {33, "Digit0", "0", {63, 306, 82, 317}},
    {36, "GoTo", "Go to", {84, 306, 103, 317}},
    {46,
     "Setup",
     "centre key under the pointing pad, between the two mouse keys",
     {61, 144, 83, 160}},
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

const char* ButtonLabel(int button) {
    const ButtonInfo* info = FindButton(button);
    return info != nullptr ? info->label : "";
}

ButtonRect ButtonRectangle(int button) {
    const ButtonInfo* info = FindButton(button);
    return info != nullptr ? info->rect : ButtonRect{0, 0, 0, 0};
}
