#pragma once
// The OSD's decisions that need no window: which text a WM_COPYDATA gives, where the window
// goes and how large its letters are.

#include <cstddef>

// What the OSD shows of a text: 255 characters and the terminator. Tellwand sends
// kOsdMessageSize bytes (protocol/protocol.h); the rest is cut.
constexpr std::size_t kOsdShownSize = 256;

// Takes at most `size` bytes of `data`, up to the first zero, at most 255 characters, and
// always terminates. No data or no bytes give the empty text.
void AcceptOsdText(const void* data, std::size_t size, char (&text)[kOsdShownSize]);

struct OsdPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The top right corner: a fifth of the screen's width and a tenth of its height.
OsdPlacement PlaceOsd(int screenWidth, int screenHeight);

// 0.6 - 0.015 x length of the window height; never less than 0.15 of it, so long texts stay
// readable instead of falling to the font mapper's default or growing again.
double OsdSizeFactor(std::size_t textLength);
int OsdFontHeight(int windowHeight, std::size_t textLength);
