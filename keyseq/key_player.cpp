#include "keyseq/key_player.h"

#include "keyseq/key_sequence.h"

namespace {

constexpr uint32_t kModifierReleasePauseMs = 50;

// Only the arrows are sent as extended keys; the record's extended mark is for the editor.
bool IsArrowKey(uint8_t key) {
    return key >= 0x25 && key <= 0x28;
}

}  // namespace

void LoadKeyTable(ProfileStore& profiles, const IniPaths& paths, const char* section, bool user,
                  KeyTable& table) {
    const std::string& textFile = user ? paths.userDef : paths.twCtrl;
    for (int n = 0; n < kButtonCount; ++n) {
        KeyAction& record = table[n];
        record = KeyAction{};
        ButtonKey key(n);
        profiles.ReadString(textFile, section, key.text, record.text, sizeof record.text);
        if (user) {
            profiles.ReadString(paths.userDefInf, section, key.text, record.description,
                                sizeof record.description);
        }
        ParseKeySequence(record);
    }
}

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
