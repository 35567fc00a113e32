#include "tellwand/menu_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MenuTexts, ChineseOnlyForChineseTaiwan) {
    EXPECT_STREQ(MenuTextsForLanguage(0x0409).disable, "Disable");
    EXPECT_STREQ(MenuTextsForLanguage(0x0804).enable, "Enable");  // Chinese (PRC) is not 0x0404
    EXPECT_STREQ(MenuTextsForLanguage(0x0000).exit, "Exit");
    const MenuTexts& chinese = MenuTextsForLanguage(0x0404);
    // The words a Big5 system (code page 950) shows, as its bytes.
    EXPECT_EQ(std::string(chinese.openEditor),
              "\xB6\x7D\xB1\xD2\xBD\x73\xBF\xE8\xBE\xB9");                        // 開啟編輯器
    EXPECT_EQ(std::string(chinese.reload), "\xAD\xAB\xB7\x73\xB8\xFC\xA4\x4A");   // 重新載入
    EXPECT_EQ(std::string(chinese.disable), "\xB0\xB1\xA6\xAC\xB0\x54\xB8\xB9");  // 停收訊號
    EXPECT_EQ(std::string(chinese.enable),
              "\xB6\x7D\xA9\x6C\xA6\xAC\xB0\x54\xB8\xB9");     // 開始收訊號
    EXPECT_EQ(std::string(chinese.exit), "\xC2\xF7\xB6\x7D");  // 離開
}

}  // namespace
