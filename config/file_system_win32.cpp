#include "config/file_system_win32.h"

#include <windows.h>

namespace {

// Opens and at once closes the file; true when the open succeeded.
bool OpenAndClose(const std::string& path, DWORD access, DWORD disposition) {
    HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
    return OpenAndClose(path, GENERIC_READ, OPEN_EXISTING);
}

bool Win32FileSystem::CreateNewFile(const std::string& path) {
    return OpenAndClose(path, GENERIC_WRITE, CREATE_NEW);
}
