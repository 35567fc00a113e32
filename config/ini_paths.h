#pragma once
// The three INI files, side by side in one folder.

#include <string>

struct IniPaths {
    std::string twCtrl;      // built-in tables and application locations
    std::string userDef;     // user tables: key-sequence texts and "FilePath"
    std::string userDefInf;  // user tables: OSD descriptions
};
