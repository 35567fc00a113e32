#include "tellwand/dispatcher.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "base/trace.h"
#include "config/key_table.h"
#include "config/program_folders.h"
#include "keyseq/key_player.h"

namespace {

constexpr uint8_t kInvalidMotion = 100;
constexpr uint8_t kVkReturn = 0x0D;
constexpr uint8_t kVkSpace = 0x20;
constexpr uint8_t kVkNumpad0 = 0x60;
constexpr uint32_t kCloseWaitMs = 1000;

constexpr std::size_t kKeyPathSize = 256;
constexpr std::size_t kSubKeySize = 128;
constexpr std::size_t kFolderSize = 256;

constexpr char kFilePathError[] = "File path error";
constexpr char kExitText[] = "Exit";
constexpr char kTeletextSection[] = "TELETEXT";
constexpr char kTeletextWindowTitle[] = "GlobeTXT";

struct ApplicationInfo {
    const char* section;
    const char* windowClass;  // null: any class
    const char* windowTitle;  // null: any title
    uint32_t closeMessage;
    const char* defaultPath;
    const char* programFile;
    const char* arguments;
};

// In the order of the dispatcher's App values.
const ApplicationInfo kApplications[] = {
    {"VCR", nullptr, "PowerBar", kMessageQuit, "C:\\Program Files\\CyberLink\\PowerVCRII\\PVCR.exe",
     "PVCR.exe", ""},
    {"DVD", "Class of CyberLink Universal Player", nullptr, kMessageClose,
     "c:\\Program Files\\Velqcorp\\VelqDVD XP\\PowerDVD.exe", "PowerDVD.exe", ""},
    {"FM", "Class of VELQ Tunio.FM", "VELQ Tunio.FM", kMessageClose,
     "e:\\Program Files\\Velq\\tunio.fm\\tunrec.exe", "tunrec.exe", " FM"},
};

// X: 1..99 right, 101..255 left by 255 - value.
int DecodeX(uint8_t value) {
    if (value == 0) {
        return 0;
    }
    return value < kInvalidMotion ? value : value - 255;
}

// Y: 1..99 up, 101..255 down by 255 - value.
int DecodeY(uint8_t value) {
    if (value == 0) {
        return 0;
    }
    return value < kInvalidMotion ? -value : 255 - value;
}

// The button's number: its INI key and its index in the button table.
constexpr int Number(Button button) {
    return static_cast<int>(button);
}

// The four buttons at the top of the remote start, switch and close the applications.
bool IsLaunchButton(Button button) {
    return button == Button::Power || button == Button::VCR || button == Button::TeleText ||
           button == Button::DVD;
}

// The digit a digit button stands for, or -1.
int DigitOf(Button button) {
    if (button >= Button::Digit1 && button <= Button::Digit9) {
        return Number(button) - Number(Button::Digit1) + 1;
    }
    return button == Button::Digit0 ? 0 : -1;
}

// What the digits send in the DVD player while the numeric keypad is off.
constexpr uint8_t kCursorKeyOfDigit[10] = {0, 0, 0x26, 0, 0x25, kVkReturn, 0x27, 0, 0x28, 0};

void ClearModifiers(KeyAction& record) {
    record.modifier1 = 0;
    record.modifier2 = 0;
    record.modifier3 = 0;
}

// A built-in default lies on a drive of the machine we do not know: only inside Program Files,
// where only administrators can put a program, may another user's press start it.
void UseDefaultInsideProgramFiles(const ApplicationInfo& info,
                                  const std::vector<std::string>& programFiles,
                                  char (&path)[kProgramPathSize]) {
    CopyBounded(path, LiesInsideAnyFolder(info.defaultPath, programFiles) ? info.defaultPath : "");
}

// The install folder from the registry with the program file appended, or the default path
// when the folder cannot be read or the whole path would not fit.
void ResolveProgramPath(ProfileStore& profiles, Registry& registry, const IniPaths& paths,
                        const std::vector<std::string>& programFiles, const ApplicationInfo& info,
                        char (&path)[kProgramPathSize]) {
    char keyPath[kKeyPathSize];
    char subKey[kSubKeySize];
    profiles.ReadString(paths.twCtrl, info.section, "KeyPath", keyPath, sizeof keyPath);
    profiles.ReadString(paths.twCtrl, info.section, "SubKey", subKey, sizeof subKey);
    UseDefaultInsideProgramFiles(info, programFiles, path);

    char folder[kFolderSize] = {};
    if (!registry.ReadString(keyPath, subKey, folder, sizeof folder) || folder[0] == '\0') {
        return;
    }
    std::string full = WithTrailingBackslash(std::string(BufferText(folder))) + info.programFile;
    if (full.size() < kProgramPathSize) {
        CopyBounded(path, full);
    }
}

}  // namespace

