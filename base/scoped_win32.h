#pragma once
// Owners of what Windows hands out: each lets go of what it holds when it goes, so every way
// out of a function closes or deletes exactly once. Move-only, like the things they own.

#include <windows.h>
// windows.h first: setupapi.h builds on its types.
#include <setupapi.h>

#include <utility>

// One owner for every kind of thing; Traits say what "none" is and how to let go.
template <typename Traits>
class Scoped {
  public:
    using Type = typename Traits::Type;

    Scoped() = default;
    explicit Scoped(Type value) : value_(value) {}
    ~Scoped() { Reset(); }
    Scoped(Scoped&& other) noexcept : value_(other.Release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    Type get() const { return value_; }
    bool valid() const { return !Traits::IsNone(value_); }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without letting go.
    Type Release() { return std::exchange(value_, Traits::None()); }
    // Lets go of what it holds and takes `value` instead.
    void Reset(Type value = Traits::None()) {
        if (!Traits::IsNone(value_)) {
            Traits::Free(value_);
        }
        value_ = value;
    }

  private:
    Type value_ = Traits::None();
};

// Kernel handles. The API answers failure with null or INVALID_HANDLE_VALUE, depending on
// the call: both mean none.
struct HandleTraits {
    using Type = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool IsNone(HANDLE handle) {
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    }
    static void Free(HANDLE handle) { CloseHandle(handle); }
};
using ScopedHandle = Scoped<HandleTraits>;

template <typename GdiObject>
struct GdiTraits {
    using Type = GdiObject;
    static GdiObject None() { return nullptr; }
    static bool IsNone(GdiObject object) { return object == nullptr; }
    static void Free(GdiObject object) { DeleteObject(object); }
};
using ScopedBitmap = Scoped<GdiTraits<HBITMAP>>;
using ScopedFont = Scoped<GdiTraits<HFONT>>;
using ScopedBrush = Scoped<GdiTraits<HBRUSH>>;

struct MenuTraits {
    using Type = HMENU;
    static HMENU None() { return nullptr; }
    static bool IsNone(HMENU menu) { return menu == nullptr; }
    static void Free(HMENU menu) { DestroyMenu(menu); }
};
using ScopedMenu = Scoped<MenuTraits>;

struct RegistryKeyTraits {
    using Type = HKEY;
    static HKEY None() { return nullptr; }
    static bool IsNone(HKEY key) { return key == nullptr; }
    static void Free(HKEY key) { RegCloseKey(key); }
};
using ScopedRegistryKey = Scoped<RegistryKeyTraits>;

// A directory search of FindFirstFileA, which answers failure with INVALID_HANDLE_VALUE.
struct FindTraits {
    using Type = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool IsNone(HANDLE search) {
        return search == nullptr || search == INVALID_HANDLE_VALUE;
    }
    static void Free(HANDLE search) { FindClose(search); }
};
using ScopedFind = Scoped<FindTraits>;

// A device-information list of SetupDiGetClassDevsA, which answers failure with
// INVALID_HANDLE_VALUE.
struct DeviceInfoListTraits {
    using Type = HDEVINFO;
    static HDEVINFO None() { return INVALID_HANDLE_VALUE; }
    static bool IsNone(HDEVINFO list) { return list == nullptr || list == INVALID_HANDLE_VALUE; }
    static void Free(HDEVINFO list) { SetupDiDestroyDeviceInfoList(list); }
};
using ScopedDeviceInfoList = Scoped<DeviceInfoListTraits>;

struct HookTraits {
    using Type = HHOOK;
    static HHOOK None() { return nullptr; }
    static bool IsNone(HHOOK hook) { return hook == nullptr; }
    static void Free(HHOOK hook) { UnhookWindowsHookEx(hook); }
};
using ScopedHook = Scoped<HookTraits>;

// A registration for device notifications. Its release is looked up at run time, as its
// registration is: a system without them has nothing to release.
struct DeviceNotificationTraits {
    using Type = HDEVNOTIFY;
    static HDEVNOTIFY None() { return nullptr; }
    static bool IsNone(HDEVNOTIFY notification) { return notification == nullptr; }
    static void Free(HDEVNOTIFY notification) {
        using Unregister = BOOL(WINAPI*)(HDEVNOTIFY);
        HMODULE user32 = GetModuleHandleA("user32.dll");
        auto unregister = reinterpret_cast<Unregister>(reinterpret_cast<void*>(
            user32 != nullptr ? GetProcAddress(user32, "UnregisterDeviceNotification") : nullptr));
        if (unregister != nullptr) {
            unregister(notification);
        }
    }
};
using ScopedDeviceNotification = Scoped<DeviceNotificationTraits>;

// A window this code made and must end, such as a tooltip; not a dialog, which ends itself.
struct WindowTraits {
    using Type = HWND;
    static HWND None() { return nullptr; }
    static bool IsNone(HWND window) { return window == nullptr; }
    static void Free(HWND window) { DestroyWindow(window); }
};
using ScopedWindow = Scoped<WindowTraits>;

// A system-wide hotkey of a window (of the thread, for null), registered for the owner's life.
class ScopedHotkey {
  public:
    ScopedHotkey(HWND window, int id, UINT modifiers, UINT virtualKey)
        : window_(window),
          id_(id),
          registered_(RegisterHotKey(window, id, modifiers, virtualKey) != FALSE) {}
    ~ScopedHotkey() {
        if (registered_) {
            UnregisterHotKey(window_, id_);
        }
    }
    ScopedHotkey(ScopedHotkey&& other) noexcept
        : window_(other.window_),
          id_(other.id_),
          registered_(std::exchange(other.registered_, false)) {}
    ScopedHotkey& operator=(ScopedHotkey&&) = delete;
    ScopedHotkey(const ScopedHotkey&) = delete;
    ScopedHotkey& operator=(const ScopedHotkey&) = delete;

    // False when another program holds the combination.
    bool registered() const { return registered_; }

  private:
    HWND window_;
    int id_;
    bool registered_;
};

// The DC of a window (of the screen, for null), given back to that window when it goes.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory DC compatible with `compatibleWith`, with `object` selected into it; the object
// the DC started with goes back in before the DC is deleted, as GDI requires.
class MemoryDc {
  public:
    MemoryDc(HDC compatibleWith, HGDIOBJ object)
        : dc_(CreateCompatibleDC(compatibleWith)),
          original_(dc_ != nullptr ? SelectObject(dc_, object) : nullptr) {}
    ~MemoryDc() {
        if (dc_ != nullptr) {
            SelectObject(dc_, original_);
            DeleteDC(dc_);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ original_;
};

// Draws the whole bitmap with its top left corner at (x, y) of `target`.
inline void DrawBitmap(HDC target, HBITMAP bitmap, int x, int y) {
    BITMAP size = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof size, &size) == 0) {
        return;
    }
    MemoryDc source(target, bitmap);
    BitBlt(target, x, y, size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY);
}
