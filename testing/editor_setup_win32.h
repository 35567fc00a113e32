#pragma once
// The setting up that WandEdit's end-to-end tests and the screenshot stage share: the registry
// values WandEdit starts from, and the HotKey Configuration dialog opened from the settings.

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/bounded_text.h"
#include "config/program_folders.h"
#include "config/registry.h"
#include "config/registry_win32.h"
#include "config/settings.h"
#include "protocol/protocol.h"
#include "testing/e2e_win32.h"
#include "wandedit/resource_ids.h"

// Both keys WandEdit reads gone, so that a run starts and leaves with neither.
inline void ForgetEditorRegistry() {
    DeleteMachineKey(kInstallKey);
    DeleteMachineKey(kSettingsKey);
}

// "Path", where WandEdit looks for its INI files.
inline void StoreEditorFolder(Registry& registry, const std::string& folder) {
    registry.WriteString(kInstallKey, "Path", folder.c_str(), folder.size() + 1);
}

inline void StoreSettings(Registry& registry, uint32_t enableOsd, const char* table) {
    Settings settings;
    settings.enableOsd = enableOsd;
    CopyBounded(settings.userDefineTable, table);
    WriteSettings(registry, settings);
}

// "Advance" in the settings dialog; the HotKey Configuration dialog once it is there, or null.
// Posted, never sent: the dialog runs modally.
inline HWND OpenHotkeyDialog(HWND settings) {
    PostMessageA(settings, WM_COMMAND, MAKEWPARAM(IDC_ADVANCE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(settings, IDC_ADVANCE)));
    return WaitForWindow("#32770", kHotkeyDialogTitle);
}

// WandEdit copied from `programs` into `folder` and started there on the user table "Player"
// (selector 15), for a test that starts Tellwand beside it; its settings dialog once shown, or
// null. `Process` is a ChildProcess, or a TracedProcess to trace it.
template <typename Process>
HWND StartEditorOnPlayerTable(Process& wandEdit, const std::string& folder,
                              const std::string& programs) {
    Win32Registry registry;
    StoreEditorFolder(registry, folder);
    StoreSettings(registry, 0, "Player");
    if (!CopyProgram(kEditorProgram, folder, programs) ||
        !wandEdit.Start(folder + kEditorProgram, "15", folder)) {
        return nullptr;
    }
    HWND settings = WaitForWindow(nullptr, kEditorTitle);
    return settings != nullptr && PumpUntil([&] { return IsWindowVisible(settings) != FALSE; })
               ? settings
               : nullptr;
}

// The description field of the HotKey Configuration dialog.
inline std::string HotkeyDialogDescription(HWND dialog) {
    char text[256] = {};
    GetDlgItemTextA(dialog, IDC_DESCRIPTION, text, sizeof text);
    return text;
}
