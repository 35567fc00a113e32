#include "wandedit/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CommandLineCase {
    std::vector<std::string> parameters;
    bool startHidden;
    int32_t tableSelector;
};

TEST(EditorCommandLine, FirstParameterThatIsNoOptionDecides) {
    const CommandLineCase cases[] = {
        {{}, true, 0},
        {{"15"}, false, 15},
        {{"0"}, false, 0},
        {{"3"}, false, 3},
        {{"+15"}, false, 15},
        {{"15abc"}, false, 15},
        {{"abc"}, false, 0},
        {{"+"}, false, 0},
        {{""}, false, 0},
        {{"/s"}, true, 0},
        {{"-15"}, true, 0},
        {{"/x", "-y"}, true, 0},
        {{"/x", "15", "7"}, false, 15},
        {{"-y", "abc", "15"}, false, 0},
        {{"++15"}, false, 0},
        {{" 15"}, false, 0},
        {{"--trace=C:\\t\\WandEdit.log", "15"}, false, 15},
        {{"/trace"}, true, 0},
    };
    for (const CommandLineCase& c : cases) {
        std::string shown;
        for (const std::string& p : c.parameters) {
            shown += "[" + p + "]";
        }
        EditorStart start = ParseEditorCommandLine(c.parameters);
        EXPECT_EQ(start.startHidden, c.startHidden) << shown;
        EXPECT_EQ(start.tableSelector, c.tableSelector) << shown;
    }
}

TEST(EditorCommandLine, SelectorTooLargeStaysAtTheLargestValue) {
    EXPECT_EQ(ReadDecimalSelector("2147483647"), 2147483647);
    EXPECT_EQ(ReadDecimalSelector("2147483648"), 2147483647);
    EXPECT_EQ(ReadDecimalSelector("99999999999999999999999"), 2147483647);
}

}  // namespace
