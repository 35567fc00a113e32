// The tray menu's Chinese texts, read as a Traditional Chinese system reads them.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tellwand/menu_texts.h"

namespace {

constexpr UINT kTraditionalChinese = 950;

std::wstring AsTraditionalChinese(const char* text) {
    wchar_t decoded[64] = {};
    int length = MultiByteToWideChar(kTraditionalChinese, MB_ERR_INVALID_CHARS, text, -1, decoded,
                                     static_cast<int>(sizeof decoded / sizeof decoded[0]));
    return length > 0 ? std::wstring(decoded) : L"(not code page 950)";
}

TEST(MenuTexts, ChineseTaiwanReadsTheIntendedWords) {
    const MenuTexts& chinese = MenuTextsForLanguage(0x0404);
    const struct {
        const char* text;
        const wchar_t* words;
    } items[] = {
        {chinese.openEditor, L"開啟編輯器"},
        {chinese.reload, L"重新載入"},
        {chinese.disable, L"停收訊號"},
        {chinese.enable, L"開始收訊號"},
        {chinese.exit, L"離開"},
    };
    for (const auto& item : items) {
        EXPECT_EQ(AsTraditionalChinese(item.text), item.words);
    }
}

}  // namespace
