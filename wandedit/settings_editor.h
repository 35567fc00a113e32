#pragma once
// What the settings dialog decides: the mode, the user table, the OSD switch, what it stores
// in the registry and what it tells Tellwand. The dialog shows the result and passes in the
// user's choices.

#include <cstdint>
#include <string>
#include <vector>

#include "config/ini_paths.h"
#include "config/profile_store.h"
#include "config/registry.h"
#include "config/settings.h"

// Tellwand's window, as far as the editor needs it.
class TellwandLink {
  public:
    virtual ~TellwandLink() = default;
    // Tells Tellwand the table selector; nothing happens while its window is not known.
    virtual void PostTableSelector(int32_t tableSelector) = 0;
};

class SettingsEditor {
  public:
    SettingsEditor(Registry& registry, ProfileStore& profiles, TellwandLink& tellwand,
                   int32_t tableSelector);

    // The INI paths in the installation folder ("Path", else the program's own folder), the
    // user tables and the two registry values; the table named by "UserDefineTable" is
    // selected and its "FilePath" shown.
    void Load(const std::string& ownFolder);

    void ChooseDefault();
    void ChooseUserDefined();
    // The list's selection changed to `index`; the registry keeps the previous table until OK.
    void SelectTable(int index);
    // The OSD check box was clicked.
    void SetOsdEnabled(bool enabled);
    // OK, with the list's current entry (-1 for none).
    void Commit(int currentIndex);
    // Back from the HotKey Configuration dialog: the tables listed again with the entry at
    // `index` selected, and the "FilePath" of the table the dialog showed last. The user
    // table name, the registry and Tellwand are left alone.
    void ShowTablesAfterHotkeys(int index, const std::string& lastTable);
    // Back from it after Cancel: the tables listed again with `chosenTable`, the one selected
    // before, found again by its name (none when it was deleted there), and its "FilePath".
    void ShowTablesAfterCancelledHotkeys(const std::string& chosenTable);

    // Tellwand's request to show the OSD is passed on only while the OSD is wanted.
    bool OsdWanted() const { return settings_.enableOsd != 0; }
    // The radio button "User Defined" and the user-table controls.
    bool UserMode() const { return tableSelector_ != 0; }
    int32_t tableSelector() const { return tableSelector_; }
    const std::vector<std::string>& tables() const { return tables_; }
    // The entry to select after a load or a refill; -1 when the list is empty.
    int selectedTable() const { return selectedTable_; }
    const std::string& filePath() const { return filePath_; }
    const char* userTableName() const { return settings_.userDefineTable; }
    const IniPaths& paths() const { return paths_; }

  private:
    void WriteSettingsAndTrace();
    void FillTables();
    void ShowFilePathOf(const char* table, std::size_t capacity);

    Registry& registry_;
    ProfileStore& profiles_;
    TellwandLink& tellwand_;
    int32_t tableSelector_;
    Settings settings_;
    IniPaths paths_;
    std::vector<std::string> tables_;
    int selectedTable_ = -1;
    std::string filePath_;
};

// Index of the first table equal to the name, ignoring ASCII letter case; -1 when none is.
int FindTableIgnoringCase(const std::vector<std::string>& tables, const char* name);
