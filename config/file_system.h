#pragma once
// The few file operations the core needs besides the INI files.

#include <string>
#include <vector>

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // A file (not a folder) is at the path, whether or not it can be opened now; a path with
    // wildcards names no file.
    virtual bool FileExists(const std::string& path) = 0;
    // Creates the file empty when nothing of that name exists (CREATE_NEW); false when
    // something does, even if it cannot be opened at the moment, or when it cannot be created.
    virtual bool CreateNewFile(const std::string& path) = 0;
    // The system's folders for installed programs, which only administrators may change: on
    // 64-bit Windows both Program Files folders.
    virtual std::vector<std::string> ProgramFilesFolders() = 0;
};
