#pragma once
// An in-memory INI store that behaves like the platform's profile functions: case-insensitive
// sections and keys, values cut to capacity less one, sections and keys kept in file order.

#include <string>
#include <utility>
#include <vector>

#include "config/profile_store.h"

class FakeProfileStore : public ProfileStore {
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

    // The file as the platform would write it: "[section]" lines and "key=value" lines.
    std::string FileText(const std::string& file) const;
    bool HasFile(const std::string& file) const;
    int writeCount = 0;

  private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    struct File {
        std::string name;
        std::vector<Section> sections;
    };
    File* FindFile(const std::string& file);
    const File* FindFile(const std::string& file) const;
    Section* FindSection(const std::string& file, const char* section);

    std::vector<File> files_;
};
