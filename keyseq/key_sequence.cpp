#include "keyseq/key_sequence.h"

#include <string_view>

#include "base/ascii_case.h"
#include "base/bounded_text.h"
#include "keyseq/key_names.h"

namespace {

constexpr uint8_t kVkSemicolon = 0xBA;
constexpr uint8_t kVkMinus = 0xBD;

bool StartsWithIgnoringCase(std::string_view text, std::string_view pattern) {
    if (text.size() < pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (LowerAscii(text[i]) != pattern[i]) {
            return false;
        }
    }
    return true;
}

bool StartsWithAny(std::string_view text, std::initializer_list<std::string_view> patterns) {
    for (std::string_view pattern : patterns) {
        if (StartsWithIgnoringCase(text, pattern)) {
            return true;
        }
    }
    return false;
}

void SetModifiers(KeyAction& record, uint8_t first, uint8_t second, uint8_t third) {
    record.modifier1 = first;
    record.modifier2 = second;
    record.modifier3 = third;
}

// Modifiers are read from the third character on, the longest pattern first; the slots are
// always filled in the order Control, Alt, Shift.
void ParseModifiers(std::string_view text, KeyAction& record) {
    std::string_view rest = text.size() > 2 ? text.substr(2) : std::string_view();
    if (StartsWithAny(rest, {"c-a-s-", "c-s-a-", "a-c-s-", "a-s-c-", "s-c-a-", "s-a-c-"})) {
        SetModifiers(record, kVkControl, kVkAlt, kVkShift);
    } else if (StartsWithAny(rest, {"c-a-", "a-c-"})) {
        SetModifiers(record, kVkControl, kVkAlt, 0);
    } else if (StartsWithAny(rest, {"c-s-", "s-c-"})) {
        SetModifiers(record, kVkControl, kVkShift, 0);
    } else if (StartsWithAny(rest, {"a-s-", "s-a-"})) {
        SetModifiers(record, kVkAlt, kVkShift, 0);
    } else if (StartsWithIgnoringCase(rest, "c-")) {
        SetModifiers(record, kVkControl, 0, 0);
    } else if (StartsWithIgnoringCase(rest, "a-")) {
        SetModifiers(record, kVkAlt, 0, 0);
    } else if (StartsWithIgnoringCase(rest, "s-")) {
        SetModifiers(record, kVkShift, 0, 0);
    }
}

std::string_view CutAtFirstOf(std::string_view text, const char* stops) {
    std::size_t end = text.find_first_of(stops);
    return end == std::string_view::npos ? text : text.substr(0, end);
}

std::string_view AfterLastDash(std::string_view text) {
    std::size_t dash = text.rfind('-');
    return dash == std::string_view::npos ? text : text.substr(dash + 1);
}

// The minus and semicolon keys are written as "-" and ";", which the cut and the last-'-'
// rule would lose; they are recognised on the text cut at its first blank only.
uint8_t ParseKeyName(std::string_view text) {
    std::string_view toBlank = CutAtFirstOf(text, " ");
    if (toBlank.size() >= 2 && toBlank.substr(toBlank.size() - 2) == "--") {
        return kVkMinus;
    }
    if (toBlank.find('-') != std::string_view::npos && AfterLastDash(toBlank) == ";") {
        return kVkSemicolon;
    }
    return KeyCodeFromName(AfterLastDash(CutAtFirstOf(text, " ;")));
}

}  // namespace

void ParseKeySequence(KeyAction& record) {
    // Work on a private copy: the record may be rewritten while we look at it.
    char copy[kKeyTextSize];
    CopyBounded(copy, BufferText(record.text));
    std::string_view text = BufferText(copy);

    record.extendedMark = StartsWithIgnoringCase(text, "1-") ? 1 : 0;
    SetModifiers(record, 0, 0, 0);
    ParseModifiers(text, record);
    record.key = ParseKeyName(text);
}
