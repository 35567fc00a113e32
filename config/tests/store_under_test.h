#pragma once
// One set of expectations for every profile store: the in-memory fake natively and the
// platform's profile functions on real files under Wine. Each test gets a fresh, empty folder.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/ini_paths.h"
#include "config/profile_store.h"
#include "config/program_folders.h"

class StoreUnderTest {
  public:
    virtual ~StoreUnderTest() = default;
    virtual ProfileStore& store() = 0;
    // An empty folder, ending in a backslash.
    virtual const std::string& folder() const = 0;
};

using MakeStoreUnderTest = std::unique_ptr<StoreUnderTest> (*)();

class ProfileStoreTest : public ::testing::TestWithParam<MakeStoreUnderTest> {
  protected:
    void SetUp() override { target_ = GetParam()(); }

    ProfileStore& store() { return target_->store(); }
    std::string FileInFolder(const char* name) const { return target_->folder() + name; }
    IniPaths Paths() const { return IniPathsInFolder(target_->folder()); }

  private:
    std::unique_ptr<StoreUnderTest> target_;
};

// The suites that run against every store.
class ProfileStoreContract : public ProfileStoreTest {};
class UserTablesOnStore : public ProfileStoreTest {};
