#include "config/settings.h"

void ReadSettings(Registry& registry, Settings& settings) {
    registry.ReadDword(kSettingsKey, "EnableOSD", &settings.enableOsd);
    registry.ReadString(kSettingsKey, "UserDefineTable", settings.userDefineTable,
                        sizeof settings.userDefineTable);
}

void WriteSettings(Registry& registry, const Settings& settings) {
    if (!registry.WriteDword(kSettingsKeyAsCreated, "EnableOSD", settings.enableOsd)) {
        return;
    }
    // The whole buffer goes in, as the other program expects a 128-byte value.
    registry.WriteString(kSettingsKeyAsCreated, "UserDefineTable", settings.userDefineTable,
                         sizeof settings.userDefineTable);
}
