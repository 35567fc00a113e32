// Presses remote buttons many times through the virtual receiver into a focused window of
// this program, while Tellwand from bin-virtual/ runs in a fresh folder in user mode. Counts
// every key message and reports lost, doubled and stuck keys and Tellwand's private memory.
//
// tellwand_soak [presses]                     exit code 0 when nothing was lost, doubled or
//                                             left down
// tellwand_soak --chaos [--seed N] [steps]    presses interleaved with everything else a user
//                                             and the system do (tests/soak/chaos_win32.cpp);
//                                             a new seed each run unless one is given

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>

#include "config/buttons.h"
#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"
#include "receiver/virtual_receiver_server_win32.h"
#include "testing/e2e_win32.h"
#include "testing/key_log_window_win32.h"
#include "testing/tellwand_e2e_win32.h"
#include "testing/temp_folder_win32.h"
#include "tests/soak/chaos_win32.h"
#include "tests/soak/soak_memory_win32.h"

namespace {

constexpr DWORD kKeyWaitMs = 2000;

// The buttons pressed in turn: report code and the keys its record sends, in press order.
struct SoakButton {
    uint8_t code;
    const char* text;
    UINT keys[2];
};
const SoakButton kButtons[] = {
    {5, "0-A", {'A', 0}},
    {6, "0-C-B", {VK_CONTROL, 'B'}},
    {7, "0-S-D", {VK_SHIFT, 'D'}},
    {8, "0-1", {'1', 0}},
};

struct KeyCounts {
    long downs = 0;
    long ups = 0;
    bool isDown = false;
};
std::map<UINT, KeyCounts> g_counts;

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Key code 0 is what empty modifier slots send; it reaches no application as a key.
    if (wParam == 0) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        ++g_counts[wParam].downs;
        g_counts[wParam].isDown = true;
        return 0;
    }
    if (message == WM_KEYUP || message == WM_SYSKEYUP) {
        ++g_counts[wParam].ups;
        g_counts[wParam].isDown = false;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void WriteUserTable(const std::string& folder) {
    std::ofstream ini(folder + "UserDef.ini", std::ios::binary);
    ini << "[Soak]\r\nFilePath=C:\\windows\\notepad.exe\r\n";
    for (const SoakButton& button : kButtons) {
        // Report codes 4 to 33 are buttons 3 to 32.
        ini << static_cast<int>(button.code) - 1 << "=" << button.text << "\r\n";
    }
}

// Waits until every key of the button has arrived once more as a down or an up message.
bool WaitForKeys(const SoakButton& button, bool down, const std::map<UINT, KeyCounts>& before) {
    return PumpUntil(
        [&] {
            for (UINT key : button.keys) {
                if (key == 0) {
                    continue;
                }
                auto old = before.find(key);
                long had = old == before.end() ? 0 : (down ? old->second.downs : old->second.ups);
                if ((down ? g_counts[key].downs : g_counts[key].ups) <= had) {
                    return false;
                }
            }
            return true;
        },
        kKeyWaitMs);
}

// Per key: how many downs and as many ups should have arrived.
using Expected = std::map<UINT, long>;

bool PressOnce(VirtualReceiverServer& remote, const SoakButton& button, Expected& expected) {
    for (UINT key : button.keys) {
        if (key != 0) {
            ++expected[key];
        }
    }
    std::map<UINT, KeyCounts> before = g_counts;
    return SendButton(remote, button.code, true) && WaitForKeys(button, true, before) &&
           SendButton(remote, button.code, false) && WaitForKeys(button, false, before);
}

struct Result {
    long lost = 0;
    long doubled = 0;
    long stuck = 0;
};

Result Compare(const Expected& expected) {
    Result result;
    for (const auto& [key, counts] : g_counts) {
        auto found = expected.find(key);
        long wanted = found == expected.end() ? 0 : found->second;
        for (long got : {counts.downs, counts.ups}) {
            result.lost += got < wanted ? wanted - got : 0;
            result.doubled += got > wanted ? got - wanted : 0;
        }
        result.stuck += counts.isDown ? 1 : 0;
    }
    for (const auto& [key, wanted] : expected) {
        if (g_counts.count(key) == 0) {
            result.lost += 2 * wanted;
        }
    }
    return result;
}

int Soak(long presses) {
    TempFolder folder;
    if (!CopyProgram("Tellwand.exe", folder.path())) {
        std::printf("soak: Tellwand.exe not found in bin-virtual\n");
        return 2;
    }
    WriteUserTable(folder.path());
    DeleteMachineKey("Software\\VELQ");
    HWND target = CreateFocusedWindow("TellwandSoakTarget", CountingWindowProc);
    auto remote = std::make_unique<VirtualReceiverServer>(kReceiverVendorId, kReceiverProductId);
    ChildProcess tellwand;
    if (!remote->Start() || !tellwand.Start(folder.path() + "Tellwand.exe", "", folder.path()) ||
        WaitForWindow(kTellwandWindowClass, nullptr) == nullptr ||
        !remote->WaitForClients(1, 10000) || !StoreSettings(0, "Soak")) {
        std::printf("soak: Tellwand did not start or read the receiver\n");
        return 2;
    }
    SelectModeAndEnable(kUserMode);
    SetForegroundWindow(target);
    PrintProgramMemory("Tellwand", "at start", tellwand.handle());

    Expected expected;
    long timeouts = 0;
    for (long n = 0; n < presses; ++n) {
        timeouts += PressOnce(*remote, kButtons[n % 4], expected) ? 0 : 1;
        if ((n + 1) % 10000 == 0) {
            std::printf("soak: %ld presses\n", n + 1);
            PrintProgramMemory("Tellwand", "now", tellwand.handle());
        }
    }
    PumpFor(500);  // anything late or doubled arrives now
    PrintProgramMemory("Tellwand", "at end", tellwand.handle());

    Result result = Compare(expected);
    std::printf("soak: %ld presses, %ld waits timed out\n", presses, timeouts);
    std::printf("soak: lost %ld, doubled %ld, stuck %ld key messages\n", result.lost,
                result.doubled, result.stuck);

    ExitTellwand(tellwand);
    DeleteMachineKey("Software\\VELQ");
    DestroyWindow(target);
    return result.lost == 0 && result.doubled == 0 && result.stuck == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool chaos = false;
    uint32_t seed = GetTickCount() ^ GetCurrentProcessId();
    long count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--chaos") == 0) {
            chaos = true;
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            count = std::strtol(argv[i], nullptr, 10);
        }
    }
    if (chaos) {
        return RunChaos(seed, count > 0 ? count : 20000);
    }
    return Soak(count > 0 ? count : 100000);
}
