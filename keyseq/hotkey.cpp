#include "keyseq/hotkey.h"

#include <string>

#include "base/bounded_text.h"
#include "keyseq/key_names.h"

namespace {

constexpr uint16_t kExtendedMarked = 1;

struct ModifierSum {
    int sum;
    uint16_t flags;
};

// Every set of modifier slots the reader fills, by the sum of the slot codes.
const ModifierSum kModifierSums[] = {
    {0, 0},
    {kVkShift, kHotkeyShift},
    {kVkControl, kHotkeyControl},
    {kVkAlt, kHotkeyAlt},
    {kVkControl + kVkShift, kHotkeyControl | kHotkeyShift},
    {kVkAlt + kVkShift, kHotkeyAlt | kHotkeyShift},
    {kVkControl + kVkAlt, kHotkeyControl | kHotkeyAlt},
    {kVkControl + kVkAlt + kVkShift, kHotkeyControl | kHotkeyAlt | kHotkeyShift},
};

}  // namespace

void HotkeyFromKeyAction(const KeyAction& record, HotkeyRecord& hotkey) {
    hotkey.virtualKey = record.key;
    int sum = record.modifier1 + record.modifier2 + record.modifier3;
    for (const ModifierSum& row : kModifierSums) {
        if (row.sum == sum) {
            uint16_t extended = record.extendedMark == kExtendedMarked ? kHotkeyExtended : 0;
            hotkey.modifierFlags = row.flags | extended;
            return;
        }
    }
}

void FormatKeySequence(const HotkeyRecord& hotkey, KeyAction& record) {
    std::string text = ModifierPrefix(hotkey.modifierFlags);
    // A key code beyond eight bits names no key; it must not alias one that has a name.
    const char* name = hotkey.virtualKey <= 0xFF
                           ? WrittenKeyName(static_cast<uint8_t>(hotkey.virtualKey))
                           : nullptr;
    if (name != nullptr) {
        text += name;
    }
    CopyBounded(record.text, text);
}

uint32_t HotkeyFieldValue(const HotkeyRecord& hotkey) {
    return static_cast<uint32_t>(hotkey.modifierFlags & 0xFF) << 8 | (hotkey.virtualKey & 0xFF);
}

HotkeyRecord HotkeyFromFieldValue(uint32_t value) {
    HotkeyRecord hotkey;
    hotkey.virtualKey = static_cast<uint16_t>(value & 0xFF);
    hotkey.modifierFlags = static_cast<uint16_t>((value >> 8) & 0xFF);
    return hotkey;
}