Dispatcher::Dispatcher(const DispatcherServices& services, const IniPaths& paths)
    : input_(services.input),
      desktop_(services.desktop),
      profiles_(services.profiles),
      registry_(services.registry),
      files_(services.files),
      tray_(services.tray),
      paths_(paths) {}

void Dispatcher::DispatchReport(uint8_t type, uint8_t byte2, uint8_t byte3) {
    switch (type) {
        case kPadMove:
            MovePointer(byte2, byte3);
            break;
        case kPadLeftDrag:
            DragPointer(byte2, byte3, leftButton_);
            break;
        case kPadRightDrag:
            DragPointer(byte2, byte3, rightButton_);
            break;
        case kButtonReport:
            HandleButton(byte2 == 0, byte3);
            break;
        default:
            break;
    }
}

// One held button is let go per report, the left one first.
void Dispatcher::MovePointer(uint8_t x, uint8_t y) {
    if (!ReleaseMouseButton(leftButton_)) {
        ReleaseMouseButton(rightButton_);
    }
    if ((x != 0 || y != 0) && x != kInvalidMotion && y != kInvalidMotion) {
        input_.MouseEvent(kMouseMove, DecodeX(x), DecodeY(y));
    }
}

// A still drag presses a button that is up; a moving one moves with the button down (even a
// move of 100, which sends nothing, holds it).
void Dispatcher::DragPointer(uint8_t x, uint8_t y, MouseButton& button) {
    bool still = x == 0 && y == 0;
    if (!BeginPress(button.hold, still)) {
        return;
    }
    if (still) {
        input_.MouseEvent(button.downFlag, 0, 0);
    } else if (x != kInvalidMotion && y != kInvalidMotion) {
        input_.MouseEvent(kMouseMove | button.downFlag, DecodeX(x), DecodeY(y));
    }
    if (!FinishPress(button.hold)) {
        input_.MouseEvent(button.upFlag, 0, 0);
    }
}

// True when the button was down and has been let go.
bool Dispatcher::ReleaseMouseButton(MouseButton& button) {
    bool held;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held = TakeHeld(button.hold);
    }
    if (held) {
        input_.MouseEvent(button.upFlag, 0, 0);
    }
    return held;
}

// Reader thread. False, and nothing may go down, while disabled (or, with `onlyIfUp`, while
// the thing is already down).
bool Dispatcher::BeginPress(Hold& hold, bool onlyIfUp) {
    std::lock_guard<std::mutex> lock(mutex_);
    return !disabled_ && StartHolding(hold, onlyIfUp);
}

// Reader thread, once the press's events are out: false when a release came meanwhile, and
// the caller must let go at once.
bool Dispatcher::FinishPress(Hold& hold) {
    std::lock_guard<std::mutex> lock(mutex_);
    return FinishHolding(hold);
}

void Dispatcher::HandleButton(bool down, int code) {
    TableSelector selector = tableSelector_;
    bool builtIn = selector.PlaysBuiltInTables();
    int number = ButtonFromReportCode(code);
    TraceButton(number, down, code, selector.value());
    bool launch = number >= 0 && IsLaunchButton(static_cast<Button>(number));
    AppWindows windows;
    if (builtIn) {
        // Built-in mode shows the OSD only for the buttons that start and close applications,
        // and a code of no button counts as another button.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            settings_.enableOsd = launch ? 1 : 0;
        }
        if (launch) {
            windows = FindApplicationWindows();
        }
    }
    if (number < 0) {
        return;
    }
    Button button = static_cast<Button>(number);
    if (builtIn && launch) {
        HandleBuiltInButton(down, button, windows);
    } else if (button == Button::Power && selector.IsUserMode()) {
        HandleUserProgramButton(down);
    } else {
        HandleCommonButton(down, button);
    }
    // The way the release took may not play this button (the mode changed while it was down).
    if (!down) {
        ReleaseIfHeld(number);
    }
}

