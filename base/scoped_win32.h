#pragma once
// Owners of what Windows hands out: each lets go of what it holds when it goes, so every way
// out of a function closes or deletes exactly once. Move-only, like the things they own.

#include <windows.h>

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
