#include "keyseq/key_player.h"

namespace {

constexpr uint32_t kModifierReleasePauseMs = 50;

// Only the arrows are sent as extended keys; the record's extended mark is for the editor.
bool IsArrowKey(uint8_t key) {
    return key >= 0x25 && key <= 0x28;
}

}  // namespace

void PressKeyAction(const KeyAction& record, InputSink& input) {
    input.KeyEvent(record.modifier1, 0);
    input.KeyEvent(record.modifier2, 0);
    input.KeyEvent(record.modifier3, 0);
    input.KeyEvent(record.key, IsArrowKey(record.key) ? kKeyEventExtended : 0);
}

void ReleaseKeyAction(const KeyAction& record, InputSink& input) {
    uint32_t keyUp = kKeyEventKeyUp | (IsArrowKey(record.key) ? kKeyEventExtended : 0);
    input.KeyEvent(record.key, keyUp);
    input.Pause(kModifierReleasePauseMs);
    input.KeyEvent(record.modifier3, kKeyEventKeyUp);
    input.KeyEvent(record.modifier2, kKeyEventKeyUp);
    input.KeyEvent(record.modifier1, kKeyEventKeyUp);
}
