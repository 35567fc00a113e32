// AcceptOsdText on any WM_COPYDATA: the first two bytes choose cbData (never past the data),
// the rest is lpData.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "wandedit/osd_text.h"

namespace {

void CheckAccepted(const char* data, std::size_t size) {
    char text[kOsdShownSize];
    std::memset(text, 'x', sizeof text);
    AcceptOsdText(data, size, text);
    std::size_t length = strnlen(text, sizeof text);
    FUZZ_CHECK(length <= kOsdShownSize - 1);
    std::size_t expected = data == nullptr ? 0 : std::min(strnlen(data, size), kOsdShownSize - 1);
    FUZZ_CHECK(length == expected);
    FUZZ_CHECK(length == 0 || std::memcmp(text, data, length) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    std::size_t claimed = data[0] | (data[1] << 8);
    // An exact copy, so reading one byte past cbData is caught.
    std::vector<char> payload(data + 2, data + size);
    std::size_t cbData = std::min(claimed, payload.size());
    CheckAccepted(payload.empty() ? nullptr : payload.data(), cbData);
    CheckAccepted(nullptr, claimed);
    return 0;
}
