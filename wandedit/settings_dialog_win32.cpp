#include "wandedit/settings_dialog_win32.h"

#include "config/program_folder_win32.h"
#include "config/user_tables.h"
#include "protocol/protocol.h"
#include "wandedit/resource_ids.h"

namespace {

// Enabled exactly in user mode.
constexpr int kUserTableControls[] = {IDC_TABLE_LIST, IDC_ADVANCE, IDC_ENABLE_OSD, IDC_FILE_PATH,
                                      IDC_TABLE_LABEL};

}  // namespace

SettingsDialog::SettingsDialog(HINSTANCE instance, EditorWindows& windows, SettingsEditor& editor,
                               ProfileStore& profiles, bool startHidden)
    : instance_(instance),
      windows_(windows),
      editor_(editor),
      startHidden_(startHidden),
      osdThread_(instance, windows),
      hotkeyDialog_(instance, profiles) {}

bool SettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            *result = TRUE;
            return true;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case kMsgOsdShow:
            ForwardOsdShow();
            return true;
        case kMsgAnnounceOsd:
            if (HWND osd = windows_.osd.load()) {
                PostMessageA(osd, kMsgAnnounceOsd, 0, 0);
            }
            return true;
        default:
            return false;
    }
}

void SettingsDialog::OnInitDialog() {
    SetIcons();
    editor_.Load(OwnProgramFolder());
    osdThread_.Start();
    ShowSettings();
    windows_.CurrentTellwand();
}

bool SettingsDialog::OnCommand(int id, int notification) {
    if (id == IDC_TABLE_LIST) {
        if (notification == CBN_SELCHANGE) {
            OnTableChanged();
        }
        return true;
    }
    if (notification != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDOK:
            OnOk();
            return true;
        case IDCANCEL:  // the close box, or WM_CLOSE from Tellwand: the program ends
            EndModal(IDCANCEL);
            return true;
        case IDC_DEFAULT:
            OnDefault();
            return true;
        case IDC_USER_DEFINED:
            OnUserDefined();
            return true;
        case IDC_ENABLE_OSD:
            OnOsdCheckBox();
            return true;
        case IDC_ADVANCE:
            OnAdvance();
            return true;
        default:
            return false;
    }
}

void SettingsDialog::OnDefault() {
    editor_.ChooseDefault();
    ShowMode();
}

void SettingsDialog::OnUserDefined() {
    editor_.ChooseUserDefined();
    FillTableList();
    ShowMode();
}

void SettingsDialog::OnTableChanged() {
    editor_.SelectTable(CurrentTable());
    ShowFilePath();
}

void SettingsDialog::OnOsdCheckBox() {
    editor_.SetOsdEnabled(IsDlgButtonChecked(window(), IDC_ENABLE_OSD) == BST_CHECKED);
}

void SettingsDialog::OnOk() {
    editor_.Commit(CurrentTable());
    ShowWindow(window(), SW_HIDE);
}

// A cancelled dialog leaves the choice in this list as it was: moving it to another entry
// would make the next OK activate a table the user never chose.
void SettingsDialog::OnAdvance() {
    // A second Advance (posted while the dialog runs) would nest a second dialog whose end
    // ends the first one's loop too; the open one is brought to the front instead.
    if (HWND open = hotkeyDialog_.window()) {
        SetForegroundWindow(GetLastActivePopup(open));
        return;
    }
    int chosen = CurrentTable();
    std::string chosenTable = ListedTable(editor_.tables(), chosen);
    INT_PTR index = hotkeyDialog_.Run(window(), editor_.paths(), chosen);
    if (hotkeyDialog_.closedWithOk()) {
        editor_.ShowTablesAfterHotkeys(static_cast<int>(index), hotkeyDialog_.application());
    } else {
        editor_.ShowTablesAfterCancelledHotkeys(chosenTable);
    }
    FillTableList();
    ShowFilePath();
}

void SettingsDialog::ForwardOsdShow() {
    HWND osd = windows_.osd.load();
    if (editor_.OsdWanted() && osd != nullptr) {
        SendMessageA(osd, kMsgOsdShow, 0, 0);
    }
}

void SettingsDialog::SetIcons() {
    auto load = [this](int sizeMetric) {
        int size = GetSystemMetrics(sizeMetric);
        return reinterpret_cast<LPARAM>(
            LoadImageA(instance_, MAKEINTRESOURCEA(IDI_EDITOR), IMAGE_ICON, size, size, LR_SHARED));
    };
    SendMessageA(window(), WM_SETICON, ICON_BIG, load(SM_CXICON));
    SendMessageA(window(), WM_SETICON, ICON_SMALL, load(SM_CXSMICON));
}

void SettingsDialog::ShowSettings() {
    FillTableList();
    ShowFilePath();
    ShowMode();
    CheckDlgButton(window(), IDC_ENABLE_OSD, editor_.OsdWanted() ? BST_CHECKED : BST_UNCHECKED);
    // Started without argument, WandEdit only hosts the OSD: the dialog is not shown at all
    // until Tellwand restores it. Hiding it later, at its first paint, would race with that
    // restore and could hide the dialog the user just asked for.
    if (startHidden_) {
        startHidden_ = false;
        return;
    }
    ShowWindow(window(), SW_SHOW);
}

void SettingsDialog::FillTableList() {
    FillComboInOrder(Item(IDC_TABLE_LIST), editor_.tables(), editor_.selectedTable());
}

void SettingsDialog::ShowFilePath() {
    SetDlgItemTextA(window(), IDC_FILE_PATH, editor_.filePath().c_str());
}

void SettingsDialog::ShowMode() {
    bool userMode = editor_.UserMode();
    CheckRadioButton(window(), IDC_DEFAULT, IDC_USER_DEFINED,
                     userMode ? IDC_USER_DEFINED : IDC_DEFAULT);
    for (int id : kUserTableControls) {
        EnableWindow(Item(id), userMode);
    }
}

int SettingsDialog::CurrentTable() const {
    return ComboSelection(Item(IDC_TABLE_LIST));
}