// The launch buttons act one label off, as the built-in tables have always had them: Power
// starts the recorder, VCR the DVD player, TeleText the FM application, DVD the teletext.
void Dispatcher::HandleBuiltInButton(bool down, Button button, const AppWindows& windows) {
    switch (button) {
        case Button::Power:
            HandleApplicationButton(kVcr, down, windows);
            break;
        case Button::VCR:
            HandleApplicationButton(kDvd, down, windows);
            break;
        case Button::TeleText:
            HandleApplicationButton(kFm, down, windows);
            break;
        default:
            HandleTeletextButton(down, windows);
            break;
    }
}

void Dispatcher::HandleCommonButton(bool down, Button button) {
    if (button == Button::PlayPause) {
        HandlePlayPause(down, Number(button));
        return;
    }
    if (DigitOf(button) >= 0 && dvdActive_) {
        RewriteDigitRecord(button);
    }
    PlayButton(Number(button), down);
    switch (button) {
        case Button::Backward:
            if (!down && !vcrActive_) {
                playNext_ = true;
            }
            break;
        case Button::Forward:
        case Button::Stop:
        case Button::Eject:
            if (!down && dvdActive_) {
                playNext_ = true;
            }
            break;
        case Button::NumPad:
            if (down && dvdActive_) {
                numPadOn_ = !numPadOn_;
            }
            break;
        default:
            break;
    }
}

void Dispatcher::HandleApplicationButton(App app, bool down, const AppWindows& windows) {
    const ApplicationInfo& info = kApplications[app];
    WindowHandle own = windows.of[app];
    if (own != kNoWindow) {
        ExitApplication(app, down, own);
        return;
    }
    if (!files_.FileExists(programPaths_[app])) {
        Trace("[%s]: no program at %s", info.section, programPaths_[app]);
        SetOsdText(kFilePathError);
        return;
    }
    if (down) {
        CloseOtherApplications(app, windows);
    }
    SetOsdText(info.section);
    if (!down) {
        LoadTable(info.section, false);
        if (StartProgram(programPaths_[app], info.arguments)) {
            MarkActive(app, true);
        }
    }
}

// The button of a running application closes it when it comes up.
void Dispatcher::ExitApplication(App app, bool down, WindowHandle window) {
    if (down) {
        if (app == kVcr) {
            PressButton(Number(Button::Power));
        }
        SetOsdText(kExitText);
        return;
    }
    if (app == kVcr) {
        ReleaseIfHeld(Number(Button::Power));
        desktop_.PostWindowMessage(window, kMessageQuit, 0, 0);
    } else {
        CloseApplication(app, window);
    }
    MarkActive(app, false);
}

void Dispatcher::CloseOtherApplications(App app, const AppWindows& windows) {
    for (int other = 0; other < kAppCount; ++other) {
        if (other == app || windows.of[other] == kNoWindow) {
            continue;
        }
        CloseApplication(static_cast<App>(other), windows.of[other]);
        desktop_.Sleep(kCloseWaitMs);
        MarkActive(static_cast<App>(other), false);
    }
}

void Dispatcher::CloseApplication(App app, WindowHandle window) {
    desktop_.EnableAndPostMessage(window, kApplications[app].closeMessage);
}

// Only the recorder and the DVD player are followed; the FM application has no flag.
void Dispatcher::MarkActive(App app, bool active) {
    if (app == kVcr) {
        vcrActive_ = active;
    } else if (app == kDvd) {
        dvdActive_ = active;
    }
}

void Dispatcher::HandleUserProgramButton(bool down) {
    if (userProgramStarted_) {
        PlayButton(Number(Button::Power), down);
        if (!down) {
            userProgramStarted_ = false;
        }
        return;
    }
    Settings settings = CopySettings();
    char path[kFilePathSize];
    if (!FindUserProgram(settings.userDefineTable, path)) {
        return;
    }
    SetOsdText(std::string(BufferText(settings.userDefineTable)) + " Mode");
    if (!down) {
        LoadTable(settings.userDefineTable, true);
        userProgramStarted_ = StartProgram(path, "");
    }
}

