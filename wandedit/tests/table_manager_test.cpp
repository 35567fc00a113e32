#include "wandedit/table_manager.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "config/program_folders.h"
#include "testing/fake_file_system.h"
#include "testing/fake_profile_store.h"

namespace {

const IniPaths kPaths = IniPathsInFolder("C:\\Tellwand\\");
const char kPlayerProgram[] = "C:\\Player\\player.exe";

// Answers the questions from a script and remembers what was asked.
class ScriptedQuestions : public TableQuestions {
  public:
    std::optional<std::string> AskApplicationName(const std::vector<std::string>& shown) override {
        listed = shown;
        return Next(names);
    }
    FilePathAnswer AskForFilePath() override {
        ++filePathQuestions;
        return Next(filePathAnswers);
    }
    bool ConfirmDelete(const std::string& message) override {
        deleteQuestions.push_back(message);
        return Next(deleteAnswers);
    }
    std::optional<std::string> ChooseProgram() override {
        ++programQuestions;
        return Next(programs);
    }

    std::deque<std::optional<std::string>> names;
    std::deque<FilePathAnswer> filePathAnswers;
    std::deque<bool> deleteAnswers;
    std::deque<std::optional<std::string>> programs;
    std::vector<std::string> listed;
    std::vector<std::string> deleteQuestions;
    int filePathQuestions = 0;
    int programQuestions = 0;

  private:
    template <typename T>
    static T Next(std::deque<T>& script) {
        EXPECT_FALSE(script.empty()) << "a question the test did not expect";
        if (script.empty()) {
            return T{};
        }
        T answer = script.front();
        script.pop_front();
        return answer;
    }
};

// What the dialog's controls would show.
class RecordingDisplay : public TableDisplay {
  public:
    void ShowList(const std::vector<std::string>& shown, int selection) override {
        entries = shown;
        selected = selection;
    }
    void ShowApplication(const std::string& name) override { application = name; }
    void ShowProgram(const std::string& path) override { program = path; }
    void ShowLoadedTable() override { ++loads; }
    void KeepShownButton() override {
        if (keepShown) {
            keepShown();
        }
    }

    std::vector<std::string> entries;
    int selected = -2;
    std::string application;
    std::string program;
    int loads = 0;
    std::function<void()> keepShown;
};

// The 35 "n=value" lines Save writes.
std::string SavedKeys(const std::function<std::string(int)>& value) {
    std::string text;
    for (int n = 0; n < kButtonCount; ++n) {
        text += std::to_string(n) + "=" + value(n) + "\n";
    }
    return text;
}

std::string SavedSection(const char* table, const std::function<std::string(int)>& value) {
    return std::string("[") + table + "]\n" + SavedKeys(value);
}

class TableManagerTest : public ::testing::Test {
  protected:
    TableManagerTest() : editor(profiles), tables(profiles, editor, files, questions, display) {
        profiles.WriteString(kPaths.userDef, "Music", "0", "0-C-X");
        profiles.WriteString(kPaths.userDef, "Music", "FilePath", "C:\\Music\\music.exe");
        profiles.WriteString(kPaths.userDefInf, "Music", "0", "Cut");
        profiles.EmptySection(kPaths.userDef, "Gone");
        profiles.WriteString(kPaths.userDef, "Radio", "FilePath", "C:\\Radio\\radio.exe");
        files.existing.insert(kPlayerProgram);
        userDef = profiles.FileText(kPaths.userDef);
        userDefInf = profiles.FileText(kPaths.userDefInf);
    }
    void OpenOn(int entry) {
        tables.Open(kPaths, entry);
        display.loads = 0;
    }
    // The user types into the field and box of the selected button before the command.
    void TypeIntoShownButton(HotkeyRecord field, const char* description) {
        display.keepShown = [this, field, description] { editor.Select(0, field, description); };
    }
    bool Unchanged() {
        return profiles.FileText(kPaths.userDef) == userDef &&
               profiles.FileText(kPaths.userDefInf) == userDefInf;
    }

