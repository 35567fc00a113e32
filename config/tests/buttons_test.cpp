#include "config/buttons.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "keyseq/key_action.h"

namespace {

TEST(Buttons, ReportCodesMapToButtonsAndBack) {
    struct Case {
        int code;
        int button;
    } cases[] = {{1, 0}, {2, 1}, {35, 2}, {4, 3}, {5, 4}, {33, 32}, {36, 33}, {46, 34}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ButtonFromReportCode(c.code), c.button);
        EXPECT_EQ(ReportCodeFromButton(c.button), c.code);
    }
    for (int code : {-1, 0, 3, 34, 37, 45, 47, 255}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(ButtonFromReportCode(code), -1);
    }
    for (int button : {-1, 35, 100}) {
        EXPECT_EQ(ReportCodeFromButton(button), -1);
    }
}

TEST(Buttons, EveryButtonRoundTripsThroughItsCode) {
    for (int button = 0; button < kButtonCount; ++button) {
        EXPECT_EQ(ButtonFromReportCode(ReportCodeFromButton(button)), button);
    }
}

TEST(Buttons, NamesByNumber) {
    EXPECT_STREQ(ButtonName(static_cast<int>(Button::kPower)), "Power");
    EXPECT_STREQ(ButtonName(static_cast<int>(Button::kPlayPause)), "PlayPause");
    EXPECT_STREQ(ButtonName(static_cast<int>(Button::kDigit0)), "Digit0");
    EXPECT_STREQ(ButtonName(static_cast<int>(Button::kSetup)), "Setup");
    EXPECT_STREQ(ButtonName(35), "");

    std::set<std::string> names;
    for (int button = 0; button < kButtonCount; ++button) {
        names.insert(ButtonName(button));
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kButtonCount));
}

TEST(Buttons, RectanglesLieInsideThePictureAndDoNotOverlap) {
    // The picture: 121 by 352 pixels with its top left corner at (12, 13).
    for (int a = 0; a < kButtonCount; ++a) {
        SCOPED_TRACE(ButtonName(a));
        ButtonRect r = ButtonRectangle(a);
        EXPECT_LT(r.left, r.right);
        EXPECT_LT(r.top, r.bottom);
        EXPECT_GE(r.left, 12);
        EXPECT_GE(r.top, 13);
        EXPECT_LE(r.right, 12 + 121);
        EXPECT_LE(r.bottom, 13 + 352);
        for (int b = a + 1; b < kButtonCount; ++b) {
            ButtonRect o = ButtonRectangle(b);
            bool apart =
                r.right <= o.left || o.right <= r.left || r.bottom <= o.top || o.bottom <= r.top;
            EXPECT_TRUE(apart) << ButtonName(b);
        }
    }
    ButtonRect power = ButtonRectangle(0);
    EXPECT_EQ(power.left, 34);
    EXPECT_EQ(power.bottom, 50);
    ButtonRect outside = ButtonRectangle(kButtonCount);
    EXPECT_EQ(outside.right - outside.left, 0);
}

}  // namespace
