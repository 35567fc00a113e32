#pragma once
// The few file operations the core needs besides the INI files.

#include <string>

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // A file (not a folder) is at the path, whether or not it can be opened now; a path with
    // wildcards names no file.
    virtual bool FileExists(const std::string& path) = 0;
    // Creates the file empty, replacing any file of that name; false when it cannot.
    virtual bool CreateEmptyFile(const std::string& path) = 0;
};
