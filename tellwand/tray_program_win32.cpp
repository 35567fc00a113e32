#include "tellwand/tray_program_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "base/trace.h"
#include "base/trace_win32.h"
#include "config/default_tables.h"
#include "config/program_folder_win32.h"
#include "config/program_folders.h"
#include "protocol/protocol.h"
#include "receiver/receiver_win32.h"
#include "tellwand/icon_ids.h"

namespace {

constexpr char kReceiverMissing[] = "Couldn't find QD740 device!";
constexpr DWORD kTracedReportBytes = 16;

// Windows of this title, one after the other; the first when `after` is null.
HWND NextWindowTitled(const char* title, HWND after) {
    return FindWindowExA(nullptr, after, nullptr, title);
}

DWORD ProcessOfWindow(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// The window of this title in that process, or null.
HWND FindWindowOfProcess(const char* title, DWORD process) {
    for (HWND window = NextWindowTitled(title, nullptr); window != nullptr;
         window = NextWindowTitled(title, window)) {
        if (process != 0 && ProcessOfWindow(window) == process) {
            return window;
        }
    }
    return nullptr;
}

// Any program can post us a window or show one of the HotKey dialog's title: only a live one
// of the running WandEdit (the process of its main dialog) counts.
bool IsEditorWindow(HWND window) {
    return IsWindow(window) &&
           FindWindowOfProcess(kEditorTitle, ProcessOfWindow(window)) != nullptr;
}

// The editor is listening to the remote. Once per report: without such a window it costs the
// one search it always did.
bool EditorHotkeyDialogIsOpen() {
    for (HWND dialog = NextWindowTitled(kHotkeyDialogTitle, nullptr); dialog != nullptr;
         dialog = NextWindowTitled(kHotkeyDialogTitle, dialog)) {
        if (IsEditorWindow(dialog)) {
            return true;
        }
    }
    return false;
}

// After a wake whose suspend notice never came, the next resume counts as a new wake all the
// same once this much time has passed.
constexpr DWORD kOneWakeMs = 60000;

}  // namespace

TrayProgram::TrayProgram(HINSTANCE instance)
    : instance_(instance),
      dispatcher_(DispatcherServices{input_, desktop_, profiles_, registry_, files_, tray_},
                  paths_),
      reader_([this](uint8_t* report, DWORD length) { OnReport(report, length); },
              [this] { dispatcher_.ReleaseHeldInput(); }) {}

int TrayProgram::Run() {
    // Held while the program runs: a second start finds it and leaves.
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, kTellwandMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        Trace("another Tellwand is running: this one ends");
        return 0;
    }
    if (!RegisterWindowClass()) {
        TraceLastError("RegisterClassA");
        return 0;
    }
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    CreateWindowExA(0, kTellwandWindowClass, kTellwandWindowClass,
                    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        TraceLastError("CreateWindowExA");
        return 0;
    }
    osdSender_.Start(window_);
    // Started only now that our window can be found, so its OSD announces itself at once.
    StartEditor("");
    // Before the first search, so a receiver plugged in while its warning is shown is noticed.
    deviceNotification_ = RegisterForHidInterfaceChanges(window_);
    Connect(ReaderRestart::kAlways, MissingReceiver::kWarn);
    tray_.Add(window_);  // in the state the connection left
    ShowWindow(window_, SW_HIDE);
    UpdateWindow(window_);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // Also when the loop ended without WM_CLOSE: a WM_QUIT from elsewhere, or GetMessage failing.
    reader_.Stop();
    dispatcher_.ReleaseHeldInput();
    deviceNotification_.Reset();
    osdSender_.Stop();
    editorProcess_.Reset();
    return 0;
}

bool TrayProgram::RegisterWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_TELLWAND));
    windowClass.lpszClassName = kTellwandWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

LRESULT CALLBACK TrayProgram::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* program =
            static_cast<TrayProgram*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        program->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(program));
    }
    auto* program = reinterpret_cast<TrayProgram*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (program == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return program->HandleMessage(message, wParam, lParam);
}

LRESULT TrayProgram::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            SetUp();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_DEVICECHANGE:
            OnDeviceChange(wParam, lParam);
            return 0;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(wParam);
            return TRUE;
        case kMsgOsdWindow:
            if (IsEditorWindow(reinterpret_cast<HWND>(wParam))) {
                osdWindow_ = reinterpret_cast<HWND>(wParam);
                if (openEditorOwed_) {
                    OpenEditor();
                }
            }
            return 0;
        case kMsgTableSelector:
            dispatcher_.SetTableSelector(static_cast<int>(wParam));
            return 0;
        case kMsgTrayCallback:
            if (wParam == kTrayIconId && lParam == WM_RBUTTONDOWN) {
                ShowMenu();
            }
            return 0;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        tray_.AddAgain();
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

