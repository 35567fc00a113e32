#pragma once
// Values under HKEY_LOCAL_MACHINE. Reads open keys for reading only, so they work for users
// without administrator rights; strings read always end inside their buffer.

#include <cstddef>
#include <cstdint>

class Registry {
  public:
    virtual ~Registry() = default;

    // False when the key or the value is missing or not a 4-byte number; *value is then unchanged.
    virtual bool ReadDword(const char* key, const char* name, uint32_t* value) = 0;
    // False when the key or the value is missing; the buffer is then unchanged. A longer value
    // is cut to capacity less one.
    virtual bool ReadString(const char* key, const char* name, char* buffer,
                            std::size_t capacity) = 0;
    // Create or open the key for writing; false when it cannot be, and nothing is written.
    virtual bool WriteDword(const char* key, const char* name, uint32_t value) = 0;
    // Stores `size` bytes of `data` as a REG_SZ value (the whole buffer, terminator included).
    virtual bool WriteString(const char* key, const char* name, const char* data,
                             std::size_t size) = 0;
};
