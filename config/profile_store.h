#pragma once
// INI (profile) file access, mirroring the platform's private-profile functions: section and
// key names match without regard to case, missing values read as the empty text, and a value
// is cut to the buffer's capacity less one and always terminated.

#include <cstddef>
#include <string>

class ProfileStore {
  public:
    virtual ~ProfileStore() = default;

    // Returns the number of characters stored, not counting the terminator.
    virtual std::size_t ReadString(const std::string& file, const char* section, const char* key,
                                   char* buffer, std::size_t capacity) = 0;
    // Adds or replaces the key, creating the section and the file when needed.
    virtual void WriteString(const std::string& file, const char* section, const char* key,
                             const char* value) = 0;
    // Removes every key of the section; a bare header may remain.
    virtual void EmptySection(const std::string& file, const char* section) = 0;
    // The section names in file order, each zero-terminated, the list ended by a second zero.
    // A list that does not fit is cut; the buffer then still ends in two zeros.
    virtual std::size_t ReadSectionNames(const std::string& file, char* buffer,
                                         std::size_t capacity) = 0;
    // The section's "key=value" lines in the same list form.
    virtual std::size_t ReadSection(const std::string& file, const char* section, char* buffer,
                                    std::size_t capacity) = 0;
};
