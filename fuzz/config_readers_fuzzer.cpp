// The configuration readers on any file content. The input holds up to four texts separated
// by form feeds: TWCtrl.ini, UserDef.ini, UserDefInf.ini and the settings key's values
// ("name=value" lines; a value of digits is written as a number).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/key_table.h"
#include "config/settings.h"
#include "config/user_tables.h"
#include "fuzz/ini_text.h"
#include "fuzz/key_action_checks.h"
#include "keyseq/key_player.h"
#include "testing/fake_registry.h"

namespace {

std::vector<std::string_view> SplitAtFormFeeds(std::string_view text) {
    std::vector<std::string_view> parts;
    while (parts.size() < 3) {
        std::size_t end = text.find('\f');
        if (end == std::string_view::npos) {
            break;
        }
        parts.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    parts.push_back(text);
    parts.resize(4);
    return parts;
}

void WriteRegistryText(std::string_view text, FakeRegistry& registry) {
    ForEachIniValue(text, [&](const std::string&, const std::string& name,
                              const std::string& value) {
        if (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos) {
            registry.WriteDword(kSettingsKey, name.c_str(),
                                static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10)));
        } else {
            registry.SetString(kSettingsKey, name.c_str(), value);
        }
    });
}

void CheckTable(FakeProfileStore& profiles, const IniPaths& paths, const char* section, bool user) {
    KeyTable table;
    LoadKeyTable(profiles, paths, section, user, table);
    for (const KeyAction& record : table) {
        CheckLoadedRecord(record);
        FUZZ_CHECK(user || record.description[0] == '\0');
    }
}

// Every capacity from the one that holds nothing to one beyond any value; an exact-size
// buffer, so a write past it is caught.
void CheckFilePath(FakeProfileStore& profiles, const IniPaths& paths, const char* table,
                   std::size_t capacity) {
    std::unique_ptr<char[]> buffer(new char[capacity]);
    std::size_t length = ReadTableFilePath(profiles, paths, table, buffer.get(), capacity);
    FUZZ_CHECK(length < capacity);
    FUZZ_CHECK(std::strlen(buffer.get()) == length);
}

void CheckUserTables(FakeProfileStore& profiles, const IniPaths& paths) {
    std::vector<std::string> tables = ListUserTables(profiles, paths);
    FUZZ_CHECK(tables.size() <= kMaxListedTables);
    for (const std::string& name : tables) {
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(name.size() <= kListedTableNameSize - 1);
        FUZZ_CHECK(name.find('\0') == std::string::npos);
        CheckTable(profiles, paths, name.c_str(), true);
        KeyTable keys;
        char filePath[kFilePathSize];
        LoadUserTable(profiles, paths, name.c_str(), keys, filePath);
        FUZZ_CHECK(strnlen(filePath, sizeof filePath) <= kFilePathSize - 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts = SplitAtFormFeeds(text);
    IniPaths paths{"TWCtrl.ini", "UserDef.ini", "UserDefInf.ini"};
    FakeProfileStore profiles;
    ReadIniText(parts[0], paths.twCtrl, profiles);
    ReadIniText(parts[1], paths.userDef, profiles);
    ReadIniText(parts[2], paths.userDefInf, profiles);
    FakeRegistry registry;
    WriteRegistryText(parts[3], registry);

    for (const char* section : {"VCR", "DVD", "FM", "TELETEXT"}) {
        CheckTable(profiles, paths, section, false);
    }
    CheckUserTables(profiles, paths);

    Settings settings;
    ReadSettings(registry, settings);
    FUZZ_CHECK(strnlen(settings.userDefineTable, kTableNameValueSize) < kTableNameValueSize);
    CheckTable(profiles, paths, settings.userDefineTable, true);
    for (std::size_t capacity :
         {std::size_t{1}, std::size_t{2}, std::size_t{20}, kFilePathSize, std::size_t{300}}) {
        CheckFilePath(profiles, paths, settings.userDefineTable, capacity);
    }
    return 0;
}
