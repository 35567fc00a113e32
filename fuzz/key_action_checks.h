#pragma once
// The properties every parsed or loaded KeyAction must have, whatever text it came from.

#include <cstring>
#include <set>

#include "fuzz/fuzz_check.h"
#include "keyseq/key_action.h"
#include "keyseq/key_names.h"

// The codes a text can name: the reader's names, and ";" and "-", which are recognised by
// their own rule.
inline const std::set<uint8_t>& NamedKeyCodes() {
    static const std::set<uint8_t> codes = [] {
        std::set<uint8_t> all = {0xBA, 0xBD};
        int count = 0;
        const ReaderName* names = ReaderNames(&count);
        for (int i = 0; i < count; ++i) {
            all.insert(names[i].code);
        }
        return all;
    }();
    return codes;
}

// Filled slots are a subsequence of Control, Alt, Shift; empty slots only after them.
inline bool ModifierSlotsInOrder(const KeyAction& record) {
    const uint8_t order[] = {kVkControl, kVkAlt, kVkShift};
    const uint8_t slots[] = {record.modifier1, record.modifier2, record.modifier3};
    std::size_t next = 0;
    bool emptySeen = false;
    for (uint8_t slot : slots) {
        if (slot == 0) {
            emptySeen = true;
            continue;
        }
        if (emptySeen) {
            return false;
        }
        while (next < 3 && order[next] != slot) {
            ++next;
        }
        if (next == 3) {
            return false;
        }
        ++next;
    }
    return true;
}

inline void CheckParsedFields(const KeyAction& record) {
    FUZZ_CHECK(record.key == 0 || NamedKeyCodes().count(record.key) == 1);
    FUZZ_CHECK(ModifierSlotsInOrder(record));
    FUZZ_CHECK(record.extendedMark <= 1);
}

// A record loaded from a file: parsed fields as above, texts terminated within their limits.
inline void CheckLoadedRecord(const KeyAction& record) {
    CheckParsedFields(record);
    FUZZ_CHECK(strnlen(record.text, kKeyTextSize) <= kKeyTextSize - 1);
    FUZZ_CHECK(strnlen(record.description, kDescriptionSize) <= kDescriptionSize - 1);
}
