// WandEdit: the settings editor and the host of the on-screen display.

#include <windows.h>
// windows.h first: commctrl.h builds on its types.
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/dll_search_win32.h"
#include "base/scoped_win32.h"
#include "base/trace.h"
#include "base/trace_win32.h"
#include "config/profile_store_win32.h"
#include "config/registry_win32.h"
#include "protocol/protocol.h"
#include "wandedit/command_line.h"
#include "wandedit/editor_windows_win32.h"
#include "wandedit/resource_ids.h"
#include "wandedit/settings_dialog_win32.h"
#include "wandedit/settings_editor.h"

namespace {

int RunEditor(HINSTANCE instance) {
    EditorStart start = ParseEditorCommandLine(ProgramParameters());
    Trace("%s, table selector %d", start.startHidden ? "hidden, as the OSD's host" : "the editor",
          start.tableSelector);
    Win32Registry registry;
    Win32ProfileStore profiles;
    EditorWindows windows;
    PostingTellwandLink tellwand(windows);
    SettingsEditor editor(registry, profiles, tellwand, start.tableSelector);
    SettingsDialog dialog(instance, windows, editor, profiles, start.startHidden);
    if (dialog.Create(instance, IDD_SETTINGS)) {
        dialog.RunModal();
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    // The hotkey field and the tooltips of the HotKey Configuration dialog.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    StartTracing("WandEdit", ProgramParameters());
    TraceProgramStart("WandEdit");
    // One WandEdit at a time; a second one ends without a word. It is started by a Tellwand
    // that came after the running WandEdit, which must learn of that WandEdit's OSD.
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, kEditorMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        Trace("another WandEdit is running: asked to announce its OSD, this one ends");
        PostMessageA(FindWindowA(nullptr, kEditorTitle), kMsgAnnounceOsd, 0, 0);
        StopTracing();
        return 0;
    }
    int exitCode = RunEditor(instance);
    Trace("WandEdit ends");
    StopTracing();
    return exitCode;
}
