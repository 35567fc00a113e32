#pragma once
// Conversions between the editor's hotkey field and key-sequence texts.

#include <cstdint>

#include "keyseq/key_action.h"

// Modifier flags of the hotkey field: the modifier value of key-sequence texts.
constexpr uint16_t kHotkeyShift = 1;
constexpr uint16_t kHotkeyControl = 2;
constexpr uint16_t kHotkeyAlt = 4;
constexpr uint16_t kHotkeyExtended = 8;

// What the hotkey field holds for one button.
struct HotkeyRecord {
    uint16_t virtualKey = 0;
    uint16_t modifierFlags = 0;
};

// Sets the hotkey from the parsed fields of a record. The modifier slots are recognised by
// the sum of their codes; a sum the reader cannot produce leaves the flags as they were.
void HotkeyFromKeyAction(const KeyAction& record, HotkeyRecord& hotkey);

// Writes the key-sequence text of the hotkey into the record: the prefix of its flags and
// the written name of its key (nothing for a key without a written name).
void FormatKeySequence(const HotkeyRecord& hotkey, KeyAction& record);

// The hotkey field's own value: flags in the second byte, the key in the first.
uint32_t HotkeyFieldValue(const HotkeyRecord& hotkey);
HotkeyRecord HotkeyFromFieldValue(uint32_t value);
