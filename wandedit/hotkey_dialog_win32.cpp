#include "wandedit/hotkey_dialog_win32.h"

#include "base/bounded_text.h"
#include "base/trace.h"
#include "base/trace_win32.h"
#include "config/buttons.h"
#include "protocol/protocol.h"
#include "receiver/receiver_win32.h"
#include "remote_layout.h"
#include "wandedit/resource_ids.h"
#include "wandedit/table_dialogs_win32.h"

namespace {

constexpr UINT_PTR kBlinkTimer = 1000;
constexpr UINT kBlinkPeriodMs = 1000;
// The reader thread hands a selection from the remote to the dialog thread with this.
constexpr UINT kMsgRemoteButton = WM_APP + 0x40;
constexpr std::size_t kToolTipSize = 80;  // 79 characters and the terminator
constexpr int kProgramPathTextSize = 255;

// The hotkey field's flag of a modifier key; 0 for every other key.
uint16_t ModifierFlagOfKey(WPARAM key) {
    switch (key) {
        case VK_SHIFT:
        case VK_LSHIFT:
        case VK_RSHIFT:
            return kHotkeyShift;
        case VK_CONTROL:
        case VK_LCONTROL:
        case VK_RCONTROL:
            return kHotkeyControl;
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
            return kHotkeyAlt;
        default:
            return 0;
    }
}

// The modifiers this thread has seen go down and not yet up.
uint16_t ModifiersSeenDown() {
    uint16_t flags = 0;
    for (WPARAM key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        if (GetKeyState(static_cast<int>(key)) < 0) {
            flags |= ModifierFlagOfKey(key);
        }
    }
    return flags;
}

// Notifications are only ever sent, never posted: one that comes through the queue was put
// there by another program, and its pointer means nothing in this one.
LRESULT CALLBACK DropPostedNotifications(int code, WPARAM removal, LPARAM message) {
    auto* msg = reinterpret_cast<MSG*>(message);
    if (code == HC_ACTION && msg->message == WM_NOTIFY) {
        msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace

HotkeyDialog::HotkeyDialog(HINSTANCE instance, ProfileStore& profiles)
    : instance_(instance),
      editor_(profiles),
      tables_(profiles, editor_, files_, *this, *this),
      reader_([this](uint8_t* report, DWORD length) { OnReport(report, length); }) {}

INT_PTR HotkeyDialog::Run(HWND owner, const IniPaths& paths, int tableIndex) {
    paths_ = paths;
    tableIndex_ = tableIndex;
    closedWithOk_ = false;
    return RunShown(instance_, IDD_HOTKEY, owner, 0);
}

bool HotkeyDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            *result = TRUE;  // the dialog manager puts the focus on the first tab stop, OK
            return true;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_TIMER:
            if (wParam == kBlinkTimer) {
                OnBlinkTimer();
            }
            return true;
        case WM_HOTKEY:
            OnHotkey(lParam);
            return true;
        case WM_DEVICECHANGE:
            OnDeviceChange(wParam, lParam);
            *result = TRUE;
            return true;
        case WM_NOTIFY:
            if (IsToolTipTextRequest(lParam)) {
                OnToolTipText(reinterpret_cast<NMTTDISPINFOA*>(lParam));
                return true;
            }
            return false;
        case WM_DRAWITEM:
            OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            *result = TRUE;
            return true;
        case kMsgRemoteButton:
            SelectButton(static_cast<int>(wParam));
            return true;
        case WM_DESTROY:
            OnDestroy();
            return false;
        default:
            return false;
    }
}

// Backspace, Space and Enter would act on the dialog; with the focus on the hotkey field
// they are the key the user wants recorded.
bool HotkeyDialog::PreTranslate(const MSG& msg) {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
        SkipsOvertakenModifier(msg)) {
        return true;
    }
    if (msg.message != WM_KEYDOWN || !FocusIsOnField()) {
        return false;
    }
    if (msg.wParam != VK_BACK && msg.wParam != VK_SPACE && msg.wParam != VK_RETURN) {
        return false;
    }
    SetField({static_cast<uint16_t>(msg.wParam), 0});
    return true;
}

