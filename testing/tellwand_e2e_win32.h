#pragma once
// Driving Tellwand from another process as WandEdit, the tray menu and the receiver do: its
// window's messages, the settings in the registry, button reports.

#include <windows.h>
// windows.h first: commctrl.h and dbt.h build on its types.
#include <commctrl.h>
#include <dbt.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/registry_win32.h"
#include "config/settings.h"
#include "protocol/protocol.h"
#include "receiver/receiver_win32.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "tellwand/menu_texts.h"
#include "tellwand/tray_icon_win32.h"
#include "testing/e2e_win32.h"

// Sent, not posted: the message has been handled when this returns (or the time is up).
inline void SendToTellwand(UINT message, WPARAM wParam, DWORD timeoutMs = 10000) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(FindWindowA(kTellwandWindowClass, nullptr), message, wParam, 0, SMTO_NORMAL,
                        timeoutMs, &result);
}

// What WandEdit's OK does: the mode (kBuiltInMode or kUserMode), then Enable.
inline void SelectModeAndEnable(int mode, DWORD timeoutMs = 10000) {
    SendToTellwand(kMsgTableSelector, mode, timeoutMs);
    SendToTellwand(WM_COMMAND, kCommandEnable, timeoutMs);
}

// Exit as the tray menu gives it; true when Tellwand had its window and ended within the time.
inline bool ExitTellwand(ChildProcess& tellwand, DWORD timeoutMs = 5000) {
    HWND window = FindWindowA(kTellwandWindowClass, nullptr);
    if (window == nullptr) {
        return false;
    }
    PostMessageA(window, WM_COMMAND, kCommandExit, 0);
    return tellwand.WaitForExit(timeoutMs);
}

// The settings as WandEdit's OK stores them; true when both values read back as stored.
inline bool StoreSettings(uint32_t enableOsd, const char* userTable) {
    Win32Registry registry;
    Settings settings;
    settings.enableOsd = enableOsd;
    lstrcpynA(settings.userDefineTable, userTable, sizeof settings.userDefineTable);
    WriteSettings(registry, settings);
    Settings stored;
    stored.enableOsd = ~enableOsd;  // ReadSettings keeps what it cannot read
    ReadSettings(registry, stored);
    return stored.enableOsd == enableOsd &&
           std::strcmp(stored.userDefineTable, settings.userDefineTable) == 0;
}

// One button report through the virtual receiver; true when a reader took it.
inline bool SendButton(VirtualReceiverServer& receiver, uint8_t code, bool down) {
    // A button report (0x40): byte 2 is 0 for down and 1 for up, byte 3 the button's code.
    const uint8_t report[5] = {0, 0x40, static_cast<uint8_t>(down ? 0 : 1), code, 0x0F};
    return receiver.SendReport(report) >= 1;
}

