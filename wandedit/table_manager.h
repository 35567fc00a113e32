#pragma once
// The application tables of the HotKey Configuration dialog: the list of tables, and the
// commands that load, create, save, delete them and set their program. The windows that ask
// the user and the controls that show the result stay behind two small interfaces.

#include <optional>
#include <string>
#include <vector>

#include "config/file_system.h"
#include "config/ini_paths.h"
#include "config/profile_store.h"
#include "wandedit/hotkey_editor.h"

// How "File path error" ended.
enum class FilePathAnswer { kGiveUp, kAssign, kDismissed };

// The windows the commands ask the user with.
class TableQuestions {
  public:
    virtual ~TableQuestions() = default;
    // "Application Name": the name typed when it ended with OK, nothing after Cancel. It
    // refuses the names ApplicationNameRefusal refuses, against the entries of the list.
    virtual std::optional<std::string> AskApplicationName(
        const std::vector<std::string>& listed) = 0;
    // "File path error", after a program file was not found.
    virtual FilePathAnswer AskForFilePath() = 0;
    // "Delete HotKey" with this message: true for OK.
    virtual bool ConfirmDelete(const std::string& message) = 0;
    // The file-open dialog: the full path of the chosen file, nothing when it was cancelled.
    virtual std::optional<std::string> ChooseProgram() = 0;
};

// The controls that show the tables.
class TableDisplay {
  public:
    virtual ~TableDisplay() = default;
    // The application list, refilled, with the entry to select (-1 for none).
    virtual void ShowList(const std::vector<std::string>& entries, int selected) = 0;
    // The label with the name the table is saved under.
    virtual void ShowApplication(const std::string& name) = 0;
    // The program location edit.
    virtual void ShowProgram(const std::string& path) = 0;
    // The loaded table's first button, selected.
    virtual void ShowLoadedTable() = 0;
    // What the hotkey field and the description box show goes into the table, before a save.
    virtual void KeepShownButton() = 0;
};

// Why "Application Name" refuses `name` (the text of its message box), or nullptr when it
// takes it. `listed` are the list's entries, compared without regard to letter case.
const char* ApplicationNameRefusal(const std::string& name, const std::vector<std::string>& listed);

// The question "Delete HotKey" asks about the table.
std::string DeleteQuestion(const std::string& table);

class TableManager {
  public:
    TableManager(ProfileStore& profiles, HotkeyEditor& editor, FileSystem& files,
                 TableQuestions& questions, TableDisplay& display);

    // Each opening of the dialog: the list from UserDef.ini with `entry` selected, and that
    // table loaded.
    void Open(const IniPaths& paths, int entry);
    // The user chose another entry: its table is loaded and unsaved edits are dropped.
    void Choose(int entry);
    void New();
    void SaveAs();
    void Save();
    // Deletes the table of the list's selected entry (-1: none, nothing happens).
    void Delete(int entry);
    void Browse();

    const std::vector<std::string>& entries() const { return entries_; }
    int selected() const { return selected_; }

  private:
    void FillList(int entry);
    // Asks for a new name; when given, lists it last, selects it and creates its sections.
    std::optional<std::string> AddNamedTable();
    void LoadSelected();
    std::string SelectedName() const;
    void DeleteSelectedTable();

    ProfileStore& profiles_;
    HotkeyEditor& editor_;
    FileSystem& files_;
    TableQuestions& questions_;
    TableDisplay& display_;
    IniPaths paths_;
    std::vector<std::string> entries_;
    int selected_ = -1;
};
