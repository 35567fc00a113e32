#pragma once
// A button table: the 35 records of one table, indexed by button number, and its loading from
// the INI files.

#include <array>

#include "config/buttons.h"
#include "config/ini_paths.h"
#include "config/profile_store.h"
#include "keyseq/key_action.h"

using KeyTable = std::array<KeyAction, kButtonCount>;

// Fills all 35 records from `section`: texts from TWCtrl.ini for built-in tables, texts from
// UserDef.ini and descriptions from UserDefInf.ini for user tables. Missing values clear
// the record, so no key of the previous table survives.
void LoadKeyTable(ProfileStore& profiles, const IniPaths& paths, const char* section, bool user,
                  KeyTable& table);
