// What every profile store must do, as the platform's profile functions do it.

#include <string>
#include <vector>

#include "config/tests/store_under_test.h"

namespace {

// The zero-separated items of a list, up to its terminating empty item.
std::vector<std::string> ListItems(const char* list, std::size_t size) {
    std::vector<std::string> items;
    std::size_t at = 0;
    while (at < size && list[at] != '\0') {
        std::string item(list + at, strnlen(list + at, size - at));
        at += item.size() + 1;
        items.push_back(item);
    }
    return items;
}

TEST_P(ProfileStoreContract, MissingFileSectionOrKeyReadsAsEmptyText) {
    const std::string file = FileInFolder("a.ini");
    store().WriteString(file, "Present", "key", "value");
    struct Case {
        std::string file;
        const char* section;
        const char* key;
    } cases[] = {
        {FileInFolder("missing.ini"), "Present", "key"},
        {file, "Absent", "key"},
        {file, "Present", "absent"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.section + " " + c.key);
        char buffer[8] = "xxxxxxx";
        EXPECT_EQ(store().ReadString(c.file, c.section, c.key, buffer, sizeof buffer), 0u);
        EXPECT_STREQ(buffer, "");
    }
}

TEST_P(ProfileStoreContract, SectionAndKeyNamesMatchWithoutRegardToCase) {
    const std::string file = FileInFolder("a.ini");
    store().WriteString(file, "Music", "FilePath", "first");
    store().WriteString(file, "MUSIC", "filepath", "second");

    char value[16];
    store().ReadString(file, "music", "FILEPATH", value, sizeof value);
    EXPECT_STREQ(value, "second");
    char names[64];
    store().ReadSectionNames(file, names, sizeof names);
    EXPECT_EQ(ListItems(names, sizeof names), std::vector<std::string>{"Music"});
    char lines[64];
    store().ReadSection(file, "Music", lines, sizeof lines);
    EXPECT_EQ(ListItems(lines, sizeof lines), std::vector<std::string>{"FilePath=second"});
}

TEST_P(ProfileStoreContract, ValuesAreCutToCapacityLessOneAndNothingBeyondIsTouched) {
    const std::string file = FileInFolder("a.ini");
    const std::string longValue(2000, 'v');
    store().WriteString(file, "Table", "0", longValue.c_str());
    for (std::size_t capacity : {1u, 2u, 5u, 30u, 255u, 1024u}) {
        SCOPED_TRACE(capacity);
        std::vector<char> buffer(capacity + 8, '#');
        std::size_t length = store().ReadString(file, "Table", "0", buffer.data(), capacity);
        EXPECT_EQ(length, capacity - 1);
        EXPECT_EQ(std::string(buffer.data()), longValue.substr(0, capacity - 1));
        EXPECT_EQ(std::string(buffer.begin() + capacity, buffer.end()), std::string(8, '#'));
    }
}

TEST_P(ProfileStoreContract, SectionsAndKeysKeepTheOrderOfTheirFirstWrite) {
    const std::string file = FileInFolder("a.ini");
    store().WriteString(file, "Charlie", "2", "c2");
    store().WriteString(file, "Alpha", "1", "a1");
    store().WriteString(file, "Charlie", "1", "c1");
    store().WriteString(file, "Bravo", "1", "");
    store().WriteString(file, "Charlie", "2", "c2 again");

    char names[64];
    store().ReadSectionNames(file, names, sizeof names);
    EXPECT_EQ(ListItems(names, sizeof names),
              (std::vector<std::string>{"Charlie", "Alpha", "Bravo"}));
    char lines[64];
    store().ReadSection(file, "Charlie", lines, sizeof lines);
    EXPECT_EQ(ListItems(lines, sizeof lines), (std::vector<std::string>{"2=c2 again", "1=c1"}));
    // An empty value is still a key.
    store().ReadSection(file, "Bravo", lines, sizeof lines);
    EXPECT_EQ(ListItems(lines, sizeof lines), std::vector<std::string>{"1="});
}

TEST_P(ProfileStoreContract, EmptyingASectionRemovesItsKeysOnly) {
    const std::string file = FileInFolder("a.ini");
    store().WriteString(file, "Gone", "0", "0-C-X");
    store().WriteString(file, "Gone", "FilePath", "C:\\player.exe");
    store().WriteString(file, "Kept", "0", "0-F2");

    store().EmptySection(file, "gone");

    char value[16] = "x";
    EXPECT_EQ(store().ReadString(file, "Gone", "0", value, sizeof value), 0u);
    char lines[32] = "x";
    store().ReadSection(file, "Gone", lines, sizeof lines);
    EXPECT_EQ(lines[0], '\0');
    store().ReadString(file, "Kept", "0", value, sizeof value);
    EXPECT_STREQ(value, "0-F2");

    // Writing again fills the same section.
    store().WriteString(file, "Gone", "1", "back");
    store().ReadSection(file, "Gone", lines, sizeof lines);
    EXPECT_EQ(ListItems(lines, sizeof lines), std::vector<std::string>{"1=back"});
}

TEST_P(ProfileStoreContract, ListsThatDoNotFitAreCutAndEndInTwoZeros) {
    const std::string file = FileInFolder("a.ini");
    store().WriteString(file, "First", "FilePath", "C:\\first.exe");
    store().WriteString(file, "Second", "0", "0-C-X");

    for (std::size_t capacity : {2u, 5u, 9u, 12u}) {
        SCOPED_TRACE(capacity);
        std::vector<char> names(capacity + 8, '#');
        std::size_t length = store().ReadSectionNames(file, names.data(), capacity);
        EXPECT_EQ(length, capacity - 2);
        EXPECT_EQ(names[capacity - 2], '\0');
        EXPECT_EQ(names[capacity - 1], '\0');
        EXPECT_EQ(std::string(names.begin() + capacity, names.end()), std::string(8, '#'));

        std::vector<char> lines(capacity + 8, '#');
        length = store().ReadSection(file, "First", lines.data(), capacity);
        EXPECT_EQ(length, capacity - 2);
        EXPECT_EQ(lines[capacity - 2], '\0');
        EXPECT_EQ(lines[capacity - 1], '\0');
        EXPECT_EQ(std::string(lines.begin() + capacity, lines.end()), std::string(8, '#'));
    }
}

TEST_P(ProfileStoreContract, ASectionOfContentIsSeenThroughAFiveByteBuffer) {
    const std::string file = FileInFolder("a.ini");
    store().WriteString(file, "Short", "0", "");
    store().WriteString(file, "Long", "FilePath", "C:\\Program Files\\player.exe");
    store().EmptySection(file, "Emptied");

    for (const char* section : {"Short", "Long"}) {
        SCOPED_TRACE(section);
        char probe[5] = "####";
        store().ReadSection(file, section, probe, sizeof probe);
        EXPECT_NE(probe[0], '\0');
    }
    char probe[5] = "####";
    store().ReadSection(file, "Emptied", probe, sizeof probe);
    EXPECT_EQ(probe[0], '\0');
}

}  // namespace