    FakeProfileStore profiles;
    FakeFileSystem files;
    ScriptedQuestions questions;
    RecordingDisplay display;
    HotkeyEditor editor;
    TableManager tables;
    std::string userDef;
    std::string userDefInf;
};

TEST(ApplicationName, RefusesTakenEmptyLongAndSectionBreakingNames) {
    const std::vector<std::string> listed = {"Music", "Radio"};
    struct Case {
        const char* name;
        const char* refusal;
    };
    const Case cases[] = {
        {"Player", nullptr},
        {"Music", "Application name exist"},
        {"rADIO", "Application name exist"},
        {"", "Please enter the application name"},
        {"Nineteen characters", nullptr},
        {"Twenty characters!!", nullptr},
        {"Twenty characters!!!", "Please enter at most 19 characters"},
        {"[Player", "Please enter the application name without [ or ]"},
        {"Play]er", "Please enter the application name without [ or ]"},
        {";Player", "Please begin the application name with neither ; nor a blank"},
        {" Player", "Please begin the application name with neither ; nor a blank"},
        {"\tPlayer", "Please begin the application name with neither ; nor a blank"},
        {"My Player;2", nullptr},
    };
    for (const Case& c : cases) {
        const char* refusal = ApplicationNameRefusal(c.name, listed);
        EXPECT_STREQ(refusal, c.refusal) << '"' << c.name << '"';
    }
}

TEST_F(TableManagerTest, ListsTablesWithKeysInFileOrderAndLoadsTheChosenOne) {
    OpenOn(1);
    EXPECT_EQ(display.entries, (std::vector<std::string>{"Music", "Radio"}));
    EXPECT_EQ(display.selected, 1);
    EXPECT_EQ(display.application, "Radio");
    EXPECT_EQ(display.program, "C:\\Radio\\radio.exe");

    // An index the list does not have selects nothing.
    OpenOn(5);
    EXPECT_EQ(display.selected, -1);
    EXPECT_EQ(display.application, "");
}

TEST_F(TableManagerTest, NewWithAnExistingProgramGetsOnlyItsFilePath) {
    OpenOn(0);
    questions.names = {"Player"};
    questions.programs = {kPlayerProgram};
    tables.New();

    EXPECT_EQ(questions.listed, (std::vector<std::string>{"Music", "Radio"}));
    EXPECT_EQ(display.entries, (std::vector<std::string>{"Music", "Radio", "Player"}));
    EXPECT_EQ(display.selected, 2);
    EXPECT_EQ(display.application, "Player");
    EXPECT_EQ(display.program, kPlayerProgram);
    EXPECT_EQ(display.loads, 1);
    EXPECT_EQ(questions.filePathQuestions, 0);
    EXPECT_EQ(profiles.FileText(kPaths.userDef),
              userDef + "[Player]\nFilePath=C:\\Player\\player.exe\n");
    EXPECT_EQ(profiles.FileText(kPaths.userDefInf), userDefInf);
    for (int n = 0; n < kButtonCount; ++n) {
        EXPECT_EQ(editor.hotkey(n).virtualKey, 0) << n;
        EXPECT_STREQ(editor.description(n), "") << n;
    }
    // Listed again after the dialog is opened afresh, last.
    OpenOn(2);
    EXPECT_EQ(display.application, "Player");
}

TEST_F(TableManagerTest, NewCancelledAtTheNameWritesNothing) {
    OpenOn(0);
    questions.names = {std::nullopt};
    tables.New();
    EXPECT_EQ(questions.programQuestions, 0);
    EXPECT_EQ(display.entries.size(), 2u);
    EXPECT_TRUE(Unchanged());
}

TEST_F(TableManagerTest, NewWithoutAProgramThenGiveUpEmptiesBothSectionsAndLoadsTheFirst) {
    OpenOn(1);
    questions.names = {"Player"};
    questions.programs = {std::nullopt};
    questions.filePathAnswers = {FilePathAnswer::kGiveUp};
    tables.New();

    EXPECT_EQ(profiles.FileText(kPaths.userDef), userDef + "[Player]\n");
    EXPECT_EQ(profiles.FileText(kPaths.userDefInf), userDefInf + "[Player]\n");
    EXPECT_EQ(display.entries, (std::vector<std::string>{"Music", "Radio"}));
    EXPECT_EQ(display.selected, 0);
    EXPECT_EQ(display.application, "Music");
    EXPECT_EQ(display.loads, 1);
}

TEST_F(TableManagerTest, AssignAsksAgainUntilTheProgramExists) {
    OpenOn(0);
    questions.names = {"Player"};
    questions.programs = {"C:\\Nowhere\\none.exe", std::nullopt, kPlayerProgram};
    questions.filePathAnswers = {FilePathAnswer::kAssign, FilePathAnswer::kAssign};
    tables.New();

    EXPECT_EQ(questions.filePathQuestions, 2);
    EXPECT_EQ(questions.programQuestions, 3);
    EXPECT_EQ(profiles.FileText(kPaths.userDef),
              userDef + "[Player]\nFilePath=C:\\Player\\player.exe\n");
    EXPECT_EQ(display.application, "Player");
}

TEST_F(TableManagerTest, NewDismissedKeepsTheNewNameSelectedAndSaveWritesUnderTheShownTable) {
    OpenOn(1);
    questions.names = {"Player"};
    questions.programs = {std::nullopt};
    questions.filePathAnswers = {FilePathAnswer::kDismissed};
    tables.New();

    EXPECT_EQ(display.entries.back(), "Player");
    EXPECT_EQ(display.selected, 2);
    EXPECT_EQ(display.application, "Radio");
    EXPECT_EQ(display.program, "C:\\Radio\\radio.exe");
    EXPECT_EQ(display.loads, 0);
    EXPECT_EQ(profiles.FileText(kPaths.userDef), userDef + "[Player]\n");

    tables.Save();
    EXPECT_EQ(profiles.FileText(kPaths.userDef),
              "[Music]\n0=0-C-X\nFilePath=C:\\Music\\music.exe\n[Gone]\n[Radio]\n"
              "FilePath=C:\\Radio\\radio.exe\n" +
                  SavedKeys([](int) { return "0-"; }) + "[Player]\n");
}

TEST_F(TableManagerTest, SaveAsWritesTheEditsUnderTheNewNameAndLeavesTheOldTable) {
    OpenOn(0);
    TypeIntoShownButton({'Q', 0}, "Quit");
    questions.names = {"Copy"};
    tables.SaveAs();

    EXPECT_EQ(display.entries, (std::vector<std::string>{"Music", "Radio", "Copy"}));
    EXPECT_EQ(display.selected, 2);
    EXPECT_EQ(display.application, "Copy");
    EXPECT_EQ(display.program, "C:\\Music\\music.exe");  // shown, but not the new table's
    EXPECT_EQ(profiles.FileText(kPaths.userDef),
              userDef + SavedSection("Copy", [](int n) { return n == 0 ? "0-Q" : "0-"; }));
    EXPECT_EQ(profiles.FileText(kPaths.userDefInf),
              userDefInf + SavedSection("Copy", [](int n) { return n == 0 ? "Quit" : ""; }));

    // Save goes on writing under the new name.
    TypeIntoShownButton({'W', 0}, "Write");
    tables.Save();
    char text[32] = {};
    profiles.ReadString(kPaths.userDef, "Copy", "0", text, sizeof text);
    EXPECT_STREQ(text, "0-W");
    profiles.ReadString(kPaths.userDef, "Music", "0", text, sizeof text);
    EXPECT_STREQ(text, "0-C-X");
}

TEST_F(TableManagerTest, SaveAsCancelledWritesNothing) {
    OpenOn(0);
    questions.names = {std::nullopt};
    tables.SaveAs();
    EXPECT_EQ(display.application, "Music");
    EXPECT_TRUE(Unchanged());
}

TEST_F(TableManagerTest, DeleteAsksAboutTheSelectedTableAndRemovesItWhenConfirmed) {
    OpenOn(1);
    questions.deleteAnswers = {false, true};
    tables.Delete(1);
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(display.entries.size(), 2u);

    tables.Delete(1);
    EXPECT_EQ(questions.deleteQuestions,
              (std::vector<std::string>(2, "Delete HotKey for \"Radio\" Application ?")));
    EXPECT_EQ(profiles.FileText(kPaths.userDef),
              "[Music]\n0=0-C-X\nFilePath=C:\\Music\\music.exe\n[Gone]\n[Radio]\n");
    EXPECT_EQ(profiles.FileText(kPaths.userDefInf), userDefInf + "[Radio]\n");
    EXPECT_EQ(display.entries, (std::vector<std::string>{"Music"}));
    EXPECT_EQ(display.selected, 0);
    EXPECT_EQ(display.application, "Music");
    EXPECT_EQ(display.loads, 1);
}

TEST_F(TableManagerTest, DeleteWithoutASelectedEntryDoesNothing) {
    OpenOn(0);
    tables.Delete(-1);
    EXPECT_TRUE(questions.deleteQuestions.empty());
    EXPECT_TRUE(Unchanged());
}

TEST_F(TableManagerTest, BrowseWritesTheProgramOfTheShownTable) {
    OpenOn(1);
    questions.programs = {std::nullopt, kPlayerProgram};
    tables.Browse();
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(display.program, "C:\\Radio\\radio.exe");

    tables.Browse();
    EXPECT_EQ(display.program, kPlayerProgram);
    EXPECT_EQ(profiles.FileText(kPaths.userDef),
              "[Music]\n0=0-C-X\nFilePath=C:\\Music\\music.exe\n[Gone]\n[Radio]\n"
              "FilePath=C:\\Player\\player.exe\n");
}

TEST_F(TableManagerTest, BrowseWithoutATableWritesNothing) {
    OpenOn(-1);
    questions.programs = {kPlayerProgram};
    tables.Browse();
    EXPECT_TRUE(Unchanged());
}

TEST_F(TableManagerTest, ChoosingAnotherTableDropsUnsavedEdits) {
    OpenOn(0);
    TypeIntoShownButton({'Q', 0}, "Quit");
    display.KeepShownButton();
    tables.Choose(1);
    tables.Choose(0);
    EXPECT_EQ(display.loads, 2);
    EXPECT_STREQ(editor.description(0), "Cut");
    EXPECT_TRUE(Unchanged());
}

}  // namespace
