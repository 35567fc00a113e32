#pragma once
// The folder of the three INI files, as each program finds it, and the paths of the files.

#include <cstddef>
#include <string>

#include "config/ini_paths.h"
#include "config/registry.h"

constexpr char kInstallKey[] = "Software\\VELQ\\VELQ Tellwand";
constexpr std::size_t kFolderPathSize = 256;  // module path and "Path", terminator included

// The folder text with a backslash at its end.
std::string WithTrailingBackslash(std::string folder);

// Tellwand's folder: its module path cut after the last backslash.
std::string FolderFromModulePath(const char* modulePath);

// WandEdit's folder: the registry value "Path" (at most 255 characters). When it cannot be
// read, or is empty, the program's own folder is used instead.
std::string EditorFolder(Registry& registry, const std::string& ownFolder);

IniPaths IniPathsInFolder(const std::string& folder);