void Dispatcher::HandleTeletextButton(bool down, const AppWindows& windows) {
    bool recorderRunning = windows.of[kVcr] != kNoWindow;
    if (down) {
        if (!recorderRunning) {
            SetOsdText("");
        } else if (teletextOn_) {
            SetOsdText(kExitText);
        } else {
            SetOsdText(kTeletextSection);
            PressButton(Number(Button::DVD));
        }
        return;
    }
    if (!recorderRunning) {
        return;
    }
    if (!teletextOn_) {
        ReleaseIfHeld(Number(Button::DVD));
        LoadTable(kTeletextSection, false);
        teletextOn_ = true;
        return;
    }
    WindowHandle teletext = desktop_.FindWindowByName(nullptr, kTeletextWindowTitle);
    if (teletext != kNoWindow) {
        desktop_.EnableAndPostMessage(teletext, kMessageQuit);
    }
    teletextOn_ = false;
    LoadTable(kApplications[kVcr].section, false);
}

// In the DVD player Play/Pause alternates Pause (space) and Play (return).
void Dispatcher::HandlePlayPause(bool down, int button) {
    if (!down) {
        ReleaseIfHeld(button);
        playNext_ = !playNext_;
        return;
    }
    if (dvdActive_) {
        std::lock_guard<std::mutex> lock(mutex_);
        KeyAction& record = table_[button];
        ClearModifiers(record);
        record.key = playNext_ ? kVkReturn : kVkSpace;
        CopyBounded(record.description, playNext_ ? "Play" : "Pause");
    }
    PlayButton(button, true);
}

// In the DVD player the digits send keypad digits or, with the keypad off, cursor keys.
void Dispatcher::RewriteDigitRecord(Button button) {
    int digit = DigitOf(button);
    std::lock_guard<std::mutex> lock(mutex_);
    KeyAction& record = table_[Number(button)];
    ClearModifiers(record);
    record.key = numPadOn_ ? static_cast<uint8_t>(kVkNumpad0 + digit) : kCursorKeyOfDigit[digit];
}

void Dispatcher::PlayButton(int button, bool down) {
    if (down) {
        KeyAction record = PressButton(button);
        SetOsdText(BufferText(record.description));
    } else {
        ReleaseIfHeld(button);
    }
}

KeyAction Dispatcher::PressButton(int button) {
    KeyAction record = CopyRecord(button);
    // A second down report with other keys (the table changed since the first) would
    // otherwise leave the first record's keys down for good.
    if (HeldKeysDiffer(button, record)) {
        ReleaseIfHeld(button);
    }
    PressedRecord& pressed = pressed_[button];
    if (!BeginPress(pressed.hold, false)) {
        return record;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pressed.record = record;
    }
    PressKeyAction(record, input_);
    if (!FinishPress(pressed.hold)) {
        ReleaseKeyAction(record, input_);
    }
    return record;
}

bool Dispatcher::HeldKeysDiffer(int button, const KeyAction& record) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const PressedRecord& pressed = pressed_[button];
    return pressed.hold == Hold::kDown &&
           (pressed.record.modifier1 != record.modifier1 ||
            pressed.record.modifier2 != record.modifier2 ||
            pressed.record.modifier3 != record.modifier3 || pressed.record.key != record.key);
}

// A release lets go of what this button's press put down, and of nothing else: keys it did
// not press may be held by the user, and a key-up of ours would let go of them.
void Dispatcher::ReleaseIfHeld(int button) {
    bool held;
    KeyAction record;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held = TakeHeld(pressed_[button].hold);
        record = pressed_[button].record;
    }
    if (held) {
        ReleaseKeyAction(record, input_);
    }
}

void Dispatcher::ApplyEnableState(bool enable) {
    Trace("%s, table selector %d", enable ? "enabled" : "disabled", tableSelector_.load().value());
    if (!enable) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            disabled_ = true;
        }
        // No report reaches a disabled dispatcher, so nothing else would let go of these.
        ReleaseHeldInput();
        tray_.ShowTrayState(TrayState::kDisabled);
        return;
    }
    disabled_ = false;
    if (tableSelector_.load().PlaysBuiltInTables()) {
        SelectTableOfRunningApplication();
    } else {
        SelectUserTable();
    }
    tray_.ShowTrayState(TrayState::kEnabled);
}

// Only an application running alone decides; otherwise the table and flags stay.
void Dispatcher::SelectTableOfRunningApplication() {
    AppWindows windows = FindApplicationWindows();
    int running = 0;
    App found = kVcr;
    for (int app = 0; app < kAppCount; ++app) {
        if (windows.of[app] != kNoWindow) {
            ++running;
            found = static_cast<App>(app);
        }
    }
    if (running != 1) {
        return;
    }
    LoadTable(kApplications[found].section, false);
    vcrActive_ = found == kVcr;
    dvdActive_ = found == kDvd;
}

