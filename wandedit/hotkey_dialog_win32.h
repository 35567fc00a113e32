#pragma once
// The "HotKey Configuration" dialog: the remote's picture with a button for each of its keys,
// selected by a click or by a press on the remote, and the hotkey field and description box
// that show and edit the selected button of one user table.

#include <windows.h>
// windows.h first: commctrl.h builds on its types.
#include <commctrl.h>

#include <array>
#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "base/scoped_win32.h"
#include "config/file_system_win32.h"
#include "config/ini_paths.h"
#include "config/profile_store.h"
#include "keyseq/hotkey.h"
#include "receiver/report_reader_win32.h"
#include "wandedit/dialog_win32.h"
#include "wandedit/hotkey_editor.h"
#include "wandedit/table_manager.h"

class HotkeyDialog : public Dialog, private TableQuestions, private TableDisplay {
  public:
    HotkeyDialog(HINSTANCE instance, ProfileStore& profiles);

    // Runs the dialog modally over `owner`, starting on the table at `tableIndex` of the
    // user-table list. Returns the list index of the table current at OK, 0 after Cancel.
    INT_PTR Run(HWND owner, const IniPaths& paths, int tableIndex);
    // The table the dialog showed when it closed.
    const std::string& application() const { return editor_.application(); }
    // OK closed it (and saved); Cancel and the close box did not.
    bool closedWithOk() const { return closedWithOk_; }

  private:
    // The four images of a picture button, as bitmap resource ids.
    struct PictureImages {
        int normal;
        int selected;
        int focused;
        int disabled;
    };

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    bool PreTranslate(const MSG& msg) override;

    std::optional<std::string> AskApplicationName(const std::vector<std::string>& listed) override;
    FilePathAnswer AskForFilePath() override;
    bool ConfirmDelete(const std::string& message) override;
    std::optional<std::string> ChooseProgram() override;

    void ShowList(const std::vector<std::string>& entries, int selected) override;
    void ShowApplication(const std::string& name) override;
    void ShowProgram(const std::string& path) override;
    void ShowLoadedTable() override;
    void KeepShownButton() override;

    void OnInitDialog();
    bool OnCommand(int id, int notification);
    void OnBlinkTimer();
    void OnHotkey(LPARAM lParam);
    bool SkipsOvertakenModifier(const MSG& keyDown);
    void OnDeviceChange(WPARAM event, LPARAM header);
    bool IsToolTipTextRequest(LPARAM lParam) const;
    void OnToolTipText(NMTTDISPINFOA* info);
    void OnDrawItem(const DRAWITEMSTRUCT* item);
    void OnDestroy();
    void OnOk();
    void OnClear();

    void ConnectReceiver();
    void OnReport(const uint8_t* report, DWORD length);
    void RegisterCaptureKeys();
    // Runs `ask` with the reserved keys given back to the system; returns its answer.
    template <typename Question>
    auto AskWithoutCaptureKeys(Question ask) -> decltype(ask());
    void EnableToolTips();
    void CreatePictureButtons();
    void PlacePictureUnderButtons();

    void SelectButton(int button);
    int CurrentEntry() const;
    void ShowSelected();
    void SetField(const HotkeyRecord& hotkey);
    HotkeyRecord ReadField() const;
    std::string ReadDescription() const;
    void SetImages(int button, const PictureImages& images);
    void RestoreStandardImages(int button);
    void RedrawPictureButton(int button);
    HBITMAP Bitmap(int id);
    bool FocusIsOnField() const;

    HINSTANCE instance_;
    HotkeyEditor editor_;
    Win32FileSystem files_;
    TableManager tables_;
    BlinkPhase blink_;
    IniPaths paths_;
    int tableIndex_ = -1;
    bool closedWithOk_ = false;
    // Modifiers (field flags) of the last captured reserved key whose key-downs are still
    // queued behind its hotkey message.
    uint16_t overtakenModifiers_ = 0;
    std::array<PictureImages, kButtonCount> images_ = {};
    std::map<int, ScopedBitmap> bitmaps_;
    ScopedWindow toolTip_;
    std::vector<ScopedHotkey> captureKeys_;  // while the dialog is open and asks nothing
    ScopedHook notificationFilter_;
    ScopedDeviceNotification deviceNotification_;
    // Read by the reader thread; the dialog thread writes it.
    std::atomic<bool> receiverMissing_{true};
    std::atomic<HWND> reportTarget_{nullptr};
    ReportReader reader_;
};
