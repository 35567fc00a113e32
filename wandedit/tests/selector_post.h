#pragma once
// What Tellwand finds in the registry when WandEdit tells it a table selector. The tests read
// it as each message arrives: WandEdit must have stored its settings before telling.

#include <cstdint>
#include <string>

#include "config/registry.h"
#include "config/settings.h"

struct SelectorPost {
    int32_t tableSelector;  // as Tellwand takes it
    bool settingsStored;    // "EnableOSD" was there
    uint32_t enableOsd;
    std::string userDefineTable;
};

inline SelectorPost ReadSelectorPost(Registry& registry, int32_t tableSelector) {
    SelectorPost post{tableSelector, false, 0, ""};
    post.settingsStored = registry.ReadDword(kSettingsKey, "EnableOSD", &post.enableOsd);
    char name[kTableNameValueSize] = {};
    registry.ReadString(kSettingsKey, "UserDefineTable", name, sizeof name);
    post.userDefineTable = name;
    return post;
}

// The stored "UserDefineTable", empty when there is none.
inline std::string StoredTable(Registry& registry) {
    Settings settings;
    ReadSettings(registry, settings);
    return settings.userDefineTable;
}
