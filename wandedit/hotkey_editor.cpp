#include "wandedit/hotkey_editor.h"

#include "base/bounded_text.h"
#include "base/trace.h"
#include "config/buttons.h"

namespace {

constexpr uint8_t kCheckByte = 0x0F;
constexpr std::size_t kCheckByteIndex = 4;
constexpr std::size_t kCodeByte = 3;
constexpr int kNormalImages = 300;
constexpr int kHighlightedImages = 400;
constexpr int kPhaseStep = 100;

constexpr uint8_t kVkEscape = 0x1B;
constexpr uint8_t kVkEnter = 0x0D;
constexpr uint8_t kVkTab = 0x09;
constexpr uint8_t kVkSpace = 0x20;
constexpr uint8_t kVkPause = 0x13;
constexpr uint8_t kVkDelete = 0x2E;
constexpr uint8_t kVkPrint = 0x2A;

bool IsButton(int button) {
    return button >= 0 && button < kButtonCount;
}

// The modifier sets in identifier order, without and with "none" first.
constexpr unsigned kWithModifiers[] = {
    kSystemShift,
    kSystemAlt,
    kSystemControl,
    kSystemAlt | kSystemShift,
    kSystemControl | kSystemShift,
    kSystemAlt | kSystemControl,
    kSystemAlt | kSystemControl | kSystemShift,
};

void AddKeyWithModifiers(std::vector<CaptureKey>& keys, int firstId, uint8_t key, bool plainToo) {
    int id = firstId;
    if (plainToo) {
        keys.push_back({id++, key, 0});
    }
    for (unsigned modifiers : kWithModifiers) {
        keys.push_back({id++, key, modifiers});
    }
}

// Plain Enter and plain Space are left out: the key-down interception takes them.
std::vector<CaptureKey> MakeCaptureKeys() {
    std::vector<CaptureKey> keys;
    AddKeyWithModifiers(keys, 1, kVkEscape, true);
    AddKeyWithModifiers(keys, 10, kVkEnter, false);
    AddKeyWithModifiers(keys, 17, kVkTab, true);
    AddKeyWithModifiers(keys, 26, kVkSpace, false);
    keys.push_back({34, kVkPause, 0});
    keys.push_back({35, kVkDelete, 0});
    keys.push_back({36, kVkPrint, 0});
    return keys;
}

}  // namespace

void HotkeyEditor::LoadTable(const std::string& application) {
    application_ = application;
    LoadUserTable(profiles_, paths_, application_.c_str(), table_, filePath_);
    for (int n = 0; n < kButtonCount; ++n) {
        HotkeyFromKeyAction(table_[n], hotkeys_[n]);
    }
}

void HotkeyEditor::Select(int button, const HotkeyRecord& field, const char* description) {
    if (!IsButton(button)) {
        return;
    }
    hotkeys_[selected_] = field;
    CopyBounded(table_[selected_].description, description);
    selected_ = button;
}

void HotkeyEditor::Clear() {
    table_[selected_] = KeyAction{};
    hotkeys_[selected_] = HotkeyRecord{};
}

bool HotkeyEditor::Save() {
    for (int n = 0; n < kButtonCount; ++n) {
        FormatKeySequence(hotkeys_[n], table_[n]);
    }
    bool saved = SaveUserTable(profiles_, paths_, application_.c_str(), table_);
    Trace("table [%s] %s %s and %s", application_.c_str(), saved ? "saved to" : "NOT saved to",
          paths_.userDef.c_str(), paths_.userDefInf.c_str());
    return saved;
}

int ButtonFromEditorReport(const uint8_t* report, std::size_t length) {
    if (length <= kCheckByteIndex || report[kCheckByteIndex] != kCheckByte) {
        return -1;
    }
    return ButtonFromReportCode(report[kCodeByte]);
}

int BlinkPhase::NextImageBase() {
    if (phase_ > kHighlightedImages) {
        phase_ = kNormalImages;
    }
    int images = phase_;
    phase_ += kPhaseStep;
    return images;
}

const std::vector<CaptureKey>& ReservedCaptureKeys() {
    static const std::vector<CaptureKey> keys = MakeCaptureKeys();
    return keys;
}

uint16_t HotkeyFlagsFromSystemModifiers(unsigned modifiers) {
    uint16_t flags = 0;
    if (modifiers & kSystemShift) {
        flags |= kHotkeyShift;
    }
    if (modifiers & kSystemControl) {
        flags |= kHotkeyControl;
    }
    if (modifiers & kSystemAlt) {
        flags |= kHotkeyAlt;
    }
    return flags;
}
