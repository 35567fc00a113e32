// How long one button report takes to dispatch, without the cost of real input.

#include <benchmark/benchmark.h>

#include "tellwand/dispatcher.h"
#include "testing/fake_desktop.h"
#include "testing/fake_file_system.h"
#include "testing/fake_profile_store.h"
#include "testing/fake_registry.h"

namespace {

// Input goes nowhere, and the 50 ms pause of a release takes no time.
class NullInput : public InputSink {
  public:
    void KeyEvent(uint8_t, uint32_t) override {}
    void MouseEvent(uint32_t, int, int) override {}
    void Pause(uint32_t) override {}
};

class NullDesktop : public Desktop {
  public:
    WindowHandle FindWindowByName(const char*, const char*) override { return kNoWindow; }
    void EnableAndPostMessage(WindowHandle, uint32_t) override {}
    bool PostWindowMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return true; }
    bool StartProgram(const std::string&) override { return true; }
    void Sleep(uint32_t) override {}
};

// A press and a release of a plain button in user mode, whose record has a description.
void BM_DispatchButtonPressAndRelease(benchmark::State& state) {
    NullInput input;
    NullDesktop desktop;
    NullTray tray;
    FakeProfileStore profiles;
    FakeRegistry registry;
    FakeFileSystem files;
    IniPaths paths{"TWCtrl.ini", "UserDef.ini", "UserDefInf.ini"};
    profiles.WriteString(paths.userDef, "Music", "5", "0-C-S-PGDOWN");
    profiles.WriteString(paths.userDefInf, "Music", "5", "Next page of the list");
    registry.SetString("Software\\VELQ\\Tellwand", "UserDefineTable", "Music");
    Dispatcher dispatcher{{input, desktop, profiles, registry, files, tray}, paths};
    dispatcher.SetTableSelector(kUserMode);
    dispatcher.ApplyEnableState(true);
    for (auto _ : state) {
        dispatcher.DispatchReport(kButtonReport, 0, 6);
        dispatcher.DispatchReport(kButtonReport, 1, 6);
    }
    state.SetItemsProcessed(state.iterations() * 2);  // reports
}
BENCHMARK(BM_DispatchButtonPressAndRelease);

}  // namespace
