#pragma once
// What the hot-plug tests on the virtual receiver and the stand-ins and those on Wine's own HID
// stack share: the buttons they press and the tables those buttons play.

#include <windows.h>

#include <cstdint>

#include "config/buttons.h"

constexpr char kWarning[] = "Warning";
const uint8_t kMenuCode = static_cast<uint8_t>(ReportCodeFromButton(Button::kMenu));
const uint8_t kDvdCode = static_cast<uint8_t>(ReportCodeFromButton(Button::kDVD));
const uint8_t kPowerCode = static_cast<uint8_t>(ReportCodeFromButton(Button::kPower));
constexpr DWORD kNothingMoreMs = 300;

// "Music" for Tellwand (Menu plays Control+X); "Player" for WandEdit's HotKey Configuration,
// with its descriptions.
const char kUserDef[] =
    "[Music]\r\nFilePath=C:\\windows\\notepad.exe\r\n4=0-C-X\r\n"
    "[Player]\r\nFilePath=C:\\windows\\notepad.exe\r\n0=0-A-C-F5\r\n2=0-Q\r\n";
const char kUserDefInf[] = "[Player]\r\n0=Refresh\r\n2=Quit\r\n";
