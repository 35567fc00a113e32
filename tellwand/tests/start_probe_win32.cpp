// Started by the desktop tests: leaves "<own path>.ran" holding how it was started, as
// the show value, plus 1000 when that value was asked to be used, plus 10000 when it was
// started on the interactive desktop. The same number is its exit code.

#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int how = startup.wShowWindow;
    if (startup.dwFlags & STARTF_USESHOWWINDOW) {
        how += 1000;
    }
    if (startup.lpDesktop != nullptr && std::strcmp(startup.lpDesktop, "WinSta0\\Default") == 0) {
        how += 10000;
    }
    char marker[MAX_PATH + 8] = {};
    DWORD length = GetModuleFileNameA(nullptr, marker, MAX_PATH);
    std::snprintf(marker + length, sizeof marker - length, ".ran");
    if (FILE* file = std::fopen(marker, "w")) {
        std::fprintf(file, "%d", how);
        std::fclose(file);
    }
    return how;
}
