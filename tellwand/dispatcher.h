#pragma once
// What each receiver report means, and which button table is active.
//
// DispatchReport runs on the reader thread; the enable state, the table selector, the program
// paths and the release of held input are driven from the window thread. The button table is
// copied in and out under a short lock and played from the copy, so no lock is ever held
// across input, a pause, a program start or a window message.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "config/buttons.h"
#include "config/file_system.h"
#include "config/ini_paths.h"
#include "config/key_table.h"
#include "config/profile_store.h"
#include "config/registry.h"
#include "config/settings.h"
#include "config/user_tables.h"
#include "keyseq/input_sink.h"
#include "keyseq/key_action.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "tellwand/desktop.h"
#include "tellwand/hold.h"
#include "tellwand/tray_icon.h"

constexpr std::size_t kProgramPathSize = 260;  // 259 characters and the terminator

using OsdText = std::array<char, kOsdMessageSize>;

struct DispatcherServices {
    InputSink& input;
    Desktop& desktop;
    ProfileStore& profiles;
    Registry& registry;
    FileSystem& files;
    TrayIcon& tray;
};

class Dispatcher {
  public:
    // `paths` must outlive the dispatcher; the tray program fills it before the first load.
    Dispatcher(const DispatcherServices& services, const IniPaths& paths);
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // Reader thread: acts on report bytes 1, 2 and 3.
    void DispatchReport(uint8_t type, uint8_t byte2, uint8_t byte3);

    // Window thread.
    void ApplyEnableState(bool enable);
    // Once at start-up, before the reader starts. A built-in default path counts only inside
    // the system's Program Files folders.
    void ResolveProgramPaths();
    // From WandEdit's message; user mode also re-reads the settings from the registry.
    void SetTableSelector(TableSelector selector);
    // Lets go of a synthesized mouse button and of the keys of a record pressed and not yet
    // released, so nothing stays stuck down when reports stop arriving.
    void ReleaseHeldInput();

    // Any thread.
    bool IsDisabled() const { return disabled_; }
    TableSelector Selector() const { return tableSelector_; }
    bool OsdEnabled() const;
    OsdText CopyOsdText() const;

  private:
    enum App { kVcr, kDvd, kFm, kAppCount };
    struct AppWindows {
        WindowHandle of[kAppCount] = {};
    };
    struct PressedRecord {
        Hold hold = Hold::kUp;
        KeyAction record;
    };
    struct MouseButton {
        Hold hold;
        uint32_t downFlag;
        uint32_t upFlag;
    };

    void MovePointer(uint8_t x, uint8_t y);
    void DragPointer(uint8_t x, uint8_t y, MouseButton& button);
    bool ReleaseMouseButton(MouseButton& button);
    bool BeginPress(Hold& hold, bool onlyIfUp);
    bool FinishPress(Hold& hold);
    void HandleButton(bool down, int code);
    void HandleBuiltInButton(bool down, Button button, const AppWindows& windows);
    void HandleCommonButton(bool down, Button button);
    void HandleApplicationButton(App app, bool down, const AppWindows& windows);
    void ExitApplication(App app, bool down, WindowHandle window);
    void CloseOtherApplications(App app, const AppWindows& windows);
    void CloseApplication(App app, WindowHandle window);
    void MarkActive(App app, bool active);
    void HandleUserProgramButton(bool down);
    void HandleTeletextButton(bool down, const AppWindows& windows);
    void HandlePlayPause(bool down, int button);
    void RewriteDigitRecord(Button button);
    void PlayButton(int button, bool down);
    KeyAction PressButton(int button);
    void ReleaseIfHeld(int button);
    bool HeldKeysDiffer(int button, const KeyAction& record) const;

    AppWindows FindApplicationWindows();
    void SelectTableOfRunningApplication();
    void SelectUserTable();
    bool FindUserProgram(const char* table, char (&path)[kFilePathSize]);
    void ReadSettingsAgain();
    Settings CopySettings() const;
    void LoadTable(const char* section, bool user);
    KeyAction CopyRecord(int button) const;
    void SetOsdText(std::string_view text);
    bool StartProgram(std::string_view path, std::string_view arguments);
    void TraceButton(int number, bool down, int code, int selector) const;

    InputSink& input_;
    Desktop& desktop_;
    ProfileStore& profiles_;
    Registry& registry_;
    FileSystem& files_;
    TrayIcon& tray_;
    const IniPaths& paths_;

    // Shared with the window thread: single words. Disabling also takes mutex_, so a press
    // checks for it and is marked in one step.
    std::atomic<bool> disabled_{false};
    std::atomic<TableSelector> tableSelector_{TableSelector()};
    std::atomic<bool> vcrActive_{false};
    std::atomic<bool> dvdActive_{false};

    // Shared with the window thread: guarded by mutex_.
    mutable std::mutex mutex_;
    KeyTable table_{};
    Settings settings_;  // osdEnabled and userTableName
    char osdText_[kOsdMessageSize] = {};
    char tableName_[sizeof(Settings::userDefineTable)] = {};  // the last loaded, for the trace
    // What each button played on its way down: its release lets go of the same keys even when
    // the table, the mode or the record changed in between.
    std::array<PressedRecord, kButtonCount> pressed_{};
    MouseButton leftButton_{Hold::kUp, kMouseLeftDown, kMouseLeftUp};
    MouseButton rightButton_{Hold::kUp, kMouseRightDown, kMouseRightUp};

    // Reader thread only.
    bool teletextOn_ = false;
    bool playNext_ = false;
    bool numPadOn_ = false;
    bool userProgramStarted_ = false;

    // Written before the reader starts.
    char programPaths_[kAppCount][kProgramPathSize] = {};
};
