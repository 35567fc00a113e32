#include "config/key_table.h"

#include "keyseq/key_sequence.h"

void LoadKeyTable(ProfileStore& profiles, const IniPaths& paths, const char* section, bool user,
                  KeyTable& table) {
    const std::string& textFile = user ? paths.userDef : paths.twCtrl;
    for (int n = 0; n < kButtonCount; ++n) {
        KeyAction& record = table[n];
        record = KeyAction{};
        ButtonKey key(n);
        profiles.ReadString(textFile, section, key.text, record.text, sizeof record.text);
        if (user) {
            profiles.ReadString(paths.userDefInf, section, key.text, record.description,
                                sizeof record.description);
        }
        ParseKeySequence(record);
    }
}