void Dispatcher::SelectUserTable() {
    ReadSettingsAgain();
    Settings settings = CopySettings();
    char path[kFilePathSize];
    FindUserProgram(settings.userDefineTable, path);
    LoadTable(settings.userDefineTable, true);
}

// The user table's program file; a missing one is told on the OSD. A path that is not full
// would be tested in our current folder and started from our own.
bool Dispatcher::FindUserProgram(const char* table, char (&path)[kFilePathSize]) {
    ReadTableFilePath(profiles_, paths_, table, path, sizeof path);
    if (IsFullPath(BufferText(path)) && files_.FileExists(path)) {
        return true;
    }
    Trace("user table [%s]: no program at \"%s\"", table, path);
    SetOsdText(kFilePathError);
    return false;
}

void Dispatcher::ResolveProgramPaths() {
    std::vector<std::string> programFiles = files_.ProgramFilesFolders();
    for (int app = 0; app < kAppCount; ++app) {
        ResolveProgramPath(profiles_, registry_, paths_, programFiles, kApplications[app],
                           programPaths_[app]);
        Trace("program of [%s]: %s", kApplications[app].section, programPaths_[app]);
    }
}

void Dispatcher::SetTableSelector(TableSelector selector) {
    Trace("table selector %d", selector.value());
    if (selector.IsUserMode()) {
        ReadSettingsAgain();
    }
    tableSelector_ = selector;
}

void Dispatcher::ReleaseHeldInput() {
    ReleaseMouseButton(leftButton_);
    ReleaseMouseButton(rightButton_);
    for (int button = 0; button < kButtonCount; ++button) {
        ReleaseIfHeld(button);
    }
}

bool Dispatcher::OsdEnabled() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_.enableOsd != 0;
}

OsdText Dispatcher::CopyOsdText() const {
    OsdText text;
    std::lock_guard<std::mutex> lock(mutex_);
    std::memcpy(text.data(), osdText_, sizeof osdText_);
    return text;
}

Dispatcher::AppWindows Dispatcher::FindApplicationWindows() {
    AppWindows windows;
    for (int app = 0; app < kAppCount; ++app) {
        windows.of[app] = desktop_.FindWindowByName(kApplications[app].windowClass,
                                                    kApplications[app].windowTitle);
    }
    return windows;
}

// The registry is read outside the lock; a missing value keeps the one read before.
void Dispatcher::ReadSettingsAgain() {
    Settings settings = CopySettings();
    ReadSettings(registry_, settings);
    std::lock_guard<std::mutex> lock(mutex_);
    settings_ = settings;
}

Settings Dispatcher::CopySettings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

// The table is read into a scratch copy first, so dispatch never sees a half-loaded table.
void Dispatcher::LoadTable(const char* section, bool user) {
    KeyTable scratch;
    LoadKeyTable(profiles_, paths_, section, user, scratch);
    Trace("table [%s] loaded from %s", section,
          user ? "UserDef.ini and UserDefInf.ini" : "TWCtrl.ini");
    std::lock_guard<std::mutex> lock(mutex_);
    table_ = scratch;
    CopyBounded(tableName_, section);
}

KeyAction Dispatcher::CopyRecord(int button) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return table_[button];
}

void Dispatcher::SetOsdText(std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    CopyBounded(osdText_, text);
}

// A program that would not start is not announced as started: the OSD says the program file
// failed, as for a missing one.
bool Dispatcher::StartProgram(std::string_view path, std::string_view arguments) {
    // Quoted, so a path with blanks cannot start a program named like its first word.
    std::string commandLine = "\"";
    commandLine.append(path).append("\"").append(arguments);
    if (desktop_.StartProgram(commandLine)) {
        return true;
    }
    SetOsdText(kFilePathError);
    return false;
}

void Dispatcher::TraceButton(int number, bool down, int code, int selector) const {
    if (!TraceOn()) {
        return;
    }
    char table[sizeof tableName_];
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::memcpy(table, tableName_, sizeof table);
    }
    if (number < 0) {
        Trace("code %d is no button: ignored", code);
        return;
    }
    Trace("button %d %s, table selector %d, table [%s]", number, down ? "down" : "up", selector,
          table);
}
