// The least a reader of the virtual receiver can do: read each report on a thread, exactly as
// the programs read it (overlapped, message mode), and turn a button report into one
// keybd_event. The latency bench measures this as the floor under Tellwand's figures.
//
// Options add, one by one, the work every press must do whoever writes the program, so that
// what remains between Tellwand and this floor is Tellwand's own cost:
//   --four-keys    a press sends the three modifier slots' key-downs and the key's, a release
//                  the key's key-up and the three slots' (without the 50 ms pause between)
//   --find-dialog  one search for the editor's "HotKey Configuration" window per report

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <thread>

#include "protocol/protocol.h"
#include "receiver/receiver_identity.h"

namespace {

constexpr BYTE kFloorKey = '1';  // the key the benchmarked table sends
constexpr int kModifierSlots = 3;

struct Work {
    bool fourKeys = false;
    bool findDialog = false;
};

// A table record "0-1": its empty modifier slots are played as key code 0, as the player does.
void PlayButton(const Work& work, bool down) {
    DWORD flags = down ? 0 : KEYEVENTF_KEYUP;
    int slots = work.fourKeys ? kModifierSlots : 0;
    if (down) {
        for (int slot = 0; slot < slots; ++slot) {
            keybd_event(0, 0, flags, 0);
        }
    }
    keybd_event(kFloorKey, 0, flags, 0);
    if (!down) {
        for (int slot = 0; slot < slots; ++slot) {
            keybd_event(0, 0, flags, 0);
        }
    }
}

HANDLE OpenReceiver() {
    HANDLE pipe = CreateFileA(kVirtualPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        return pipe;
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    return pipe;
}

// One message; false when the receiver is gone.
bool ReadMessage(HANDLE pipe, HANDLE event, uint8_t (&message)[8], DWORD& length) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event;
    ResetEvent(event);
    if (!ReadFile(pipe, message, sizeof message, nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    WaitForSingleObject(event, INFINITE);
    return GetOverlappedResult(pipe, &overlapped, &length, FALSE) != 0;
}

void ReadReports(HANDLE pipe, Work work) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    uint8_t message[8] = {};
    DWORD length = 0;
    bool identified = false;  // the first message is the device identity
    while (event != nullptr && ReadMessage(pipe, event, message, length)) {
        bool dialogOpen = work.findDialog && FindWindowA(nullptr, kHotkeyDialogTitle) != nullptr;
        if (identified && !dialogOpen && length == kVirtualReportSize &&
            message[1] == kButtonReport) {
            PlayButton(work, message[2] == 0);
        }
        identified = true;
    }
    if (event != nullptr) {
        CloseHandle(event);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Work work;
    for (int i = 1; i < argc; ++i) {
        work.fourKeys |= std::strcmp(argv[i], "--four-keys") == 0;
        work.findDialog |= std::strcmp(argv[i], "--find-dialog") == 0;
    }
    HANDLE pipe = OpenReceiver();
    if (pipe == INVALID_HANDLE_VALUE) {
        return 1;
    }
    std::thread reader(ReadReports, pipe, work);
    reader.join();
    CloseHandle(pipe);
    return 0;
}
