#pragma once
// Loading a button table from the INI files and playing one record as key events.

#include "config/ini_paths.h"
#include "config/profile_store.h"
#include "keyseq/input_sink.h"
#include "keyseq/key_action.h"

// Fills all 35 records from `section`: texts from TWCtrl.ini for built-in tables, texts from
// UserDef.ini and descriptions from UserDefInf.ini for user tables. Missing values clear
// the record, so no key of the previous table survives.
void LoadKeyTable(ProfileStore& profiles, const IniPaths& paths, const char* section, bool user,
                  KeyTable& table);

// Key-down of the three modifier slots and the key, exactly four events.
void PressKeyAction(const KeyAction& record, InputSink& input);

// Key-up of the key, 50 ms, then the modifier slots in reverse order.
void ReleaseKeyAction(const KeyAction& record, InputSink& input);
