#pragma once
// The per-button record that both programs load from the INI files and Tellwand plays.

#include <cstddef>
#include <cstdint>

constexpr std::size_t kKeyTextSize = 30;       // 29 characters and the terminator
constexpr std::size_t kDescriptionSize = 255;  // 254 characters and the terminator

// Virtual-key codes of the three modifiers, in the order they fill the modifier slots.
constexpr uint8_t kVkControl = 0x11;
constexpr uint8_t kVkAlt = 0x12;
constexpr uint8_t kVkShift = 0x10;

struct KeyAction {
    uint8_t modifier1 = 0;
    uint8_t modifier2 = 0;
    uint8_t modifier3 = 0;
    uint8_t key = 0;
    uint8_t extendedMark = 0;
    char text[kKeyTextSize] = {};
    char description[kDescriptionSize] = {};
};
