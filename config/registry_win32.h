#pragma once
// Registry values under HKEY_LOCAL_MACHINE through the platform's registry functions.

#include "config/registry.h"

class Win32Registry : public Registry {
  public:
    bool ReadDword(const char* key, const char* name, uint32_t* value) override;
    bool ReadString(const char* key, const char* name, char* buffer, std::size_t capacity) override;
    bool WriteDword(const char* key, const char* name, uint32_t value) override;
    bool WriteString(const char* key, const char* name, const char* data,
                     std::size_t size) override;
};
