#include "testing/fake_registry.h"

#include <algorithm>
#include <cctype>

#include "base/bounded_text.h"

std::string FakeRegistry::ValueId(const char* key, const char* name) {
    std::string id = std::string(key) + '|' + name;
    std::transform(id.begin(), id.end(), id.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return id;
}

bool FakeRegistry::CreateKey(const char* key) {
    if (failKeyCreation) {
        return false;
    }
    createdKeys.push_back(key);
    return true;
}

const FakeRegistry::Value* FakeRegistry::Find(const char* key, const char* name) const {
    auto found = values_.find(ValueId(key, name));
    return found != values_.end() ? &found->second : nullptr;
}

bool FakeRegistry::ReadDword(const char* key, const char* name, uint32_t* value) {
    const Value* stored = Find(key, name);
    if (stored == nullptr || !stored->isDword) {
        return false;
    }
    *value = stored->number;
    return true;
}

bool FakeRegistry::ReadString(const char* key, const char* name, char* buffer,
                              std::size_t capacity) {
    const Value* stored = Find(key, name);
    if (stored == nullptr || stored->isDword || capacity == 0) {
        return false;
    }
    std::string_view bytes = stored->bytes;
    CopyBounded(buffer, capacity, bytes.substr(0, bytes.find('\0')));
    return true;
}

bool FakeRegistry::WriteDword(const char* key, const char* name, uint32_t value) {
    if (!CreateKey(key)) {
        return false;
    }
    Value& stored = values_[ValueId(key, name)];
    stored = Value{};
    stored.isDword = true;
    stored.number = value;
    return true;
}

bool FakeRegistry::WriteString(const char* key, const char* name, const char* data,
                               std::size_t size) {
    if (!CreateKey(key)) {
        return false;
    }
    Value& stored = values_[ValueId(key, name)];
    stored = Value{};
    stored.bytes.assign(data, size);
    return true;
}

void FakeRegistry::SetString(const char* key, const char* name, const std::string& text) {
    Value& stored = values_[ValueId(key, name)];
    stored = Value{};
    stored.bytes = text + '\0';
}
