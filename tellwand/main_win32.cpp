#include <windows.h>

#include "base/dll_search_win32.h"
#include "base/trace.h"
#include "base/trace_win32.h"
#include "tellwand/tray_program_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    StartTracing("Tellwand", ProgramParameters());
    TraceProgramStart("Tellwand");
    static TrayProgram program(instance);
    int exitCode = program.Run();
    Trace("Tellwand ends");
    StopTracing();
    return exitCode;
}
