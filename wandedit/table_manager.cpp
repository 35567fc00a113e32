#include "wandedit/table_manager.h"

#include "base/trace.h"
#include "config/user_tables.h"
#include "wandedit/settings_editor.h"

namespace {

// The longest name the current-table buffers of both programs hold.
constexpr std::size_t kMaxApplicationName = kTableNameSize - 1;

// The INI format reads '[' and ']' as the bounds of a section name, ';' at the start of a
// line as a comment, and drops the blanks around a name.
bool BreaksSectionName(const std::string& name) {
    return name.find_first_of("[]") != std::string::npos;
}

bool StartsBadly(const std::string& name) {
    return name[0] == ';' || name[0] == ' ' || name[0] == '\t';
}

}  // namespace

const char* ApplicationNameRefusal(const std::string& name,
                                   const std::vector<std::string>& listed) {
    if (FindTableIgnoringCase(listed, name.c_str()) >= 0) {
        return "Application name exist";
    }
    if (name.empty()) {
        return "Please enter the application name";
    }
    if (name.size() > kMaxApplicationName) {
        return "Please enter at most 19 characters";
    }
    if (BreaksSectionName(name)) {
        return "Please enter the application name without [ or ]";
    }
    if (StartsBadly(name)) {
        return "Please begin the application name with neither ; nor a blank";
    }
    return nullptr;
}

std::string DeleteQuestion(const std::string& table) {
    return "Delete HotKey for \"" + table + "\" Application ?";
}

TableManager::TableManager(ProfileStore& profiles, HotkeyEditor& editor, FileSystem& files,
                           TableQuestions& questions, TableDisplay& display)
    : profiles_(profiles),
      editor_(editor),
      files_(files),
      questions_(questions),
      display_(display) {}

void TableManager::Open(const IniPaths& paths, int entry) {
    paths_ = paths;
    editor_.SetPaths(paths);
    FillList(entry);
    LoadSelected();
}

void TableManager::Choose(int entry) {
    selected_ = entry;
    LoadSelected();
}

void TableManager::New() {
    std::optional<std::string> name = AddNamedTable();
    if (!name) {
        return;
    }
    std::string path = questions_.ChooseProgram().value_or("");
    while (!files_.FileExists(path)) {
        switch (questions_.AskForFilePath()) {
            case FilePathAnswer::kGiveUp:
                DeleteSelectedTable();
                return;
            case FilePathAnswer::kAssign:
                path = questions_.ChooseProgram().value_or("");
                break;
            case FilePathAnswer::kDismissed:
                // The new name stays selected; the dialog still shows the previous table.
                return;
        }
    }
    SetTableProgram(profiles_, paths_, name->c_str(), path.c_str());
    Trace("table command New: [%s], program %s", name->c_str(), path.c_str());
    LoadSelected();
}

void TableManager::SaveAs() {
    std::optional<std::string> name = AddNamedTable();
    if (!name) {
        return;
    }
    Trace("table command Save As: [%s]", name->c_str());
    editor_.SetApplication(*name);
    display_.ShowApplication(*name);
    Save();
}

void TableManager::Save() {
    display_.KeepShownButton();
    editor_.Save();
}

void TableManager::Delete(int entry) {
    selected_ = entry;
    std::string name = SelectedName();
    if (name.empty() || !questions_.ConfirmDelete(DeleteQuestion(name))) {
        return;
    }
    DeleteSelectedTable();
}

void TableManager::Browse() {
    std::optional<std::string> path = questions_.ChooseProgram();
    if (!path) {
        return;
    }
    display_.ShowProgram(*path);
    Trace("table command Browse: [%s], program %s", editor_.application().c_str(), path->c_str());
    SetTableProgram(profiles_, paths_, editor_.application().c_str(), path->c_str());
}

void TableManager::FillList(int entry) {
    entries_ = ListUserTables(profiles_, paths_);
    selected_ = IsListed(entries_, entry) ? entry : -1;
    display_.ShowList(entries_, selected_);
}

std::optional<std::string> TableManager::AddNamedTable() {
    std::optional<std::string> name = questions_.AskApplicationName(entries_);
    if (name) {
        entries_.push_back(*name);
        selected_ = static_cast<int>(entries_.size()) - 1;
        display_.ShowList(entries_, selected_);
        CreateUserTable(profiles_, paths_, name->c_str());
    }
    return name;
}

void TableManager::LoadSelected() {
    editor_.LoadTable(SelectedName());
    display_.ShowApplication(editor_.application());
    display_.ShowProgram(editor_.filePath());
    display_.ShowLoadedTable();
}

std::string TableManager::SelectedName() const {
    return ListedTable(entries_, selected_);
}

void TableManager::DeleteSelectedTable() {
    Trace("table command Delete: [%s] from %s and %s", SelectedName().c_str(),
          paths_.userDef.c_str(), paths_.userDefInf.c_str());
    DeleteUserTable(profiles_, paths_, SelectedName().c_str());
    FillList(0);
    LoadSelected();
}
