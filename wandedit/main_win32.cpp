// WandEdit: the settings editor and the host of the on-screen display.

#include <windows.h>
// windows.h first: commctrl.h builds on its types.
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/dll_search_win32.h"
#include "base/scoped_win32.h"
#include "config/profile_store_win32.h"
#include "config/protocol.h"
#include "config/registry_win32.h"
#include "wandedit/command_line.h"
#include "wandedit/editor_windows_win32.h"
#include "wandedit/resource_ids.h"
#include "wandedit/settings_dialog_win32.h"
#include "wandedit/settings_editor.h"

namespace {

std::vector<std::string> CommandLineParameters() {
    std::vector<std::string> parameters;
    for (int i = 1; i < __argc; ++i) {
        parameters.emplace_back(__argv[i]);
    }
    return parameters;
}

int RunEditor(HINSTANCE instance) {
    EditorStart start = ParseEditorCommandLine(CommandLineParameters());
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
    // One WandEdit at a time; a second one ends without a word. It is started by a Tellwand
    // that came after the running WandEdit, which must learn of that WandEdit's OSD.
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, kEditorMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        PostMessageA(FindWindowA(nullptr, kEditorTitle), kMsgAnnounceOsd, 0, 0);
        return 0;
    }
    return RunEditor(instance);
}
