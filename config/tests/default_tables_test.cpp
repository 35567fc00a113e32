#include "config/default_tables.h"

#include <gtest/gtest.h>

#include "config/tests/default_tables_expected.h"
#include "keyseq/key_sequence.h"
#include "testing/fake_file_system.h"
#include "testing/fake_profile_store.h"

namespace {

const std::string kTwCtrl = "C:\\Tellwand\\TWCtrl.ini";

TEST(DefaultTables, KindsBuildTheNamedTablesAndOthersNothing) {
    DefaultTable table;
    BuildDefaultTable(kVcrTableKind, table);
    EXPECT_STREQ(table.name, "VCR");
    EXPECT_STREQ(table.entries[0].text, "0-C-X");
    EXPECT_STREQ(table.entries[34].text, "0-C-C");

    BuildDefaultTable(kDvdTableKind, table);
    EXPECT_STREQ(table.name, "DVD");
    EXPECT_STREQ(table.entries[1].text, "");
    EXPECT_STREQ(table.entries[26].text, "0-Enter");

    BuildDefaultTable(2, table);
    EXPECT_STREQ(table.name, "");
    EXPECT_STREQ(table.entries[0].text, "");
}

TEST(DefaultTables, FirstStartCreatesTheFileAndWritesBothTablesInOrder) {
    FakeFileSystem files;
    FakeProfileStore profiles;

    EXPECT_TRUE(CreateDefaultTablesIfMissing(files, profiles, kTwCtrl));

    EXPECT_EQ(files.created, std::vector<std::string>{kTwCtrl});
    EXPECT_EQ(profiles.writeCount, 70);
    EXPECT_EQ(profiles.FileText(kTwCtrl), ExpectedDefaultTwCtrl("\n"));
}

TEST(DefaultTables, AnExistingOrUncreatableFileGetsNoDefaults) {
    FakeFileSystem files;
    files.existing.insert(kTwCtrl);
    FakeProfileStore profiles;
    EXPECT_FALSE(CreateDefaultTablesIfMissing(files, profiles, kTwCtrl));
    EXPECT_TRUE(files.created.empty());
    EXPECT_EQ(profiles.writeCount, 0);

    FakeFileSystem readOnly;
    readOnly.uncreatable.insert(kTwCtrl);
    EXPECT_FALSE(CreateDefaultTablesIfMissing(readOnly, profiles, kTwCtrl));
    EXPECT_EQ(profiles.writeCount, 0);
}

TEST(DefaultTables, EveryDefaultTextParsesToAKey) {
    // An empty text is the only way to a key of 0; a typo in a key name would be another.
    DefaultTable table;
    for (int kind : {kVcrTableKind, kDvdTableKind}) {
        BuildDefaultTable(kind, table);
        for (KeyAction& entry : table.entries) {
            SCOPED_TRACE(std::string(table.name) + " " + entry.text);
            ParseKeySequence(entry);
            EXPECT_EQ(entry.key == 0, entry.text[0] == '\0');
        }
    }
}

}  // namespace
