#include "wandedit/dialog_win32.h"

#include <string>

#include "base/trace_win32.h"

namespace {

// Messages whose answer is the dialog procedure's return value rather than DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

// The dialog manager delivers the creation's WM_INITDIALOG once, by a direct call on this
// thread, before the object is set; anything else is a message from elsewhere.
bool IsOwnCreation(HWND window) {
    return GetWindowLongPtrA(window, DWLP_USER) == 0 && InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

}  // namespace

bool Dialog::Create(HINSTANCE instance, int templateId, HWND owner) {
    ended_ = false;
    if (CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this)) == nullptr) {
        TraceLastError(("CreateDialogParamA of dialog " + std::to_string(templateId)).c_str());
        return false;
    }
    return true;
}

INT_PTR Dialog::RunModal() {
    HWND owner = GetWindow(window_, GW_OWNER);
    if (owner != nullptr) {
        EnableWindow(owner, FALSE);
    }
    MSG msg;
    while (!ended_) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the caller's loop
            }
            break;
        }
        if (PreTranslate(msg) || IsDialogMessageA(window_, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Enabled before the window goes, so that the activation returns to the owner.
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
    }
    DestroyWindow(window_);
    window_ = nullptr;
    return result_;
}

INT_PTR Dialog::RunShown(HINSTANCE instance, int templateId, HWND owner, INT_PTR failed) {
    if (!Create(instance, templateId, owner)) {
        return failed;
    }
    ShowWindow(window_, SW_SHOW);
    return RunModal();
}

void Dialog::EndModal(INT_PTR result) {
    result_ = result;
    ended_ = true;
    // Wakes the loop when the end came from a message sent by another thread.
    PostMessageA(window_, WM_NULL, 0, 0);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (!IsOwnCreation(window)) {
            return FALSE;  // posted or sent by someone else, with a pointer of their choice
        }
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<Dialog*>(lParam)->window_ = window;
    }
    auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    INT_PTR result = 0;
    if (!dialog->OnMessage(message, wParam, lParam, &result)) {
        return FALSE;
    }
    if (AnswersDirectly(message)) {
        return result;
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool IsDialogOperatingKey(const MSG& msg, HWND dialog) {
    if (msg.message != WM_KEYDOWN) {
        return false;
    }
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE && msg.wParam != VK_SPACE) {
        return false;
    }
    return msg.hwnd == dialog || IsChild(dialog, msg.hwnd);
}

// Inserted at the end rather than added, so that the sort style leaves the order alone.
void FillComboInOrder(HWND combo, const std::vector<std::string>& entries, int selected) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries) {
        SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int ComboSelection(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}
