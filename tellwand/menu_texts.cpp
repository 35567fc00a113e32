#include "tellwand/menu_texts.h"

namespace {

constexpr uint16_t kChineseTaiwan = 0x0404;

const MenuTexts kEnglish = {"Open Editor", "Reload", "Disable", "Enable", "Exit"};

// Big5 bytes, shown by the ANSI menu functions on a system whose code page is 950.
const MenuTexts kChinese = {
    "\xB6\x7D\xB1\xD2\xBD\x73\xBF\xE8\xBE\xB9",  // open editor
    "\xAD\xAB\xB7\x73\xB8\xFC\xA4\x4A",          // reload
    "\xB0\xB1\xA6\xAC\xB0\x54\xB8\xB9",          // stop receiving
    "\xB6\x7D\xA9\x6C\xA6\xAC\xB0\x54\xB8\xB9",  // start receiving
    "\xC2\xF7\xB6\x7D",                          // leave
};

}  // namespace

const MenuTexts& MenuTextsForLanguage(uint16_t systemDefaultLanguageId) {
    return systemDefaultLanguageId == kChineseTaiwan ? kChinese : kEnglish;
}
