#include "config/user_tables.h"

#include <algorithm>
#include <cstring>

#include "base/bounded_text.h"
#include "config/key_table.h"
#include "keyseq/key_player.h"

namespace {

constexpr std::size_t kSavedTableNameSize = 30;    // the name as Save reads it
constexpr std::size_t kProgramTableNameSize = 50;  // the name as Browse reads it
constexpr std::size_t kSectionProbeSize = 5;       // enough to tell an empty section

bool IsUsableTableName(const char* table) {
    return table != nullptr && table[0] != '\0';
}

bool SectionHasContent(ProfileStore& profiles, const std::string& file, const char* section) {
    char probe[kSectionProbeSize] = {};
    profiles.ReadSection(file, section, probe, sizeof probe);
    return probe[0] != '\0';
}

// Splits a zero-separated name list into slots, stopping at the empty name that ends it.
std::vector<std::string> SplitNameList(const char* list, std::size_t size) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < size && list[at] != '\0' && names.size() < kMaxListedTables) {
        std::size_t length = strnlen(list + at, size - at);
        names.emplace_back(list + at, std::min(length, kListedTableNameSize - 1));
        at += length + 1;
    }
    return names;
}

}  // namespace

std::size_t ReadTableFilePath(ProfileStore& profiles, const IniPaths& paths, const char* table,
                              char* buffer, std::size_t capacity) {
    return profiles.ReadString(paths.userDef, table, "FilePath", buffer, capacity);
}

std::vector<std::string> ListUserTables(ProfileStore& profiles, const IniPaths& paths) {
    char list[kTableNameListSize] = {};
    profiles.ReadSectionNames(paths.userDef, list, sizeof list);
    // A list cut by the platform may lack its final double zero.
    list[kTableNameListSize - 2] = '\0';
    list[kTableNameListSize - 1] = '\0';
    std::vector<std::string> tables;
    for (const std::string& name : SplitNameList(list, sizeof list)) {
        if (SectionHasContent(profiles, paths.userDef, name.c_str())) {
            tables.push_back(name);
        }
    }
    return tables;
}

void LoadUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table, KeyTable& keys,
                   char (&filePath)[kFilePathSize]) {
    LoadKeyTable(profiles, paths, table, true, keys);
    ReadTableFilePath(profiles, paths, table, filePath, sizeof filePath);
}

bool SaveUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table,
                   const KeyTable& keys) {
    if (!IsUsableTableName(table)) {
        return false;
    }
    char section[kSavedTableNameSize];
    CopyBounded(section, table);
    for (int n = 0; n < kButtonCount; ++n) {
        ButtonKey key(n);
        char text[kKeyTextSize];
        CopyBounded(text, BufferText(keys[n].text));
        char description[kDescriptionSize];
        CopyBounded(description, BufferText(keys[n].description));
        profiles.WriteString(paths.userDef, section, key.text, text);
        profiles.WriteString(paths.userDefInf, section, key.text, description);
    }
    return true;
}

bool CreateUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table) {
    if (!IsUsableTableName(table)) {
        return false;
    }
    profiles.EmptySection(paths.userDef, table);
    return true;
}

bool DeleteUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table) {
    if (!IsUsableTableName(table)) {
        return false;
    }
    profiles.EmptySection(paths.userDef, table);
    profiles.EmptySection(paths.userDefInf, table);
    return true;
}

bool SetTableProgram(ProfileStore& profiles, const IniPaths& paths, const char* table,
                     const char* filePath) {
    if (!IsUsableTableName(table)) {
        return false;
    }
    char section[kProgramTableNameSize];
    CopyBounded(section, table);
    profiles.WriteString(paths.userDef, section, "FilePath", filePath);
    return true;
}
