#include "tellwand/menu_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MenuTexts, ChineseOnlyForChineseTaiwan) {
    EXPECT_STREQ(MenuTextsForLanguage(0x0409).disable, "Disable");
    EXPECT_STREQ(MenuTextsForLanguage(0x0804).enable, "Enable");  // Chinese (PRC) is not 0x0404
    EXPECT_STREQ(MenuTextsForLanguage(0x0000).exit, "Exit");
    const MenuTexts& chinese = MenuTextsForLanguage(0x0404);
    // The same words a Big5 system shows; compared as bytes.
    EXPECT_EQ(std::string(chinese.exit), std::string("\xC2\xF7\xB6\x7D"));
    EXPECT_EQ(std::string(chinese.openEditor).size(), 10u);
    EXPECT_EQ(std::string(chinese.enable).size(), 10u);
    EXPECT_EQ(std::string(chinese.disable).size(), 8u);
    EXPECT_EQ(std::string(chinese.reload).size(), 8u);
}

}  // namespace
