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

// A value of the 64-bit view where there is one, so a 32-bit program sees both folders.
bool ReadWindowsFolderValue(const char* name, char (&folder)[MAX_PATH]) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return false;
    }
    ScopedRegistryKey owned(key);
    DWORD type = 0;
    DWORD size = sizeof folder - 1;
    LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    folder[size < sizeof folder ? size : sizeof folder - 1] = '\0';
    return folder[0] != '\0';
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

std::vector<std::string> Win32FileSystem::ProgramFilesFolders() {
    std::vector<std::string> folders;
    for (const char* name : {"ProgramFilesDir", "ProgramFilesDir (x86)"}) {
        char folder[MAX_PATH] = {};
        if (ReadWindowsFolderValue(name, folder)) {
            folders.push_back(folder);
        }
    }
    return folders;
}
