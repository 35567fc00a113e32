#include <windows.h>

#include "tellwand/tray_program_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static TrayProgram program(instance);
    return program.Run();
}
