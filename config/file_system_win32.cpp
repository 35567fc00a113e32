#include "config/file_system_win32.h"

#include <windows.h>

#include "base/scoped_win32.h"

namespace {

// Opens and at once closes the file; true when the open succeeded.
bool OpenAndClose(const std::string& path, DWORD access, DWORD disposition) {
    ScopedHandle file(CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

}  // namespace

// A directory search sees a file whatever holds it open or may read it. A search takes
// wildcards ('<', '>' and '"' too, in the system's own search), which would find other files,
// and it finds folders, which are no file.
bool Win32FileSystem::FileExists(const std::string& path) {
    if (path.find_first_of("*?<>\"") != std::string::npos) {
        return false;
    }
    WIN32_FIND_DATAA found;
    ScopedFind search(FindFirstFileA(path.c_str(), &found));
    if (!search) {
        return false;
    }
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::CreateNewFile(const std::string& path) {
    return OpenAndClose(path, GENERIC_WRITE, CREATE_NEW);
}
