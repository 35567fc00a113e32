#include "tellwand/menu_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The Chinese words themselves are checked where code page 950 can be decoded
// (menu_texts_test_win32.cpp).
TEST(MenuTexts, ChineseOnlyForChineseTaiwan) {
    EXPECT_STREQ(MenuTextsForLanguage(0x0409).disable, "Disable");
    EXPECT_STREQ(MenuTextsForLanguage(0x0804).enable, "Enable");  // Chinese (PRC) is not 0x0404
    EXPECT_STREQ(MenuTextsForLanguage(0x0000).exit, "Exit");
    EXPECT_STRNE(MenuTextsForLanguage(0x0404).exit, "Exit");
}

}  // namespace
