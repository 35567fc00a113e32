#include <windows.h>

#include "base/dll_search_win32.h"
#include "tellwand/tray_program_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    static TrayProgram program(instance);
    return program.Run();
}
