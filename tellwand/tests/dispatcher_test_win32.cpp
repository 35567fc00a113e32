// The dispatcher on the real desktop, registry, INI files and file system of the test prefix.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/scoped_win32.h"
#include "config/file_system_win32.h"
#include "config/profile_store_win32.h"
#include "config/program_folder_win32.h"
#include "config/program_folders.h"
#include "config/registry_win32.h"
#include "tellwand/desktop_win32.h"
#include "tellwand/dispatcher.h"
#include "testing/fake_desktop.h"
#include "testing/message_pump_win32.h"
#include "testing/recording_input.h"
#include "testing/temp_folder_win32.h"
#include "testing/test_window_win32.h"

namespace {

constexpr char kLocationKey[] = "Software\\TellwandTest\\Recorder";
constexpr char kLocationParent[] = "Software\\TellwandTest";
constexpr char kProbe[] = "tellwand_start_probe.exe";

// What the probe left behind when it ran, or the empty text.
std::string ProbeMarker(const std::string& probePath) {
    std::ifstream marker(probePath + ".ran");
    std::stringstream text;
    text << marker.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Win32DispatcherTest : public ::testing::Test {
  protected:
    Win32DispatcherTest() {
        paths = IniPathsInFolder(folder.path());
        RemoveLocationKeys();
    }
    ~Win32DispatcherTest() override {
        RemoveLocationKeys();
        for (const std::string& file : filesInSubfolder) {
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(programFolder.c_str());
    }

    static void RemoveLocationKeys() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kLocationKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kLocationParent);
    }

    // The recorder's install folder as the installation records it.
    void SetRecorderFolder(const std::string& value) {
        HKEY created;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kLocationKey, 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        ScopedRegistryKey key(created);
        RegSetValueExA(key.get(), "Folder", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        profiles.WriteString(paths.twCtrl, "VCR", "KeyPath", kLocationKey);
        profiles.WriteString(paths.twCtrl, "VCR", "SubKey", "Folder");
    }

    // A folder with a blank in its name, holding the probe as the recorder's program file,
    // beside a probe named like the folder's first word.
    void InstallRecorderProbes() {
        programFolder = folder.path() + "Tell wand";
        CreateDirectoryA(programFolder.c_str(), nullptr);
        recorderProbe = programFolder + "\\PVCR.exe";
        decoyProbe = folder.path() + "Tell.exe";
        std::string probe = OwnProgramFolder() + kProbe;
        ASSERT_TRUE(CopyFileA(probe.c_str(), recorderProbe.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(probe.c_str(), decoyProbe.c_str(), FALSE));
        filesInSubfolder = {recorderProbe, recorderProbe + ".ran"};
    }

    std::string PressPower(Dispatcher& dispatcher) {
        dispatcher.DispatchReport(kButtonReport, 0, 1);
        std::string text = dispatcher.CopyOsdText().data();
        dispatcher.DispatchReport(kButtonReport, 1, 1);
        return text;
    }

    TempFolder folder;
    IniPaths paths;
    RecordingInput input;
    Win32Desktop desktop;
    NullTray tray;
    Win32ProfileStore profiles;
    Win32Registry registry;
    Win32FileSystem files;
    Dispatcher dispatcher{{input, desktop, profiles, registry, files, tray}, paths};
    std::string programFolder;
    std::string recorderProbe;
    std::string decoyProbe;
    std::vector<std::string> filesInSubfolder;
};

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Win32DispatcherTest, PowerQuitsTheRunningRecorder) {
    HWND recorder = CreateTestWindow("TellwandTestRecorder", PlainWindowProc, "PowerBar",
                                     WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    ASSERT_NE(recorder, nullptr);

    EXPECT_EQ(PressPower(dispatcher), "Exit");

    // Only this window's WM_QUIT is taken from the queue; pumping the rest could swallow it.
    MSG message = {};
    bool quit = PumpUntil(
        [&] { return PeekMessageA(&message, recorder, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE; });
    DestroyWindow(recorder);
    EXPECT_TRUE(quit);
}

TEST_F(Win32DispatcherTest, ProgramInAFolderWithBlanksStartsExactlyThatProgram) {
    InstallRecorderProbes();
    SetRecorderFolder(programFolder);
    dispatcher.ResolveProgramPaths();

    EXPECT_EQ(PressPower(dispatcher), "VCR");

    ASSERT_TRUE(PumpUntil([&] { return !ProbeMarker(recorderProbe).empty(); }, 10000));
    // Shown normally on the interactive desktop, without asking for the show value.
    EXPECT_EQ(ProbeMarker(recorderProbe), "10001");
    EXPECT_FALSE(Exists(decoyProbe + ".ran"));
}

TEST_F(Win32DispatcherTest, FolderEndingInABackslashGetsNoSecondOne) {
    InstallRecorderProbes();
    SetRecorderFolder(programFolder + "\\");
    dispatcher.ResolveProgramPaths();
    EXPECT_EQ(PressPower(dispatcher), "VCR");
    ASSERT_TRUE(PumpUntil([&] { return !ProbeMarker(recorderProbe).empty(); }, 10000));
}

TEST_F(Win32DispatcherTest, MissingFolderValueKeepsTheDefaultPath) {
    InstallRecorderProbes();
    SetRecorderFolder(programFolder);
    profiles.WriteString(paths.twCtrl, "VCR", "SubKey", "NoSuchValue");
    dispatcher.ResolveProgramPaths();
    EXPECT_EQ(PressPower(dispatcher), Exists(kVcrPath) ? "VCR" : "File path error");
    EXPECT_FALSE(Exists(recorderProbe + ".ran"));
}

TEST(Win32StartProcess, HiddenStartKeepsTheProcess) {
    std::string probe = OwnProgramFolder() + kProbe;
    HANDLE process = StartProcess("\"" + probe + "\"", StartedWindow::kHidden);
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    DeleteFileA((probe + ".ran").c_str());
    EXPECT_EQ(exitCode, 1000u + SW_HIDE);
}

}  // namespace
