// A DLL named like a system DLL, dropped beside the programs by someone else. When a program
// loads it, it leaves a file named like itself with ".loaded" appended.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        const char kSuffix[] = ".loaded";
        char path[MAX_PATH] = {};
        DWORD length = GetModuleFileNameA(instance, path, MAX_PATH - sizeof kSuffix);
        if (length > 0 && length < MAX_PATH - sizeof kSuffix) {
            lstrcpynA(path + length, kSuffix, sizeof kSuffix);
            HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (marker != INVALID_HANDLE_VALUE) {
                CloseHandle(marker);
            }
        }
    }
    return TRUE;
}
