#include "wandedit/osd_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Accepted(const void* data, std::size_t size) {
    char text[kOsdShownSize];
    std::memset(text, 'x', sizeof text);
    AcceptOsdText(data, size, text);
    EXPECT_NE(std::memchr(text, '\0', sizeof text), nullptr);
    return text;
}

TEST(OsdText, TakesTheTextUpToItsFirstZero) {
    char message[260] = "Play";
    EXPECT_EQ(Accepted(message, sizeof message), "Play");
}

TEST(OsdText, NoDataOrNoBytesGiveTheEmptyText) {
    char message[] = "Play";
    EXPECT_EQ(Accepted(nullptr, 260), "");
    EXPECT_EQ(Accepted(message, 0), "");
}

TEST(OsdText, NeverReadsPastTheBytesGiven) {
    // Exactly the given bytes, with no terminator: anything read beyond shows up under ASan,
    // and the text must stop at the boundary.
    char* bytes = new char[3]{'a', 'a', 'a'};
    EXPECT_EQ(Accepted(bytes, 3), "aaa");
    delete[] bytes;
}

TEST(OsdText, KeepsAtMost255Characters) {
    std::string longText(300, 'w');
    longText.push_back('\0');
    EXPECT_EQ(Accepted(longText.data(), longText.size()), std::string(255, 'w'));
    EXPECT_EQ(Accepted(longText.data(), 255), std::string(255, 'w'));
}

TEST(OsdPlacement, TopRightFifthOfTheWidthTenthOfTheHeight) {
    struct Case {
        int screenWidth, screenHeight, x, width, height;
    };
    const Case cases[] = {
        {1024, 768, 819, 204, 76},
        {800, 600, 640, 160, 60},
        {1280, 1024, 1024, 256, 102},
        {1366, 768, 1092, 273, 76},
    };
    for (const Case& c : cases) {
        OsdPlacement placed = PlaceOsd(c.screenWidth, c.screenHeight);
        EXPECT_EQ(placed.x, c.x) << c.screenWidth;
        EXPECT_EQ(placed.y, 0) << c.screenWidth;
        EXPECT_EQ(placed.width, c.width) << c.screenWidth;
        EXPECT_EQ(placed.height, c.height) << c.screenHeight;
    }
}

TEST(OsdFont, HeightShrinksWithTheTextDownToAFloor) {
    struct Case {
        std::size_t length;
        int height;
    };
    const Case cases[] = {
        {0, 45}, {4, 41}, {9, 35}, {20, 22}, {29, 12}, {30, 11}, {39, 11}, {40, 11}, {255, 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OsdFontHeight(76, c.length), c.height) << c.length;
    }
}

}  // namespace
