#pragma once
// The two settings values that WandEdit writes and both programs read.

#include <cstdint>

#include "config/registry.h"

constexpr char kSettingsKey[] = "Software\\VELQ\\Tellwand";
constexpr char kSettingsKeyAsCreated[] = "SOFTWARE\\VELQ\\Tellwand";
constexpr std::size_t kTableNameValueSize = 128;  // "UserDefineTable", 127 characters at most

struct Settings {
    uint32_t enableOsd = 0;
    char userDefineTable[kTableNameValueSize] = {};
};

// A missing key or value leaves the previous value.
void ReadSettings(Registry& registry, Settings& settings);

// Both values, always as a pair; nothing when the key cannot be created.
void WriteSettings(Registry& registry, const Settings& settings);
