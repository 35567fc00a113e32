#pragma once
// Turns the text of an INI file, whatever its bytes, into a FakeProfileStore's content the way
// the platform reads a file: "[section]" lines, "key=value" lines, blanks around names and
// values dropped, other lines ignored. A zero byte ends a value, as it ends a C string.

#include <string>
#include <string_view>

#include "testing/fake_profile_store.h"

inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

inline std::string CString(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

// Calls onValue(section, key, value) for each value line, in file order.
template <typename OnValue>
void ForEachIniValue(std::string_view text, OnValue onValue) {
    std::string section;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        std::string_view line = TrimBlanks(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.front() == '[') {
            section = CString(line.substr(1, line.find(']') - 1));
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || line.front() == ';') {
            continue;
        }
        onValue(section, CString(TrimBlanks(line.substr(0, equals))),
                CString(TrimBlanks(line.substr(equals + 1))));
    }
}

inline void ReadIniText(std::string_view text, const std::string& file,
                        FakeProfileStore& profiles) {
    ForEachIniValue(
        text, [&](const std::string& section, const std::string& key, const std::string& value) {
            profiles.WriteString(file, section.c_str(), key.c_str(), value.c_str());
        });
}
