#pragma once
// Driving Tellwand from another process as WandEdit, the tray menu and the receiver do: its
// window's messages, the settings in the registry, button reports.

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "config/protocol.h"
#include "config/registry_win32.h"
#include "config/settings.h"
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