void HotkeyDialog::OnInitDialog() {
    reportTarget_.store(window());
    // Every loop of this thread takes messages for the dialog, the file chooser's included.
    notificationFilter_.Reset(
        SetWindowsHookExA(WH_GETMESSAGE, DropPostedNotifications, nullptr, GetCurrentThreadId()));
    ConnectReceiver();
    deviceNotification_ = RegisterForHidInterfaceChanges(window());
    editor_.ResetSelection();
    SetField({});
    RegisterCaptureKeys();
    EnableToolTips();
    CreatePictureButtons();
    PlacePictureUnderButtons();
    SelectButton(0);
    tables_.Open(paths_, tableIndex_);
    SetTimer(window(), kBlinkTimer, kBlinkPeriodMs, nullptr);
}

bool HotkeyDialog::OnCommand(int id, int notification) {
    if (id == IDC_APP_LIST) {
        if (notification == CBN_SELCHANGE) {
            tables_.Choose(CurrentEntry());
        }
        return true;
    }
    if (notification != BN_CLICKED) {
        return false;
    }
    if (id >= IDC_PICTURE_BUTTON && id < IDC_PICTURE_BUTTON + kButtonCount) {
        SelectButton(id - IDC_PICTURE_BUTTON);
        return true;
    }
    switch (id) {
        case IDC_HOTKEY_OK:
        case IDOK:  // Enter where no push button has the focus: the dialog has no default one
            OnOk();
            return true;
        case IDCANCEL:  // Cancel and the close box: nothing is saved
            EndModal(0);
            return true;
        case IDC_CLEAR:
            OnClear();
            return true;
        case IDC_NEW:
            tables_.New();
            return true;
        case IDC_SAVE_AS:
            tables_.SaveAs();
            return true;
        case IDC_SAVE:
            tables_.Save();
            return true;
        case IDC_DELETE:
            tables_.Delete(CurrentEntry());
            return true;
        case IDC_BROWSE:
            tables_.Browse();
            return true;
        default:
            return false;
    }
}

void HotkeyDialog::OnBlinkTimer() {
    int button = editor_.selected();
    int image = blink_.NextImageBase() + button;
    SetImages(button, {image, image, image, image});
    RedrawPictureButton(button);
}

void HotkeyDialog::OnHotkey(LPARAM lParam) {
    bool captured = FocusIsOnField();
    Trace("capture: hotkey message, key %02X, modifiers 0x%X%s",
          static_cast<unsigned>(HIWORD(lParam) & 0xFF), static_cast<unsigned>(LOWORD(lParam)),
          captured ? "" : ": ignored, the key field has no focus");
    if (!captured) {
        return;  // a reserved key pressed elsewhere does nothing at all
    }
    uint16_t flags = HotkeyFlagsFromSystemModifiers(LOWORD(lParam));
    SetField({static_cast<uint16_t>(HIWORD(lParam) & 0xFF), flags});
    // A hotkey message is posted, and posted messages are taken before keyboard input: the
    // key-downs of its modifiers may still be waiting behind it.
    overtakenModifiers_ = flags & ~ModifiersSeenDown();
}

// The field starts a new combination at every key-down. The key-down of a modifier that
// belongs to the captured combination but comes after its hotkey message must not clear the
// capture; every other key, and every key-up, reaches the field, which then follows exactly
// what is held.
bool HotkeyDialog::SkipsOvertakenModifier(const MSG& keyDown) {
    uint16_t modifier = ModifierFlagOfKey(keyDown.wParam);
    if ((modifier & overtakenModifiers_) != 0) {
        overtakenModifiers_ &= static_cast<uint16_t>(~modifier);
        return true;
    }
    if (modifier == 0) {
        overtakenModifiers_ = 0;  // a new key: whatever was still expected went elsewhere
    }
    return false;
}

void HotkeyDialog::OnDeviceChange(WPARAM event, LPARAM header) {
    if (IsHidInterfaceChange(event, header)) {
        ConnectReceiver();
    }
}

// The tooltip runs on this thread; a notification sent from another thread or program, or
// from any other window, is not its request.
bool HotkeyDialog::IsToolTipTextRequest(LPARAM lParam) const {
    if (lParam == 0 || !toolTip_ || InSendMessage()) {
        return false;
    }
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    return header->hwndFrom == toolTip_.get() && header->code == TTN_GETDISPINFOA;
}

