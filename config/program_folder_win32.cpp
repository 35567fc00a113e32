#include "config/program_folder_win32.h"

#include <windows.h>

#include "config/program_folders.h"

std::string OwnProgramFolder() {
    char modulePath[kFolderPathSize] = {};
    DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    // Older systems leave a path that fills the buffer unterminated.
    modulePath[length < sizeof modulePath ? length : sizeof modulePath - 1] = '\0';
    return FolderFromModulePath(modulePath);
}
