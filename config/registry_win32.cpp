#include "config/registry_win32.h"

#include <windows.h>

#include <vector>

#include "base/bounded_text.h"
#include "base/scoped_win32.h"

namespace {

// An open key of HKEY_LOCAL_MACHINE, closed when it goes out of scope.
class OpenKey {
  public:
    // Read access only: full access fails for users without administrator rights.
    bool OpenForReading(const char* key) {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
            return false;
        }
        key_.Reset(opened);
        return true;
    }
    bool CreateForWriting(const char* key) {
        char noClass[] = "";
        HKEY created = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, noClass, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        key_.Reset(created);
        return true;
    }
    HKEY handle() const { return key_.get(); }

  private:
    ScopedRegistryKey key_;
};

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The whole value, however long, so that a cut copy can be taken from it.
bool QueryStringValue(HKEY key, const char* name, std::vector<char>& data) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        !IsStringType(type)) {
        return false;
    }
    // One zero more than the value: a stored string need not carry its terminator.
    data.assign(size + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS ||
        !IsStringType(type)) {
        return false;
    }
    return true;
}

}  // namespace

bool Win32Registry::ReadDword(const char* key, const char* name, uint32_t* value) {
    OpenKey opened;
    if (!opened.OpenForReading(key)) {
        return false;
    }
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(opened.handle(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data) {
        return false;
    }
    *value = data;
    return true;
}

bool Win32Registry::ReadString(const char* key, const char* name, char* buffer,
                               std::size_t capacity) {
    OpenKey opened;
    std::vector<char> data;
    if (capacity == 0 || !opened.OpenForReading(key) ||
        !QueryStringValue(opened.handle(), name, data)) {
        return false;
    }
    CopyBounded(buffer, capacity, data.data());
    return true;
}

bool Win32Registry::WriteDword(const char* key, const char* name, uint32_t value) {
    OpenKey opened;
    if (!opened.CreateForWriting(key)) {
        return false;
    }
    DWORD data = value;
    return RegSetValueExA(opened.handle(), name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool Win32Registry::WriteString(const char* key, const char* name, const char* data,
                                std::size_t size) {
    OpenKey opened;
    if (!opened.CreateForWriting(key)) {
        return false;
    }
    return RegSetValueExA(opened.handle(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}