void HotkeyDialog::OnToolTipText(NMTTDISPINFOA* info) {
    // Tools are registered by window, so idFrom is the control's window.
    HWND control = reinterpret_cast<HWND>(info->hdr.idFrom);
    int id = GetDlgCtrlID(control);
    info->lpszText = info->szText;
    info->szText[0] = '\0';
    if (id == IDC_PROGRAM_PATH) {
        char path[kProgramPathTextSize] = {};
        GetWindowTextA(control, path, sizeof path);
        CopyBounded(info->szText, kToolTipSize, path);
    } else if (id > 0) {
        LoadStringA(instance_, static_cast<UINT>(id), info->szText, kToolTipSize);
    }
}

void HotkeyDialog::OnDrawItem(const DRAWITEMSTRUCT* item) {
    int button = static_cast<int>(item->CtlID) - IDC_PICTURE_BUTTON;
    if (button < 0 || button >= kButtonCount) {
        return;
    }
    const PictureImages& images = images_[button];
    int id = images.normal;
    if (item->itemState & ODS_SELECTED) {
        id = images.selected;
    } else if (item->itemState & ODS_FOCUS) {
        id = images.focused;
    } else if (item->itemState & ODS_DISABLED) {
        id = images.disabled;
    }
    // A missing image leaves the button empty.
    DrawBitmap(item->hDC, Bitmap(id), item->rcItem.left, item->rcItem.top);
}

// Every way the dialog ends passes here: the timer, the reader, the device notifications
// and the reserved keys end with the window.
void HotkeyDialog::OnDestroy() {
    KillTimer(window(), kBlinkTimer);
    reader_.Stop();
    reportTarget_.store(nullptr);
    deviceNotification_.Reset();
    captureKeys_.clear();
    notificationFilter_.Reset();
    toolTip_.Reset();
    bitmaps_.clear();
}

void HotkeyDialog::OnOk() {
    tables_.Save();
    closedWithOk_ = true;
    EndModal(CurrentEntry());
}

void HotkeyDialog::OnClear() {
    editor_.Clear();
    SetField({});
    SetDlgItemTextA(window(), IDC_DESCRIPTION, "");
}

void HotkeyDialog::ConnectReceiver() {
    ReceiverHandles found;
    if (!FindReceiver(AcceptedReceivers::Editor, found)) {
        receiverMissing_.store(true);
        return;
    }
    receiverMissing_.store(false);
    reader_.Start(found.ReleaseReadHandle(), found.inputReportLength);
}

// Reader thread: the selection itself runs on the dialog thread, one at a time with clicks
// and the blink.
void HotkeyDialog::OnReport(const uint8_t* report, DWORD length) {
    if (receiverMissing_.load()) {
        return;
    }
    int button = ButtonFromEditorReport(report, length);
    HWND target = reportTarget_.load();
    if (button >= 0 && target != nullptr) {
        PostMessageA(target, kMsgRemoteButton, static_cast<WPARAM>(button), 0);
    }
}

// A registration that fails leaves that combination to its normal handling.
void HotkeyDialog::RegisterCaptureKeys() {
    for (const CaptureKey& key : ReservedCaptureKeys()) {
        captureKeys_.emplace_back(window(), key.id, key.modifiers, key.virtualKey);
        if (!captureKeys_.back().registered()) {
            Trace("capture key %02X with modifiers 0x%X:", static_cast<unsigned>(key.virtualKey),
                  static_cast<unsigned>(key.modifiers));
            TraceLastError("RegisterHotKey");
        }
    }
}

