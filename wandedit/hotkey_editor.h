#pragma once
// The HotKey Configuration dialog's decisions that need no window: the table being edited,
// the selected button, what a report from the remote selects, the blink images and the
// system-wide keys the dialog reserves for its hotkey field.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/ini_paths.h"
#include "config/key_table.h"
#include "config/profile_store.h"
#include "config/user_tables.h"
#include "keyseq/hotkey.h"
#include "keyseq/key_action.h"

class HotkeyEditor {
  public:
    explicit HotkeyEditor(ProfileStore& profiles) : profiles_(profiles) {}

    void SetPaths(const IniPaths& paths) { paths_ = paths; }

    // Loads the application's texts, descriptions and "FilePath" and rebuilds all 35
    // hotkeys; edits to the previous table are dropped.
    void LoadTable(const std::string& application);
    // The name the table in memory is saved under from now on (Save As).
    void SetApplication(const std::string& application) { application_ = application; }
    // Every opening of the dialog starts on the first button.
    void ResetSelection() { selected_ = 0; }
    // Keeps what the field and the description box hold for the selected button, then
    // makes `button` the selected one. Numbers outside 0..34 change nothing.
    void Select(int button, const HotkeyRecord& field, const char* description);
    // Empties the selected button: no key, no modifiers, no text, no description.
    void Clear();
    // Writes all 35 texts and descriptions of the current application to both files, in
    // button order. Nothing is written without a current application.
    bool Save();

    int selected() const { return selected_; }
    const HotkeyRecord& hotkey(int button) const { return hotkeys_[button]; }
    const char* description(int button) const { return table_[button].description; }
    const KeyAction& record(int button) const { return table_[button]; }
    const std::string& application() const { return application_; }
    const char* filePath() const { return filePath_; }

  private:
    ProfileStore& profiles_;
    IniPaths paths_;
    KeyTable table_ = {};
    std::array<HotkeyRecord, kButtonCount> hotkeys_ = {};
    int selected_ = 0;
    std::string application_;
    char filePath_[kFilePathSize] = {};
};

// The button a report of the remote selects, or -1: only reports whose check byte (byte 4)
// is 0x0F count, and only codes that name a button.
int ButtonFromEditorReport(const uint8_t* report, std::size_t length);

// The selected button blinks: its normal and highlighted images in turn. The phase runs on
// across selections and across openings of the dialog.
class BlinkPhase {
  public:
    // The image set to show now: 300 (normal) or 400 (highlighted), to add the button to.
    int NextImageBase();

  private:
    int phase_ = 300;
};

// A system-wide hotkey the dialog registers so that keys it would act on itself reach the
// hotkey field. Modifiers use the system encoding: Alt 1, Control 2, Shift 4.
struct CaptureKey {
    int id;
    uint8_t virtualKey;
    unsigned modifiers;
};
constexpr unsigned kSystemAlt = 1;
constexpr unsigned kSystemControl = 2;
constexpr unsigned kSystemShift = 4;

const std::vector<CaptureKey>& ReservedCaptureKeys();

// The hotkey field's flags for the modifiers of a system hotkey.
uint16_t HotkeyFlagsFromSystemModifiers(unsigned modifiers);
