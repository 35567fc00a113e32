#pragma once
// An in-memory registry: values under case-insensitive key and value names, the keys that
// writes created (as spelled), and a switch that makes key creation fail.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/registry.h"

class FakeRegistry : public Registry {
  public:
    struct Value {
        bool isDword = false;
        uint32_t number = 0;
        std::string bytes;  // a string value as written, terminator and padding included
    };

    bool ReadDword(const char* key, const char* name, uint32_t* value) override;
    bool ReadString(const char* key, const char* name, char* buffer, std::size_t capacity) override;
    bool WriteDword(const char* key, const char* name, uint32_t value) override;
    bool WriteString(const char* key, const char* name, const char* data,
                     std::size_t size) override;

    // Sets a string value as an installation would, terminator included.
    void SetString(const char* key, const char* name, const std::string& text);
    const Value* Find(const char* key, const char* name) const;

    bool failKeyCreation = false;
    std::vector<std::string> createdKeys;

  private:
    static std::string ValueId(const char* key, const char* name);
    bool CreateKey(const char* key);

    std::map<std::string, Value> values_;
};
