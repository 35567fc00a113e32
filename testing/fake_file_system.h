#pragma once
// An in-memory file system: which files exist, which cannot be created, what was created, and
// where Program Files is.

#include <set>
#include <string>
#include <vector>

#include "config/file_system.h"

class FakeFileSystem : public FileSystem {
  public:
    bool FileExists(const std::string& path) override { return existing.count(path) != 0; }
    bool CreateNewFile(const std::string& path) override {
        if (existing.count(path) != 0 || uncreatable.count(path) != 0) {
            return false;
        }
        created.push_back(path);
        existing.insert(path);
        return true;
    }
    std::vector<std::string> ProgramFilesFolders() override { return programFiles; }

    std::set<std::string> existing;
    std::set<std::string> uncreatable;
    std::vector<std::string> created;
    std::vector<std::string> programFiles{"C:\\Program Files"};
};
