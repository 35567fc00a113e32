#include "wandedit/settings_editor.h"

#include "base/ascii_case.h"
#include "base/bounded_text.h"
#include "base/trace.h"
#include "config/buttons.h"
#include "config/program_folders.h"
#include "config/user_tables.h"

namespace {

// "FilePath" as the dialog shows it: 255 characters at start-up, 254 after a list change.
constexpr std::size_t kStartFilePathSize = 256;

}  // namespace

int FindTableIgnoringCase(const std::vector<std::string>& tables, const char* name) {
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (EqualsIgnoringCase(tables[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

SettingsEditor::SettingsEditor(Registry& registry, ProfileStore& profiles, TellwandLink& tellwand,
                               int32_t tableSelector)
    : registry_(registry),
      profiles_(profiles),
      tellwand_(tellwand),
      tableSelector_(tableSelector) {}

void SettingsEditor::Load(const std::string& ownFolder) {
    paths_ = IniPathsInFolder(EditorFolder(registry_, ownFolder));
    ReadSettings(registry_, settings_);
    FillTables();
    ShowFilePathOf(settings_.userDefineTable, kStartFilePathSize);
    Trace("table selector %d, user table [%s], OSD %s", tableSelector_, settings_.userDefineTable,
          settings_.enableOsd != 0 ? "on" : "off");
}

void SettingsEditor::WriteSettingsAndTrace() {
    WriteSettings(registry_, settings_);
    Trace("settings written: EnableOSD %u, UserDefineTable [%s]",
          static_cast<unsigned>(settings_.enableOsd), settings_.userDefineTable);
}

void SettingsEditor::ChooseDefault() {
    tableSelector_ = kBuiltInMode;
    // In memory only: the registry keeps the user's choice for user mode.
    settings_.enableOsd = 0;
    tellwand_.PostTableSelector(tableSelector_);
}

void SettingsEditor::ChooseUserDefined() {
    ReadSettings(registry_, settings_);
    FillTables();
    tableSelector_ = kUserMode;
    tellwand_.PostTableSelector(tableSelector_);
}

void SettingsEditor::SelectTable(int index) {
    if (!IsListed(tables_, index)) {
        return;
    }
    selectedTable_ = index;
    CopyBounded(settings_.userDefineTable, tables_[index]);
    ShowFilePathOf(settings_.userDefineTable, kFilePathSize);
    tellwand_.PostTableSelector(tableSelector_);
}

void SettingsEditor::SetOsdEnabled(bool enabled) {
    settings_.enableOsd = enabled ? 1 : 0;
    WriteSettingsAndTrace();
    tellwand_.PostTableSelector(tableSelector_);
}

void SettingsEditor::Commit(int currentIndex) {
    if (tableSelector_ != kUserMode) {
        return;
    }
    // With no entry (no user tables at all) the stored table name is kept, not blanked.
    if (IsListed(tables_, currentIndex)) {
        CopyBounded(settings_.userDefineTable, tables_[currentIndex]);
    }
    // Tellwand re-reads the registry when the message arrives, so the values go first.
    WriteSettingsAndTrace();
    tellwand_.PostTableSelector(tableSelector_);
}

void SettingsEditor::ShowTablesAfterHotkeys(int index, const std::string& lastTable) {
    tables_ = ListUserTables(profiles_, paths_);
    selectedTable_ = IsListed(tables_, index) ? index : -1;
    ShowFilePathOf(lastTable.c_str(), kFilePathSize);
}

// Tables may have been deleted there, so the old index can name another table.
void SettingsEditor::ShowTablesAfterCancelledHotkeys(const std::string& chosenTable) {
    tables_ = ListUserTables(profiles_, paths_);
    selectedTable_ = FindTableIgnoringCase(tables_, chosenTable.c_str());
    ShowFilePathOf(chosenTable.c_str(), kFilePathSize);
}

void SettingsEditor::FillTables() {
    tables_ = ListUserTables(profiles_, paths_);
    selectedTable_ = tables_.empty() ? -1 : 0;
    int named = FindTableIgnoringCase(tables_, settings_.userDefineTable);
    if (named >= 0) {
        selectedTable_ = named;
    }
}

void SettingsEditor::ShowFilePathOf(const char* table, std::size_t capacity) {
    char path[kStartFilePathSize] = {};
    ReadTableFilePath(profiles_, paths_, table, path, capacity);
    filePath_ = path;
}
