#pragma once
// The user-defined tables: one section per table in UserDef.ini (key-sequence texts and the
// program's "FilePath") and in UserDefInf.ini (OSD descriptions).

#include <cstddef>
#include <string>
#include <vector>

#include "config/ini_paths.h"
#include "config/key_table.h"
#include "config/profile_store.h"
#include "keyseq/key_action.h"

constexpr std::size_t kTableNameSize = 20;        // a table name: 19 characters at most
constexpr std::size_t kFilePathSize = 255;        // "FilePath": 254 characters at most
constexpr std::size_t kTableNameListSize = 1024;  // the section names read for the list
constexpr std::size_t kListedTableNameSize = 30;  // a listed name: 29 characters at most
constexpr std::size_t kMaxListedTables = 100;

// Reads "FilePath" of the table from UserDef.ini, cut to capacity less one; the empty text
// when it is missing. Returns its length.
std::size_t ReadTableFilePath(ProfileStore& profiles, const IniPaths& paths, const char* table,
                              char* buffer, std::size_t capacity);

// The tables of UserDef.ini in file order: at most 100, from a name list of at most 1,024
// bytes, names cut to 29 characters. A section without content is not a table.
std::vector<std::string> ListUserTables(ProfileStore& profiles, const IniPaths& paths);

// Whether `index` picks an entry of the list (-1, the lists' "none", does not).
inline bool IsListed(const std::vector<std::string>& tables, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < tables.size();
}
// The entry at `index`, or "" when it picks none.
inline std::string ListedTable(const std::vector<std::string>& tables, int index) {
    return IsListed(tables, index) ? tables[index] : std::string();
}

// All 35 records of the table, then its "FilePath" (254 characters at most).
void LoadUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table, KeyTable& keys,
                   char (&filePath)[kFilePathSize]);

// The operations below write nothing and return false for an empty table name: a section
// "[]" would end the section-name list and hide every table after it.

// Writes all 35 keys, in order, to both files: texts to UserDef.ini, descriptions to
// UserDefInf.ini. The name is taken as at most 29 characters. "FilePath" is not written.
bool SaveUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table,
                   const KeyTable& keys);

// Creates the table's section in UserDef.ini, empty.
bool CreateUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table);

// Empties the table's section in UserDef.ini and then in UserDefInf.ini.
bool DeleteUserTable(ProfileStore& profiles, const IniPaths& paths, const char* table);

// Writes the table's "FilePath". The name is taken as at most 49 characters.
bool SetTableProgram(ProfileStore& profiles, const IniPaths& paths, const char* table,
                     const char* filePath);
