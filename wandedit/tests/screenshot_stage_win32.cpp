// Sets the scene for the screenshots: "osd" shows the OSD over a coloured background, "dialog"
// shows the settings dialog, "hotkeys" the HotKey Configuration dialog. Writes the marker file once
// the scene stands and holds it while scripts/screenshots captures the screen.

#include <windows.h>

#include <cstdio>
#include <string>

#include "config/program_folders.h"
#include "config/registry_win32.h"
#include "protocol/protocol.h"
#include "testing/e2e_win32.h"
#include "testing/editor_setup_win32.h"
#include "testing/temp_folder_win32.h"
#include "testing/test_window_win32.h"
#include "wandedit/tests/stand_in_tellwand_win32.h"

namespace {

constexpr DWORD kHoldMs = 3000;

LRESULT CALLBACK BackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT area;
        GetClientRect(window, &area);
        HBRUSH stripe = CreateSolidBrush(RGB(200, 40, 90));
        HBRUSH plain = CreateSolidBrush(RGB(30, 60, 140));
        FillRect(reinterpret_cast<HDC>(wParam), &area, plain);
        for (int x = 0; x < area.right; x += 80) {
            RECT band = {x, 0, x + 30, area.bottom};
            FillRect(reinterpret_cast<HDC>(wParam), &band, stripe);
        }
        DeleteObject(stripe);
        DeleteObject(plain);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ShowBackground() {
    HWND window =
        CreateTestWindow("ScreenshotBackground", BackgroundProc, "", WS_POPUP | WS_VISIBLE, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    UpdateWindow(window);
    return window;
}

void WriteMarker(const char* path) {
    FILE* marker = std::fopen(path, "w");
    if (marker != nullptr) {
        std::fclose(marker);
    }
}

void PrepareFolder(const std::string& folder, Win32Registry& registry) {
    CopyProgram(kEditorProgram, folder);
    StoreEditorFolder(registry, folder);
    std::string userDef = IniPathsInFolder(folder).userDef;
    WritePrivateProfileStringA("Music", "0", "0-0-A", userDef.c_str());
    WritePrivateProfileStringA("Music", "FilePath", "C:\\Program Files\\Music\\player.exe",
                               userDef.c_str());
    WritePrivateProfileStringA("Video", "0", "0-0-B", userDef.c_str());
    StoreSettings(registry, 1, "Music");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshot_stage osd|dialog|hotkeys MARKER\n");
        return 2;
    }
    bool osd = std::string(argv[1]) == "osd";
    bool hotkeys = std::string(argv[1]) == "hotkeys";
    TempFolder folder;
    Win32Registry registry;
    PrepareFolder(folder.path(), registry);
    StandInTellwand tellwand;
    HWND background = osd ? ShowBackground() : nullptr;
    ChildProcess wandEdit;
    wandEdit.Start(folder.path() + kEditorProgram, osd ? "" : "15", folder.path());
    PumpUntil([&] { return tellwand.osdWindow != nullptr; }, 10000);
    HWND dialog = WaitForWindow(nullptr, kEditorTitle);

    bool standing = false;
    if (osd) {
        tellwand.ShowText("Play");
        standing = PumpUntil([&] { return IsWindowVisible(tellwand.osdWindow) != FALSE; });
    } else {
        standing = PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; });
    }
    if (standing && hotkeys) {
        standing = OpenHotkeyDialog(dialog) != nullptr;
    }
    if (standing) {
        PumpFor(200);  // let the scene paint
        WriteMarker(argv[2]);
        // The OSD hides a second after its show; the capture comes well before that.
        PumpFor(osd ? 700 : kHoldMs);
    }
    wandEdit.Kill();
    if (background != nullptr) {
        DestroyWindow(background);
    }
    ForgetEditorRegistry();
    return standing ? 0 : 1;
}
