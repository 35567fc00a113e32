// ParseKeySequence on any 30 bytes of text, terminated or not.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/key_action_checks.h"
#include "keyseq/key_sequence.h"

namespace {

bool SameParse(const KeyAction& a, const KeyAction& b) {
    return a.modifier1 == b.modifier1 && a.modifier2 == b.modifier2 && a.modifier3 == b.modifier3 &&
           a.key == b.key && a.extendedMark == b.extendedMark;
}

void FlipAsciiLetterCase(char (&text)[kKeyTextSize]) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    KeyAction record;
    std::memcpy(record.text, data, std::min(size, sizeof record.text));
    char original[kKeyTextSize];
    std::memcpy(original, record.text, sizeof original);

    ParseKeySequence(record);
    CheckParsedFields(record);
    FUZZ_CHECK(std::memcmp(original, record.text, sizeof original) == 0);

    // Only the first 29 characters count.
    KeyAction cut = record;
    cut.text[kKeyTextSize - 1] = '\0';
    ParseKeySequence(cut);
    FUZZ_CHECK(SameParse(record, cut));

    // Letter case never matters.
    KeyAction flipped = record;
    FlipAsciiLetterCase(flipped.text);
    ParseKeySequence(flipped);
    FUZZ_CHECK(SameParse(record, flipped));
    return 0;
}
