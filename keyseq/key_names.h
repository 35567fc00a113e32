#pragma once
// The key-name vocabulary of key-sequence texts and the written modifier prefixes.

#include <cstdint>
#include <string_view>

// Code of a reader name, compared as a whole word without regard to ASCII letter case;
// 0 when the name is empty or unknown.
uint8_t KeyCodeFromName(std::string_view name);

// The name the editor writes for a key, or nullptr for a key without a written name.
const char* WrittenKeyName(uint8_t code);

// The written prefix of a modifier value (Shift 1, Control 2, Alt 4, extended 8);
// only the low four bits count.
const char* ModifierPrefix(unsigned modifierValue);

// Every reader name, for tests and benchmarks that walk the whole vocabulary.
struct ReaderName {
    const char* name;
    uint8_t code;
};
const ReaderName* ReaderNames(int* count);
