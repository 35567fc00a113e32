// Which WM_DEVICECHANGE messages ask for a new discovery. Any program can send one, with a
// header as short as it likes: nothing past its declared size may be read.

#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: dbt.h builds on its types.
#include <dbt.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "receiver/receiver_win32.h"

namespace {

// Lays a header's first bytes at the very end of readable memory: a read past them faults.
class EndOfReadableMemory {
  public:
    EndOfReadableMemory() {
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        page_ = system.dwPageSize;
        base_ = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous = 0;
        VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &previous);
    }
    ~EndOfReadableMemory() { VirtualFree(base_, 0, MEM_RELEASE); }
    EndOfReadableMemory(const EndOfReadableMemory&) = delete;
    EndOfReadableMemory& operator=(const EndOfReadableMemory&) = delete;

    LPARAM Place(const DEV_BROADCAST_DEVICEINTERFACE_A& header, std::size_t size) {
        uint8_t* at = base_ + page_ - size;
        std::memcpy(at, &header, size);
        return reinterpret_cast<LPARAM>(at);
    }

  private:
    DWORD page_ = 0;
    uint8_t* base_ = nullptr;
};

DEV_BROADCAST_DEVICEINTERFACE_A HidHeader(DWORD size = sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)) {
    DEV_BROADCAST_DEVICEINTERFACE_A header = {};
    header.dbcc_size = size;
    header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header.dbcc_classguid = HidClassGuid();
    return header;
}

TEST(DeviceChange, OnlyAWholeHeaderOfAHidInterfaceArrivingOrLeavingCounts) {
    // Up to the end of the class GUID; the device's name after it is not needed.
    constexpr DWORD kUpToTheClass = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    DEV_BROADCAST_DEVICEINTERFACE_A volume = HidHeader();
    volume.dbcc_devicetype = DBT_DEVTYP_VOLUME;
    DEV_BROADCAST_DEVICEINTERFACE_A otherClass = HidHeader();
    otherClass.dbcc_classguid.Data1 ^= 1;
    struct Case {
        const char* name;
        WPARAM event;
        DEV_BROADCAST_DEVICEINTERFACE_A header;
        std::size_t bytes;  // how many of the header's bytes exist
        bool counts;
    };
    const Case cases[] = {
        {"arrival", DBT_DEVICEARRIVAL, HidHeader(), sizeof(DEV_BROADCAST_DEVICEINTERFACE_A), true},
        {"removal", DBT_DEVICEREMOVECOMPLETE, HidHeader(), sizeof(DEV_BROADCAST_DEVICEINTERFACE_A),
         true},
        {"no name", DBT_DEVICEARRIVAL, HidHeader(kUpToTheClass), kUpToTheClass, true},
        {"removal asked", DBT_DEVICEQUERYREMOVE, HidHeader(),
         sizeof(DEV_BROADCAST_DEVICEINTERFACE_A), false},
        {"a volume", DBT_DEVICEARRIVAL, volume, sizeof(DEV_BROADCAST_DEVICEINTERFACE_A), false},
        {"another class", DBT_DEVICEARRIVAL, otherClass, sizeof(DEV_BROADCAST_DEVICEINTERFACE_A),
         false},
        {"class cut short", DBT_DEVICEARRIVAL, HidHeader(kUpToTheClass - 1), kUpToTheClass - 1,
         false},
        {"common part only", DBT_DEVICEARRIVAL, HidHeader(sizeof(DEV_BROADCAST_HDR)),
         sizeof(DEV_BROADCAST_HDR), false},
        {"size alone", DBT_DEVICEARRIVAL, HidHeader(sizeof(DWORD)), sizeof(DWORD), false},
    };
    EndOfReadableMemory memory;
    for (const Case& c : cases) {
        EXPECT_EQ(IsHidInterfaceChange(c.event, memory.Place(c.header, c.bytes)), c.counts)
            << c.name;
    }
    EXPECT_FALSE(IsHidInterfaceChange(DBT_DEVICEARRIVAL, 0));
}

}  // namespace