// Opens the tray menu as a right click on the icon does and picks its item at `position`
// with the keyboard, as a user would.
inline bool PickTrayMenuItem(HWND tellwand, int position) {
    PostMessageA(tellwand, kMsgTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    if (WaitForWindow("#32768", nullptr) == nullptr) {
        return false;
    }
    for (int i = 0; i <= position; ++i) {
        keybd_event(VK_DOWN, 0, KEYEVENTF_EXTENDEDKEY, 0);
        keybd_event(VK_DOWN, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    }
    keybd_event(VK_RETURN, 0, 0, 0);
    keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    return WaitForNoWindow("#32768", nullptr);
}

// A HID interface arriving, as Windows tells the windows registered for it. Sent: the window
// has handled it when this returns.
inline void SendHidArrival(HWND window, DWORD timeoutMs = 10000) {
    DEV_BROADCAST_DEVICEINTERFACE_A arrival = {};
    arrival.dbcc_size = sizeof arrival;
    arrival.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    arrival.dbcc_classguid = HidClassGuid();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                        reinterpret_cast<LPARAM>(&arrival), SMTO_NORMAL, timeoutMs, &result);
}

// The tips of the shell's tray icons are the tools of its tooltip window; the shell is another
// process, so each tool is read through the shell's own memory.
struct TrayTipRead {
    DWORD shell = 0;
    HANDLE process = nullptr;
    bool shellIs64Bit = false;
    char* remote = nullptr;  // a TTTOOLINFOA and its text, in the shell
    std::string tip;
};
constexpr std::size_t kTooltipTextSize = 80;  // what a tooltip gives a tool's text

// TTTOOLINFOA as a 64-bit shell reads it. On 64-bit Windows the shell is a 64-bit process, and
// a 32-bit program's TTTOOLINFOA is no tool info to it.
struct ToolInfo64 {
    UINT cbSize;
    UINT uFlags;
    uint64_t hwnd;
    uint64_t uId;
    RECT rect;
    uint64_t hinst;
    uint64_t lpszText;
    uint64_t lParam;
    uint64_t lpReserved;
};
constexpr std::size_t kToolInfoRoom = sizeof(ToolInfo64) > sizeof(TTTOOLINFOA)
                                          ? sizeof(ToolInfo64)
                                          : sizeof(TTTOOLINFOA);

// Whether the shell is a 64-bit process: always so for a 64-bit test, and for a 32-bit test
// when the shell runs outside WoW64 while the test runs inside.
inline bool Is64BitProcess(HANDLE process) {
    BOOL underWow64 = FALSE;
    if (sizeof(void*) == 8) {
        return true;
    }
    BOOL selfUnderWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &selfUnderWow64) && selfUnderWow64 &&
           IsWow64Process(process, &underWow64) && !underWow64;
}

// Writes a tool info asking for the text into the room beside it; false when that fails.
inline bool WriteToolInfoRequest(const TrayTipRead& tray) {
    char* text = tray.remote + kToolInfoRoom;
    if (tray.shellIs64Bit) {
        ToolInfo64 info = {};
        info.cbSize = sizeof info;
        info.lpszText = reinterpret_cast<uintptr_t>(text);
        return WriteProcessMemory(tray.process, tray.remote, &info, sizeof info, nullptr);
    }
    TTTOOLINFOA info = {};
    info.cbSize = sizeof info;
    info.lpszText = text;
    return WriteProcessMemory(tray.process, tray.remote, &info, sizeof info, nullptr);
}

inline BOOL CALLBACK ReadTrayTip(HWND window, LPARAM read) {
    auto* tray = reinterpret_cast<TrayTipRead*>(read);
    char className[32] = {};
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, className, sizeof className);
    if (owner != tray->shell || lstrcmpA(className, TOOLTIPS_CLASSA) != 0) {
        return TRUE;
    }
    DWORD_PTR found = 0;
    char text[kTooltipTextSize] = {};
    if (WriteToolInfoRequest(*tray) &&
        SendMessageTimeoutA(window, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(tray->remote),
                            SMTO_NORMAL, 5000, &found) &&
        found &&
        ReadProcessMemory(tray->process, tray->remote + kToolInfoRoom, text, sizeof text - 1,
                          nullptr)) {
        tray->tip = text;
        return FALSE;
    }
    return TRUE;
}

// The tip of the one icon in the tray, as the shell shows it; empty when there is none.
inline std::string TrayIconTip() {
    TrayTipRead tray;
    GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &tray.shell);
    tray.process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                   PROCESS_QUERY_LIMITED_INFORMATION,
                               FALSE, tray.shell);
    if (tray.process == nullptr) {
        return "";
    }
    tray.shellIs64Bit = Is64BitProcess(tray.process);
    tray.remote = static_cast<char*>(VirtualAllocEx(
        tray.process, nullptr, kToolInfoRoom + kTooltipTextSize, MEM_COMMIT, PAGE_READWRITE));
    if (tray.remote != nullptr) {
        EnumWindows(ReadTrayTip, reinterpret_cast<LPARAM>(&tray));
        VirtualFreeEx(tray.process, tray.remote, 0, MEM_RELEASE);
    }
    CloseHandle(tray.process);
    return tray.tip;
}
