#pragma once
// The tray menu's texts: Traditional Chinese (code page 950 bytes) on systems whose default
// language is Chinese (Taiwan), English everywhere else.

#include <cstdint>

constexpr int kCommandOpenEditor = 201;
constexpr int kCommandReload = 202;
constexpr int kCommandDisable = 203;
constexpr int kCommandEnable = 204;
constexpr int kCommandExit = 205;

struct MenuTexts {
    const char* openEditor;
    const char* reload;
    const char* disable;
    const char* enable;
    const char* exit;
};

const MenuTexts& MenuTextsForLanguage(uint16_t systemDefaultLanguageId);
