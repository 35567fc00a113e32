#pragma once
// A thin dialog class: a window from a dialog template, a modal loop of its own (so keys can be
// filtered before the dialog manager), and one virtual that each dialog answers with a switch
// calling small named handlers.

#include <windows.h>

#include <string>
#include <vector>

class Dialog {
  public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    // Creates the window from the template (not shown); false when it cannot be created.
    bool Create(HINSTANCE instance, int templateId, HWND owner = nullptr);
    // Runs the thread's messages until EndModal, destroys the window and returns the result.
    // The owner, if any, takes no input meanwhile.
    INT_PTR RunModal();
    // Create, shown, then RunModal; `failed` when the window cannot be created.
    INT_PTR RunShown(HINSTANCE instance, int templateId, HWND owner, INT_PTR failed);

    HWND window() const { return window_; }

  protected:
    Dialog() = default;

    // Handles one message: true with *result set, or false for the dialog manager's handling.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) = 0;
    // Sees each message of the thread before the dialog manager does; true swallows it.
    virtual bool PreTranslate(const MSG&) { return false; }

    void EndModal(INT_PTR result);
    HWND Item(int id) const { return GetDlgItem(window_, id); }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

// Enter, Esc and Space pressed in the dialog or one of its controls: our dialogs are operated
// with the mouse, and these keys would end them or press their buttons.
bool IsDialogOperatingKey(const MSG& msg, HWND dialog);

// Refills a combo box with `entries` in their order, whatever its sort style, and selects the
// entry at `selected` (none when it is -1).
void FillComboInOrder(HWND combo, const std::vector<std::string>& entries, int selected);
// The index of the combo box's selected entry, -1 when none is.
int ComboSelection(HWND combo);
