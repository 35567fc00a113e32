#include "testing/fake_profile_store.h"

#include <algorithm>
#include <cstring>

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::size_t CopyCut(char* buffer, std::size_t capacity, const std::string& value) {
    if (capacity == 0) {
        return 0;
    }
    std::size_t length = std::min(value.size(), capacity - 1);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    return length;
}

// Writes zero-terminated items and a final zero; what does not fit is cut so that the
// buffer still ends in two zeros, as the platform does.
std::size_t CopyList(char* buffer, std::size_t capacity, const std::vector<std::string>& items) {
    if (capacity < 2) {
        if (capacity == 1) {
            buffer[0] = '\0';
        }
        return 0;
    }
    std::size_t used = 0;
    for (const std::string& item : items) {
        std::size_t room = capacity - 2 - used;
        std::size_t length = std::min(item.size(), room);
        std::memcpy(buffer + used, item.data(), length);
        used += length;
        buffer[used++] = '\0';
        if (length < item.size() || used >= capacity - 1) {
            buffer[capacity - 2] = '\0';
            buffer[capacity - 1] = '\0';
            return capacity - 2;
        }
    }
    buffer[used] = '\0';
    return used;
}

}  // namespace

FakeProfileStore::File* FakeProfileStore::FindFile(const std::string& file) {
    for (File& f : files_) {
        if (SameIgnoringCase(f.name, file)) {
            return &f;
        }
    }
    return nullptr;
}

const FakeProfileStore::File* FakeProfileStore::FindFile(const std::string& file) const {
    return const_cast<FakeProfileStore*>(this)->FindFile(file);
}

FakeProfileStore::Section* FakeProfileStore::FindSection(const std::string& file,
                                                         const char* section) {
    File* f = FindFile(file);
    if (f == nullptr) {
        return nullptr;
    }
    for (Section& s : f->sections) {
        if (SameIgnoringCase(s.name, section)) {
            return &s;
        }
    }
    return nullptr;
}

std::size_t FakeProfileStore::ReadString(const std::string& file, const char* section,
                                         const char* key, char* buffer, std::size_t capacity) {
    if (Section* s = FindSection(file, section)) {
        for (const auto& entry : s->keys) {
            if (SameIgnoringCase(entry.first, key)) {
                return CopyCut(buffer, capacity, entry.second);
            }
        }
    }
    return CopyCut(buffer, capacity, "");
}

void FakeProfileStore::WriteString(const std::string& file, const char* section, const char* key,
                                   const char* value) {
    ++writeCount;
    File* f = FindFile(file);
    if (f == nullptr) {
        files_.push_back(File{file, {}});
        f = &files_.back();
    }
    Section* s = FindSection(file, section);
    if (s == nullptr) {
        f->sections.push_back(Section{section, {}});
        s = &f->sections.back();
    }
    for (auto& entry : s->keys) {
        if (SameIgnoringCase(entry.first, key)) {
            entry.second = value;
            return;
        }
    }
    s->keys.emplace_back(key, value);
}

void FakeProfileStore::EmptySection(const std::string& file, const char* section) {
    ++writeCount;
    File* f = FindFile(file);
    if (f == nullptr) {
        files_.push_back(File{file, {}});
        f = &files_.back();
    }
    if (Section* s = FindSection(file, section)) {
        s->keys.clear();
    } else {
        f->sections.push_back(Section{section, {}});
    }
}

std::size_t FakeProfileStore::ReadSectionNames(const std::string& file, char* buffer,
                                               std::size_t capacity) {
    std::vector<std::string> names;
    if (const File* f = FindFile(file)) {
        for (const Section& s : f->sections) {
            names.push_back(s.name);
        }
    }
    return CopyList(buffer, capacity, names);
}

std::size_t FakeProfileStore::ReadSection(const std::string& file, const char* section,
                                          char* buffer, std::size_t capacity) {
    std::vector<std::string> lines;
    if (Section* s = FindSection(file, section)) {
        for (const auto& entry : s->keys) {
            lines.push_back(entry.first + "=" + entry.second);
        }
    }
    return CopyList(buffer, capacity, lines);
}

std::string FakeProfileStore::FileText(const std::string& file) const {
    std::string text;
    if (const File* f = FindFile(file)) {
        for (const Section& s : f->sections) {
            text += "[" + s.name + "]\n";
            for (const auto& entry : s.keys) {
                text += entry.first + "=" + entry.second + "\n";
            }
        }
    }
    return text;
}

bool FakeProfileStore::HasFile(const std::string& file) const {
    return FindFile(file) != nullptr;
}