// The rest of the start runs also on the first start, after the default tables were written,
// so that first run has its menu, its program paths and (started by Run) the OSD.
void TrayProgram::SetUp() {
    folder_ = OwnProgramFolder();
    paths_ = IniPathsInFolder(folder_);
    CreateDefaultTablesIfMissing(files_, profiles_, paths_.twCtrl);
    menuTexts_ = &MenuTextsForLanguage(GetSystemDefaultLangID());
    dispatcher_.ResolveProgramPaths();
    Trace("folder %s (Tellwand's own); INI files %s, %s, %s", folder_.c_str(),
          paths_.twCtrl.c_str(), paths_.userDef.c_str(), paths_.userDefInf.c_str());
}

// The WandEdit we start traces beside us when we trace.
std::string TrayProgram::EditorTraceSwitch() const {
    std::string file = TraceFilePath();
    if (file.empty()) {
        return "";
    }
    return "\"--trace=" + file.substr(0, file.rfind('\\') + 1) + "WandEdit.log\"";
}

void TrayProgram::StartEditor(const std::string& arguments) {
    std::string commandLine = "\"" + folder_ + kEditorProgram + "\"";
    for (const std::string& argument : {EditorTraceSwitch(), arguments}) {
        if (!argument.empty()) {
            commandLine += " " + argument;
        }
    }
    ScopedHandle process(StartProcess(commandLine, StartedWindow::kHidden));
    if (process) {
        editorProcess_ = std::move(process);
    }
}

bool TrayProgram::IsEditorRunning() const {
    if (!editorProcess_) {
        return false;
    }
    DWORD exitCode = 0;
    return !GetExitCodeProcess(editorProcess_.get(), &exitCode) || exitCode == STILL_ACTIVE;
}

// The box runs its own message loop: a Reload or Enable meanwhile searches quietly, so boxes
// never stack.
void TrayProgram::WarnReceiverMissing() {
    warningShown_ = true;
    MessageBoxA(nullptr, kReceiverMissing, "Warning", MB_ICONWARNING);
    warningShown_ = false;
}

// Hands a newly found receiver to the reader. A running reader is replaced only on `restart`;
// otherwise it keeps its own handle, unless it stopped because the receiver had gone.
bool TrayProgram::StartReadingFoundReceiver(bool restart) {
    // The old handle goes before the new one opens: the device gives every open handle every
    // report, so a press that reached both would be played twice.
    if (restart) {
        reader_.Stop();
        dispatcher_.ReleaseHeldInput();
    }
    ReceiverHandles found;
    if (!FindReceiver(AcceptedReceivers::TrayProgram, found)) {
        return false;
    }
    if (!reader_.IsReading()) {
        reader_.Start(found.ReleaseReadHandle(), found.inputReportLength);
    }
    return true;
}

// Start-up, Reload, Enable, device changes and resumes: find the receiver, read it, and enable
// when it is there, unless the user disabled Tellwand. The warning's box runs its own message
// loop, so a device change can connect the receiver meanwhile; the search after the box sees it.
void TrayProgram::Connect(ReaderRestart restart, MissingReceiver missing) {
    bool found = StartReadingFoundReceiver(restart == ReaderRestart::kAlways);
    if (!found && missing == MissingReceiver::kWarn && !warningShown_) {
        WarnReceiverMissing();
        found = StartReadingFoundReceiver(false);
    }
    bool enable = found && !disabledByUser_;
    Trace("receiver %s: %s", found ? "found" : "not found",
          enable  ? "reading it, enabled"
          : found ? "reading it, disabled by the user"
                  : "disabled");
    dispatcher_.ApplyEnableState(enable);
}

void TrayProgram::ShowMenu() {
    // The menu closes properly when the user clicks elsewhere only if our window is in front.
    SetForegroundWindow(window_);
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScopedMenu menu(CreatePopupMenu());
    bool disabled = dispatcher_.IsDisabled();
    InsertMenuA(menu.get(), 0, MF_BYPOSITION | MF_STRING, kCommandOpenEditor,
                menuTexts_->openEditor);
    InsertMenuA(menu.get(), 1, MF_BYPOSITION | MF_STRING, kCommandReload, menuTexts_->reload);
    InsertMenuA(menu.get(), 2, MF_BYPOSITION | MF_STRING,
                disabled ? kCommandEnable : kCommandDisable,
                disabled ? menuTexts_->enable : menuTexts_->disable);
    InsertMenuA(menu.get(), 3, MF_BYPOSITION | MF_STRING, kCommandExit, menuTexts_->exit);
    // Returns once the menu is gone; the choice comes as WM_COMMAND.
    TrackPopupMenuEx(menu.get(), 0, cursor.x, cursor.y, window_, nullptr);
    menu.Reset();
    PostMessageA(window_, WM_NULL, 0, 0);
}

