#include "wandedit/osd_text.h"

#include <cstring>

#include "base/bounded_text.h"

void AcceptOsdText(const void* data, std::size_t size, char (&text)[kOsdShownSize]) {
    text[0] = '\0';
    if (data == nullptr || size == 0) {
        return;
    }
    const char* bytes = static_cast<const char*>(data);
    CopyBounded(text, std::string_view(bytes, strnlen(bytes, size)));
}

OsdPlacement PlaceOsd(int screenWidth, int screenHeight) {
    OsdPlacement placement;
    placement.x = static_cast<int>(screenWidth * 0.8);
    placement.y = 0;
    placement.width = static_cast<int>(screenWidth * 0.2);
    placement.height = static_cast<int>(screenHeight * 0.1);
    return placement;
}

double OsdSizeFactor(std::size_t textLength) {
    constexpr double kSmallestFactor = 0.15;
    double factor = 0.6 - 0.015 * static_cast<double>(textLength);
    return factor < kSmallestFactor ? kSmallestFactor : factor;
}

int OsdFontHeight(int windowHeight, std::size_t textLength) {
    return static_cast<int>(windowHeight * OsdSizeFactor(textLength));
}
