#include "config/default_tables.h"

#include "base/bounded_text.h"

namespace {

struct DefaultTableText {
    const char* name;
    const char* texts[kButtonCount];
};

const DefaultTableText kDefaultTables[] = {
    {"VCR", {"0-C-X",   "0-F2",  "0-C-D", "",      "0-C-T", "0-F4",  "0-C-E",      "0-C",  "0-B",
             "0-Space", "0-TAB", "0-R",   "0-S",   "0-T",   "0-ADD", "0-SUBTRACT", "0-Q",  "0-N",
             "0-P",     "0-Z",   "0-C-S", "0-C-M", "0-1",   "0-2",   "0-3",        "0-4",  "0-5",
             "0-6",     "0-7",   "0-8",   "0-9",   "0-C-R", "0-0",   "0-C-U",      "0-C-C"}},
    {"DVD",
     {"0-C-X",   "",    "",       "",          "0-L",   "0-U",   "0-H",        "0-C",    "0-B",
      "0-Space", "0-F", "0-C-R",  "0-S",       "0-C-E", "0-ADD", "0-SUBTRACT", "0-Q",    "0-N",
      "0-P",     "0-Z", "0-C-F2", "1-NUMLOCK", "",      "1-UP",  "",           "1-LEFT", "0-Enter",
      "1-RIGHT", "",    "1-DOWN", "",          "0-R",   "",      "0-F2",       "0-C-C"}},
};

constexpr int kDefaultTableCount = sizeof kDefaultTables / sizeof kDefaultTables[0];

void WriteDefaultTable(ProfileStore& profiles, const std::string& twCtrlPath,
                       const DefaultTable& table) {
    for (int n = 0; n < kButtonCount; ++n) {
        ButtonKey key(n);
        profiles.WriteString(twCtrlPath, table.name, key.text, table.entries[n].text);
    }
}

}  // namespace

void BuildDefaultTable(int kind, DefaultTable& table) {
    table = DefaultTable{};
    if (kind < 0 || kind >= kDefaultTableCount) {
        return;
    }
    const DefaultTableText& source = kDefaultTables[kind];
    CopyBounded(table.name, source.name);
    for (int n = 0; n < kButtonCount; ++n) {
        CopyBounded(table.entries[n].text, source.texts[n]);
    }
}

void WriteDefaultTables(ProfileStore& profiles, const std::string& twCtrlPath) {
    for (int kind : {kVcrTableKind, kDvdTableKind}) {
        DefaultTable table;
        BuildDefaultTable(kind, table);
        WriteDefaultTable(profiles, twCtrlPath, table);
    }
}

bool CreateDefaultTablesIfMissing(FileSystem& files, ProfileStore& profiles,
                                  const std::string& twCtrlPath) {
    // Only a file this call created gets the defaults: one that exists but cannot be read at
    // the moment (another program holds it) is the user's, and stays as it is.
    if (!files.CreateNewFile(twCtrlPath)) {
        return false;
    }
    WriteDefaultTables(profiles, twCtrlPath);
    return true;
}
