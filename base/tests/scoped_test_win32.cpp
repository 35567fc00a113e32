#include <gtest/gtest.h>

#include <vector>

#include "base/scoped_win32.h"

namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

TEST(ScopedHandle, ClosesOnceWhereverItsOwnershipEnds) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        ScopedHandle first(raw);
        ScopedHandle second(std::move(first));
        EXPECT_FALSE(first.valid());
        EXPECT_TRUE(IsOpen(raw));
        ScopedHandle third;
        third = std::move(second);
        EXPECT_EQ(third.get(), raw);
    }
    EXPECT_FALSE(IsOpen(raw));

    HANDLE kept = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        ScopedHandle owner(kept);
        EXPECT_EQ(owner.Release(), kept);
    }
    EXPECT_TRUE(IsOpen(kept));
    CloseHandle(kept);
}

TEST(ScopedHandle, NullAndInvalidHandleValueAreNone) {
    EXPECT_FALSE(ScopedHandle().valid());
    EXPECT_FALSE(ScopedHandle(INVALID_HANDLE_VALUE).valid());
    ScopedHandle failedOpen(
        CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(failedOpen);
}

// What each failing call answers is none to its owner, which then lets go of nothing.
TEST(ScopedOwners, FailedCallsGiveNone) {
    WIN32_FIND_DATAA found;
    EXPECT_FALSE(ScopedFind(FindFirstFileA("Z:\\no\\such\\*", &found)));
    EXPECT_FALSE(ScopedFind());
    EXPECT_FALSE(ScopedDeviceInfoList(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(ScopedRegistryKey());
    EXPECT_FALSE(ScopedHook());
    EXPECT_FALSE(ScopedDeviceNotification());
}

TEST(ScopedRegistryKey, ClosesTheKey) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &raw), ERROR_SUCCESS);
    DWORD subKeys = 0;
    {
        ScopedRegistryKey key(raw);
        EXPECT_EQ(RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

// A combination is the holder's while its owner lives, moved or not, and free once it goes.
TEST(ScopedHotkey, HoldsTheCombinationForItsLife) {
    auto freeAgain = [] { return ScopedHotkey(nullptr, 2, MOD_CONTROL, VK_F9).registered(); };
    {
        std::vector<ScopedHotkey> held;
        held.emplace_back(nullptr, 1, MOD_CONTROL, VK_F9);
        ASSERT_TRUE(held.back().registered());
        held.emplace_back(nullptr, 3, MOD_CONTROL, VK_F10);  // the vector moves the first
        EXPECT_FALSE(freeAgain());
    }
    EXPECT_TRUE(freeAgain());

    HWND window =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    { ScopedWindow owned(window); }
    EXPECT_FALSE(IsWindow(window));
}

// A bitmap can be selected into one DC at a time: once the memory DC is gone, it is free.
TEST(MemoryDc, GivesItsObjectBackAndDrawsIt) {
    WindowDc screenDc(nullptr);
    HDC screen = screenDc.get();
    const COLORREF red = RGB(255, 0, 0);
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen, 2, 2));
    {
        MemoryDc dc(screen, bitmap.get());
        RECT all = {0, 0, 2, 2};
        ScopedBrush brush(CreateSolidBrush(red));
        FillRect(dc.get(), &all, brush.get());
    }
    ScopedBitmap canvas(CreateCompatibleBitmap(screen, 4, 4));
    MemoryDc target(screen, canvas.get());
    DrawBitmap(target.get(), bitmap.get(), 1, 1);
    EXPECT_EQ(GetPixel(target.get(), 2, 2), red);
    EXPECT_NE(GetPixel(target.get(), 0, 0), red);
}

}  // namespace
