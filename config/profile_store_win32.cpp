#include "config/profile_store_win32.h"

#include <windows.h>

#include <limits>

namespace {

DWORD ToDword(std::size_t capacity) {
    constexpr std::size_t kLargest = std::numeric_limits<DWORD>::max();
    return static_cast<DWORD>(capacity < kLargest ? capacity : kLargest);
}

// Puts the terminator inside the buffer whatever the platform returned.
std::size_t TerminateText(char* buffer, std::size_t capacity, DWORD length) {
    std::size_t end = length < capacity ? length : capacity - 1;
    buffer[end] = '\0';
    return end;
}

// A cut list may come back without its final double zero; force it at the buffer's end.
std::size_t TerminateList(char* buffer, std::size_t capacity, DWORD length) {
    if (capacity < 2) {
        buffer[0] = '\0';
        return 0;
    }
    if (length >= capacity - 2) {
        buffer[capacity - 2] = '\0';
        buffer[capacity - 1] = '\0';
        return capacity - 2;
    }
    buffer[length] = '\0';
    buffer[length + 1] = '\0';
    return length;
}

}  // namespace

std::size_t Win32ProfileStore::ReadString(const std::string& file, const char* section,
                                          const char* key, char* buffer, std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    DWORD length =
        GetPrivateProfileStringA(section, key, "", buffer, ToDword(capacity), file.c_str());
    return TerminateText(buffer, capacity, length);
}

void Win32ProfileStore::WriteString(const std::string& file, const char* section, const char* key,
                                    const char* value) {
    WritePrivateProfileStringA(section, key, value, file.c_str());
}

void Win32ProfileStore::EmptySection(const std::string& file, const char* section) {
    // An empty key list: both of its zeros are in the literal.
    static const char kNoKeys[] = "\0";
    WritePrivateProfileSectionA(section, kNoKeys, file.c_str());
}

std::size_t Win32ProfileStore::ReadSectionNames(const std::string& file, char* buffer,
                                                std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    DWORD length = GetPrivateProfileSectionNamesA(buffer, ToDword(capacity), file.c_str());
    return TerminateList(buffer, capacity, length);
}

std::size_t Win32ProfileStore::ReadSection(const std::string& file, const char* section,
                                           char* buffer, std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    DWORD length = GetPrivateProfileSectionA(section, buffer, ToDword(capacity), file.c_str());
    return TerminateList(buffer, capacity, length);
}
