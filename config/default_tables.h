#pragma once
// The two button tables Tellwand carries in its code, written to TWCtrl.ini at its first start.

#include <cstddef>
#include <string>

#include "config/file_system.h"
#include "config/key_table.h"
#include "config/profile_store.h"
#include "keyseq/key_action.h"

constexpr int kVcrTableKind = 0;
constexpr int kDvdTableKind = 1;
constexpr std::size_t kDefaultTableNameSize = 30;

struct DefaultTable {
    char name[kDefaultTableNameSize] = {};
    KeyTable entries;  // only the key-sequence texts are filled
};

// Fills the table with the "VCR" defaults for kind 0 and the "DVD" defaults for kind 1;
// any other kind leaves it empty.
void BuildDefaultTable(int kind, DefaultTable& table);

// Writes the [VCR] and then the [DVD] table, keys "0" to "34" in order, empty texts included.
void WriteDefaultTables(ProfileStore& profiles, const std::string& twCtrlPath);

// The start-up check: when no TWCtrl.ini exists, creates it and writes the default tables.
// An existing file is never touched, even one that cannot be read at the moment; nothing is
// written when the file cannot be created. True when the file was created.
bool CreateDefaultTablesIfMissing(FileSystem& files, ProfileStore& profiles,
                                  const std::string& twCtrlPath);
