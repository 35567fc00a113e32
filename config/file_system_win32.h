#pragma once
// File existence through a directory search, creation through CreateFileA, Program Files from
// the system's own registry values.

#include "config/file_system.h"

class Win32FileSystem : public FileSystem {
  public:
    bool FileExists(const std::string& path) override;
    bool CreateNewFile(const std::string& path) override;
    std::vector<std::string> ProgramFilesFolders() override;
};