void TrayProgram::OnCommand(int command) {
    Trace("menu command %d", command);
    switch (command) {
        case kCommandOpenEditor:
            OpenEditor();
            break;
        case kCommandReload:
            disabledByUser_ = false;
            Connect(ReaderRestart::kAlways, MissingReceiver::kWarn);
            break;
        case kCommandDisable:
            disabledByUser_ = true;
            dispatcher_.ApplyEnableState(false);
            break;
        case kCommandEnable:
            disabledByUser_ = false;
            Connect(ReaderRestart::kIfStopped, MissingReceiver::kWarn);
            break;
        case kCommandExit:
            PostMessageA(window_, WM_CLOSE, 0, 0);  // which closes WandEdit too
            break;
    }
}

// Any running WandEdit is restored, also one we did not start (from its own menu entry, or
// before we were started again): a second one would end at once on its mutex. Only its own
// window, and without waiting: a hung window of that title must not hold up Tellwand.
void TrayProgram::OpenEditor() {
    HWND editor = FindEditorWindow();
    openEditorOwed_ = false;
    if (editor != nullptr) {
        ShowWindowAsync(editor, SW_RESTORE);
    } else if (!IsEditorRunning()) {
        StartEditor(std::to_string(dispatcher_.Selector().value()));
    } else {
        // The WandEdit we started has no window yet, or is handing over to one that ran
        // before us: its OSD announces the one that stays, which is restored then.
        openEditorOwed_ = true;
    }
}

// WandEdit's main window: of the WandEdit we started, else of the one whose OSD announced
// itself; null when neither has one.
HWND TrayProgram::FindEditorWindow() const {
    HWND editor = nullptr;
    if (IsEditorRunning()) {
        editor = FindWindowOfProcess(kEditorTitle, GetProcessId(editorProcess_.get()));
    }
    HWND osd = osdWindow_.load();
    if (editor == nullptr && osd != nullptr && IsWindow(osd)) {
        editor = FindWindowOfProcess(kEditorTitle, ProcessOfWindow(osd));
    }
    return editor;
}

void TrayProgram::OnDeviceChange(WPARAM event, LPARAM header) {
    bool hid = IsHidInterfaceChange(event, header);
    Trace("device change 0x%04X%s", static_cast<unsigned>(event),
          hid ? ": a HID interface came or went, searching again" : "");
    if (hid) {
        SearchAgainQuietly();
    }
}

// After a sleep the reader may hold a handle that died while Windows said nothing of the
// receiver leaving or coming back: look for it again, as after a device change. A wake the
// user started brings two resume events; the second finds the new reader in place.
void TrayProgram::OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND) {
        resumeSearchOwed_ = true;
        return;
    }
    if (event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMRESUMESUSPEND) {
        return;
    }
    DWORD now = GetTickCount();
    if (resumeSearchOwed_ || now - lastResumeSearch_ >= kOneWakeMs) {
        resumeSearchOwed_ = false;
        lastResumeSearch_ = now;
        Trace("resume (power event %u): searching again", static_cast<unsigned>(event));
        SearchAgainQuietly();
    }
}

// A new reader on the receiver when it is there, disabled when not; no box either way, and a
// Tellwand the user disabled stays disabled.
void TrayProgram::SearchAgainQuietly() {
    Connect(ReaderRestart::kAlways, MissingReceiver::kQuiet);
}

void TrayProgram::OnClose() {
    Trace("closing");
    tray_.Remove();
    // A window that is not there would make this a message to our own thread; one of another
    // program with WandEdit's title is none of ours to close.
    HWND editor = FindEditorWindow();
    if (editor != nullptr) {
        PostMessageA(editor, WM_CLOSE, 0, 0);
    }
    // Nothing may stay held down once we are gone.
    reader_.Stop();
    dispatcher_.ReleaseHeldInput();
    deviceNotification_.Reset();
    DestroyWindow(window_);
}

// Reader thread: one completed report.
void TrayProgram::OnReport(uint8_t* report, DWORD length) {
    if (TraceOn()) {
        Trace("report %s", HexBytes(report, std::min<DWORD>(length, kTracedReportBytes)).c_str());
    }
    // The editor is listening to the remote: its presses select buttons, they do not act. What
    // an earlier press holds down goes up now, as its release will not be acted upon either.
    if (EditorHotkeyDialogIsOpen()) {
        Trace("report dropped: WandEdit's \"%s\" is open", kHotkeyDialogTitle);
        dispatcher_.ReleaseHeldInput();
        return;
    }
    if (dispatcher_.IsDisabled()) {
        Trace("report dropped: Tellwand is disabled");
        return;
    }
    tray_.ReportBegins();
    dispatcher_.DispatchReport(report[1], report[2], report[3]);
    if (report[1] == kButtonReport && osdWindow_.load() != nullptr && dispatcher_.OsdEnabled()) {
        osdSender_.Send(osdWindow_.load(), dispatcher_.CopyOsdText());
    }
    // The icon goes back to the state that holds now: Disable may have come meanwhile.
    tray_.ReportEnds();
}
