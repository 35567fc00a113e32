#pragma once
// WandEdit's main window: the settings dialog. Started without an argument it is not shown at
// all and only hosts the OSD until Tellwand restores it.

#include <windows.h>

#include "wandedit/dialog_win32.h"
#include "wandedit/editor_windows_win32.h"
#include "wandedit/hotkey_dialog_win32.h"
#include "wandedit/osd_dialog_win32.h"
#include "wandedit/settings_editor.h"

class SettingsDialog : public Dialog {
  public:
    SettingsDialog(HINSTANCE instance, EditorWindows& windows, SettingsEditor& editor,
                   ProfileStore& profiles, bool startHidden);

  private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    bool PreTranslate(const MSG& msg) override { return IsDialogOperatingKey(msg, window()); }

    void OnInitDialog();
    bool OnCommand(int id, int notification);
    void OnDefault();
    void OnUserDefined();
    void OnTableChanged();
    void OnOsdCheckBox();
    void OnOk();
    void OnAdvance();
    void ForwardOsdShow();

    void SetIcons();
    void ShowSettings();
    // The list and the "FilePath" line, refilled from the editor's tables and selection.
    void FillTableList();
    void ShowFilePath();
    void ShowMode();
    int CurrentTable() const;

    HINSTANCE instance_;
    EditorWindows& windows_;
    SettingsEditor& editor_;
    bool startHidden_;
    OsdThread osdThread_;
    HotkeyDialog hotkeyDialog_;
};
