#include "config/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"
#include "testing/fake_registry.h"

namespace {

TEST(Settings, WriteThenReadRoundTripsBothValues) {
    FakeRegistry registry;
    Settings written;
    written.enableOsd = 1;
    CopyBounded(written.userDefineTable, "Music");
    WriteSettings(registry, written);

    Settings read;
    ReadSettings(registry, read);
    EXPECT_EQ(read.enableOsd, 1u);
    EXPECT_STREQ(read.userDefineTable, "Music");
}

TEST(Settings, WriteCreatesTheKeyAndStoresTheWholeNameBuffer) {
    FakeRegistry registry;
    Settings written;
    CopyBounded(written.userDefineTable, "Music");
    WriteSettings(registry, written);

    ASSERT_FALSE(registry.createdKeys.empty());
    for (const std::string& key : registry.createdKeys) {
        EXPECT_EQ(key, "SOFTWARE\\VELQ\\Tellwand");
    }
    const FakeRegistry::Value* name = registry.Find(kSettingsKey, "UserDefineTable");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->bytes, std::string("Music") + std::string(128 - 5, '\0'));
    const FakeRegistry::Value* osd = registry.Find(kSettingsKey, "EnableOSD");
    ASSERT_NE(osd, nullptr);
    EXPECT_TRUE(osd->isDword);
    EXPECT_EQ(osd->number, 0u);
}

TEST(Settings, NothingIsWrittenWhenTheKeyCannotBeCreated) {
    FakeRegistry registry;
    registry.failKeyCreation = true;
    Settings written;
    written.enableOsd = 1;
    WriteSettings(registry, written);
    EXPECT_EQ(registry.Find(kSettingsKey, "EnableOSD"), nullptr);
    EXPECT_EQ(registry.Find(kSettingsKey, "UserDefineTable"), nullptr);
}

TEST(Settings, MissingValuesLeaveThePreviousOnes) {
    Settings settings;
    settings.enableOsd = 1;
    CopyBounded(settings.userDefineTable, "Before");

    FakeRegistry empty;
    ReadSettings(empty, settings);
    EXPECT_EQ(settings.enableOsd, 1u);
    EXPECT_STREQ(settings.userDefineTable, "Before");

    FakeRegistry nameOnly;
    nameOnly.SetString(kSettingsKey, "UserDefineTable", "After");
    ReadSettings(nameOnly, settings);
    EXPECT_EQ(settings.enableOsd, 1u);
    EXPECT_STREQ(settings.userDefineTable, "After");
}

TEST(Settings, ALongerStoredNameIsReadAs127Characters) {
    FakeRegistry registry;
    registry.SetString(kSettingsKey, "UserDefineTable", std::string(400, 'n'));
    Settings settings;
    ReadSettings(registry, settings);
    EXPECT_EQ(std::string(settings.userDefineTable), std::string(127, 'n'));
}

}  // namespace