void HotkeyDialog::EnableToolTips() {
    toolTip_.Reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   window(), nullptr, instance_, nullptr));
    if (!toolTip_) {
        return;
    }
    for (HWND control = GetWindow(window(), GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(toolTip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void HotkeyDialog::CreatePictureButtons() {
    for (int n = 0; n < kButtonCount; ++n) {
        ButtonRect rect = ButtonRectangle(n);
        HWND button =
            CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect.left,
                            rect.top, rect.right - rect.left, rect.bottom - rect.top, window(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PICTURE_BUTTON + n)),
                            instance_, nullptr);
        // Above the picture, so that they are drawn and clicked there.
        SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RestoreStandardImages(n);
    }
}

// The buttons lie at fixed pixels; the picture must lie under them whatever the metrics of
// the dialog's font make of its place in dialog units.
void HotkeyDialog::PlacePictureUnderButtons() {
    for (HWND control = GetWindow(window(), GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP &&
            GetDlgCtrlID(control) == -1) {
            SetWindowPos(control, nullptr, kRemotePictureLeft, kRemotePictureTop, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void HotkeyDialog::SelectButton(int button) {
    if (button < 0 || button >= kButtonCount) {
        return;
    }
    SetFocus(Item(IDC_HOTKEY_FIELD));
    int previous = editor_.selected();
    editor_.Select(button, ReadField(), ReadDescription().c_str());
    RestoreStandardImages(previous);
    RedrawPictureButton(previous);
    ShowSelected();
}

int HotkeyDialog::CurrentEntry() const {
    return ComboSelection(Item(IDC_APP_LIST));
}

void HotkeyDialog::ShowSelected() {
    int button = editor_.selected();
    SetField(editor_.hotkey(button));
    SetDlgItemTextA(window(), IDC_DESCRIPTION, editor_.description(button));
}

void HotkeyDialog::SetField(const HotkeyRecord& hotkey) {
    SendMessageA(Item(IDC_HOTKEY_FIELD), HKM_SETHOTKEY, HotkeyFieldValue(hotkey), 0);
}

HotkeyRecord HotkeyDialog::ReadField() const {
    LRESULT value = SendMessageA(Item(IDC_HOTKEY_FIELD), HKM_GETHOTKEY, 0, 0);
    return HotkeyFromFieldValue(static_cast<uint32_t>(value));
}

std::string HotkeyDialog::ReadDescription() const {
    char description[kDescriptionSize] = {};
    GetDlgItemTextA(window(), IDC_DESCRIPTION, description, sizeof description);
    return description;
}

void HotkeyDialog::SetImages(int button, const PictureImages& images) {
    images_[button] = images;
}

void HotkeyDialog::RestoreStandardImages(int button) {
    int lit = IDB_KEY_LIT + button;
    SetImages(button, {IDB_KEY_NORMAL + button, lit, lit, lit});
}

void HotkeyDialog::RedrawPictureButton(int button) {
    RedrawWindow(Item(IDC_PICTURE_BUTTON + button), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBITMAP HotkeyDialog::Bitmap(int id) {
    auto found = bitmaps_.find(id);
    if (found == bitmaps_.end()) {
        found =
            bitmaps_.emplace(id, ScopedBitmap(LoadBitmapA(instance_, MAKEINTRESOURCEA(id)))).first;
    }
    return found->second.get();
}

bool HotkeyDialog::FocusIsOnField() const {
    HWND focus = GetFocus();
    return focus != nullptr && focus == Item(IDC_HOTKEY_FIELD);
}

// The reserved keys are the hotkey field's; while a question is asked, Escape, Enter and Tab
// must reach its window.
template <typename Question>
auto HotkeyDialog::AskWithoutCaptureKeys(Question ask) -> decltype(ask()) {
    captureKeys_.clear();
    auto answer = ask();
    RegisterCaptureKeys();
    return answer;
}

std::optional<std::string> HotkeyDialog::AskApplicationName(
    const std::vector<std::string>& listed) {
    return AskWithoutCaptureKeys(
        [&] { return RunApplicationNameDialog(instance_, window(), listed); });
}

FilePathAnswer HotkeyDialog::AskForFilePath() {
    return AskWithoutCaptureKeys([&] { return RunFilePathErrorDialog(instance_, window()); });
}

bool HotkeyDialog::ConfirmDelete(const std::string& message) {
    return AskWithoutCaptureKeys(
        [&] { return RunDeleteHotkeyDialog(instance_, window(), message); });
}

std::optional<std::string> HotkeyDialog::ChooseProgram() {
    return AskWithoutCaptureKeys([&] { return RunOpenProgramDialog(window()); });
}

// The list keeps file order, so new names come last.
void HotkeyDialog::ShowList(const std::vector<std::string>& entries, int selected) {
    FillComboInOrder(Item(IDC_APP_LIST), entries, selected);
}

void HotkeyDialog::ShowApplication(const std::string& name) {
    SetDlgItemTextA(window(), IDC_APP_NAME, name.c_str());
}

void HotkeyDialog::ShowProgram(const std::string& path) {
    SetDlgItemTextA(window(), IDC_PROGRAM_PATH, path.c_str());
}

void HotkeyDialog::ShowLoadedTable() {
    ShowSelected();
    SelectButton(0);
}

void HotkeyDialog::KeepShownButton() {
    SelectButton(0);
}
