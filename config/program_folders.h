#pragma once
// The folder of the three INI files, as each program finds it, and the paths of the files.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// A full path: a drive letter and its root (C:\...) or a network share (\\server\share\...).
// Any other path is read against a current folder, and a program start searches elsewhere.
bool IsFullPath(std::string_view path);

// The path lies inside one of the folders, compared after normalising and without regard to
// case. A path that is not full lies inside none.
bool LiesInsideAnyFolder(std::string_view path, const std::vector<std::string>& folders);
