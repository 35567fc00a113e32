#pragma once
// The profile store on the platform's private-profile functions.

#include "config/profile_store.h"

class Win32ProfileStore : public ProfileStore {
  public:
    std::size_t ReadString(const std::string& file, const char* section, const char* key,
                           char* buffer, std::size_t capacity) override;
    void WriteString(const std::string& file, const char* section, const char* key,
                     const char* value) override;
    void EmptySection(const std::string& file, const char* section) override;
    std::size_t ReadSectionNames(const std::string& file, char* buffer,
                                 std::size_t capacity) override;
    std::size_t ReadSection(const std::string& file, const char* section, char* buffer,
                            std::size_t capacity) override;
};
