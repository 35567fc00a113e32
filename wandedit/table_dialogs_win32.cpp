#include "wandedit/table_dialogs_win32.h"

#include <commdlg.h>

#include <utility>

#include "config/user_tables.h"
#include "wandedit/dialog_win32.h"
#include "wandedit/resource_ids.h"

namespace {

constexpr std::size_t kEnteredNameSize = 255;  // 254 characters and the terminator
constexpr INT_PTR kGiveUp = 0;
constexpr INT_PTR kAssign = 1;
constexpr INT_PTR kDeleteConfirmed = 1;
constexpr INT_PTR kDeleteRefused = 0;

// Stays open until the typed name is one the list can take, or until Cancel.
class ApplicationNameDialog : public Dialog {
  public:
    explicit ApplicationNameDialog(const std::vector<std::string>& listed) : listed_(listed) {}
    const std::string& name() const { return name_; }

  private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) override {
        switch (message) {
            case WM_INITDIALOG:
                SetFocus(Item(IDC_APP_NAME_EDIT));
                *result = FALSE;  // the focus is set
                return true;
            case WM_COMMAND:
                return OnCommand(LOWORD(wParam));
            default:
                return false;
        }
    }

    bool OnCommand(int id) {
        switch (id) {
            case IDOK:
                OnOk();
                return true;
            case IDCANCEL:  // also Escape and the close box
                EndModal(IDCANCEL);
                return true;
            default:
                return false;
        }
    }

    void OnOk() {
        char typed[kEnteredNameSize] = {};
        GetDlgItemTextA(window(), IDC_APP_NAME_EDIT, typed, sizeof typed);
        const char* refusal = ApplicationNameRefusal(typed, listed_);
        if (refusal != nullptr) {
            MessageBoxA(window(), refusal, "", MB_OK);
            SetFocus(Item(IDC_APP_NAME_EDIT));
            return;
        }
        name_ = typed;
        EndModal(IDOK);
    }

    const std::vector<std::string>& listed_;
    std::string name_;
};

// Which button ends a question with which result.
struct ButtonAnswer {
    int button;
    INT_PTR result;
};

// A question its buttons answer, each ending it with its result; Escape and the close box come
// as IDCANCEL. The control `textId`, unless 0, shows `text`.
class ButtonQuestionDialog : public Dialog {
  public:
    explicit ButtonQuestionDialog(std::vector<ButtonAnswer> answers, int textId = 0,
                                  std::string text = "")
        : answers_(std::move(answers)), textId_(textId), text_(std::move(text)) {}

  private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) override {
        switch (message) {
            case WM_INITDIALOG:
                if (textId_ != 0) {
                    SetDlgItemTextA(window(), textId_, text_.c_str());
                }
                *result = TRUE;  // the first tab stop takes the focus
                return true;
            case WM_COMMAND:
                return OnCommand(LOWORD(wParam));
            default:
                return false;
        }
    }

    bool OnCommand(int id) {
        for (const ButtonAnswer& answer : answers_) {
            if (answer.button == id) {
                EndModal(answer.result);
                return true;
            }
        }
        return false;
    }

    std::vector<ButtonAnswer> answers_;
    int textId_;
    std::string text_;
};

}  // namespace

std::optional<std::string> RunApplicationNameDialog(HINSTANCE instance, HWND owner,
                                                    const std::vector<std::string>& listed) {
    ApplicationNameDialog dialog(listed);
    if (dialog.RunShown(instance, IDD_APP_NAME, owner, IDCANCEL) != IDOK) {
        return std::nullopt;
    }
    return dialog.name();
}

// "Give up", the first tab stop, takes the focus.
FilePathAnswer RunFilePathErrorDialog(HINSTANCE instance, HWND owner) {
    ButtonQuestionDialog dialog(
        {{IDC_GIVE_UP, kGiveUp}, {IDC_ASSIGN, kAssign}, {IDCANCEL, IDCANCEL}});
    switch (dialog.RunShown(instance, IDD_FILE_PATH_ERROR, owner, IDCANCEL)) {
        case kGiveUp:
            return FilePathAnswer::GiveUp;
        case kAssign:
            return FilePathAnswer::Assign;
        default:
            return FilePathAnswer::Dismissed;
    }
}

bool RunDeleteHotkeyDialog(HINSTANCE instance, HWND owner, const std::string& message) {
    ButtonQuestionDialog dialog({{IDC_DELETE_OK, kDeleteConfirmed},
                                 {IDC_DELETE_CANCEL, kDeleteRefused},
                                 {IDCANCEL, kDeleteRefused}},
                                IDC_DELETE_MESSAGE, message);
    return dialog.RunShown(instance, IDD_DELETE_HOTKEY, owner, kDeleteRefused) == kDeleteConfirmed;
}

// A path longer than "FilePath" holds does not fit the buffer: the dialog then fails and
// counts as cancelled, rather than a program path cut short.
std::optional<std::string> RunOpenProgramDialog(HWND owner) {
    char path[kFilePathSize] = {};
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = owner;
    open.lpstrFilter = "All Files (*.*)\0*.*\0Executive Files (*.exe)\0*.exe\0";
    open.nFilterIndex = 1;
    open.lpstrFile = path;
    open.nMaxFile = sizeof path;
    // The folder browsed to must not become WandEdit's current folder, searched for DLLs.
    open.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&open)) {
        return std::nullopt;
    }
    path[sizeof path - 1] = '\0';
    return std::string(path);
}
