#pragma once
// A fresh, empty folder for one Win32 test, removed with the files in it at the end.

#include <windows.h>

#include <string>

#include "base/scoped_win32.h"

class TempFolder {
  public:
    TempFolder() {
        char base[MAX_PATH] = {};
        GetTempPathA(sizeof base, base);
        static unsigned counter = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = std::string(base) + "tellwand-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(++counter) + "\\";
            if (CreateDirectoryA(path_.c_str(), nullptr)) {
                break;
            }
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        WIN32_FIND_DATAA found;
        ScopedFind search(FindFirstFileA((path_ + "*").c_str(), &found));
        if (search) {
            do {
                DeleteFileA((path_ + found.cFileName).c_str());
            } while (FindNextFileA(search.get(), &found));
        }
        RemoveDirectoryA(path_.c_str());
    }

    // Ends in a backslash.
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};
