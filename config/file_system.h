#pragma once
// The few file operations the core needs besides the INI files.

#include <string>

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // The file can be opened for reading (CreateFileA, GENERIC_READ, OPEN_EXISTING).
    virtual bool FileExists(const std::string& path) = 0;
    // Creates the file empty, replacing any file of that name; false when it cannot.
    virtual bool CreateEmptyFile(const std::string& path) = 0;
};
