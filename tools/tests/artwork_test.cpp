// The generated artwork against the button rectangles the editor lays its picture buttons on:
// every key image has its rectangle's size, shows what the picture shows there, and its lit
// image clearly differs from it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/buttons.h"
#include "keyseq/key_action.h"
#include "remote_layout.h"
#include "wandedit/resource_ids.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    int DistanceTo(const Rgb& o) const {
        return std::abs(r - o.r) + std::abs(g - o.g) + std::abs(b - o.b);
    }
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

uint32_t Read32(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint16_t Read16(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// Reads an uncompressed 24- or 32-bit .bmp; false (with a failure) for anything else.
bool LoadBitmap(int id, Image* image) {
    std::string path = std::string(TW_ARTWORK_DIR) + "/bitmap" + std::to_string(id) + ".bmp";
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        ADD_FAILURE() << path << " is not a bitmap";
        return false;
    }
    uint32_t dataOffset = Read32(bytes, 10);
    int32_t width = static_cast<int32_t>(Read32(bytes, 18));
    int32_t height = static_cast<int32_t>(Read32(bytes, 22));
    uint16_t bits = Read16(bytes, 28);
    uint32_t compression = Read32(bytes, 30);
    bool topDown = height < 0;
    height = std::abs(height);
    size_t bytesPerPixel = bits / 8;
    size_t stride = (width * bytesPerPixel + 3) / 4 * 4;
    if ((bits != 24 && bits != 32) || compression != 0 || width <= 0 ||
        dataOffset + stride * height > bytes.size()) {
        ADD_FAILURE() << path << ": unexpected format";
        return false;
    }
    image->width = width;
    image->height = height;
    image->pixels.clear();
    for (int y = 0; y < height; ++y) {
        size_t row = dataOffset + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &bytes[row + x * bytesPerPixel];
            image->pixels.push_back({p[2], p[1], p[0]});
        }
    }
    return true;
}

TEST(Artwork, PictureHasItsSizeAndOrigin) {
    Image picture;
    ASSERT_TRUE(LoadBitmap(IDB_REMOTE, &picture));
    EXPECT_EQ(picture.width, 121);
    EXPECT_EQ(picture.height, 352);
    EXPECT_EQ(kRemotePictureWidth, 121);
    EXPECT_EQ(kRemotePictureHeight, 352);
    EXPECT_EQ(kRemotePictureLeft, 12);
    EXPECT_EQ(kRemotePictureTop, 13);
}

TEST(Artwork, KeyImagesHaveTheRectangleSizeAndMatchThePicture) {
    Image picture;
    ASSERT_TRUE(LoadBitmap(IDB_REMOTE, &picture));
    for (int button = 0; button < kButtonCount; ++button) {
        SCOPED_TRACE(ButtonName(button));
        ButtonRect rect = ButtonRectangle(button);
        Image normal, lit;
        ASSERT_TRUE(LoadBitmap(IDB_KEY_NORMAL + button, &normal));
        ASSERT_TRUE(LoadBitmap(IDB_KEY_LIT + button, &lit));
        for (const Image* image : {&normal, &lit}) {
            ASSERT_EQ(image->width, rect.right - rect.left);
            ASSERT_EQ(image->height, rect.bottom - rect.top);
        }
        int left = rect.left - kRemotePictureLeft;
        int top = rect.top - kRemotePictureTop;
        ASSERT_LE(left + normal.width, picture.width);
        ASSERT_LE(top + normal.height, picture.height);
        int mismatches = 0;
        long difference = 0;
        for (int y = 0; y < normal.height; ++y) {
            for (int x = 0; x < normal.width; ++x) {
                mismatches += !(normal.At(x, y) == picture.At(left + x, top + y));
                difference += lit.At(x, y).DistanceTo(normal.At(x, y));
            }
        }
        EXPECT_EQ(mismatches, 0) << "the normal image is not the picture at the rectangle";
        // On average over a quarter of full scale in every channel: a blink no one misses.
        long pixels = static_cast<long>(normal.width) * normal.height;
        EXPECT_GT(difference / pixels, 200);
    }
}

}  // namespace
