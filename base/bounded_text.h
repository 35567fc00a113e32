#pragma once
// Copies into fixed, zero-terminated buffers: never past the end, always terminated.

#include <cstddef>
#include <cstring>
#include <string_view>

// Copies at most capacity - 1 characters of source and terminates; returns the length copied.
inline std::size_t CopyBounded(char* dest, std::size_t capacity, std::string_view source) {
    if (capacity == 0) {
        return 0;
    }
    std::size_t length = source.size() < capacity - 1 ? source.size() : capacity - 1;
    std::memcpy(dest, source.data(), length);
    dest[length] = '\0';
    return length;
}

template <std::size_t N>
std::size_t CopyBounded(char (&dest)[N], std::string_view source) {
    return CopyBounded(dest, N, source);
}

// The text of a fixed buffer up to its terminator, or its whole size when it has none.
template <std::size_t N>
std::string_view BufferText(const char (&buffer)[N]) {
    return std::string_view(buffer, strnlen(buffer, N));
}
