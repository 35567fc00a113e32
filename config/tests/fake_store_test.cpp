// The shared store suites against the in-memory fake.

#include <memory>

#include "config/tests/store_under_test.h"
#include "testing/fake_profile_store.h"

namespace {

class FakeStoreUnderTest : public StoreUnderTest {
  public:
    ProfileStore& store() override { return store_; }
    const std::string& folder() const override { return folder_; }

  private:
    FakeProfileStore store_;
    std::string folder_ = "C:\\Tellwand\\";
};

std::unique_ptr<StoreUnderTest> MakeFakeStore() {
    return std::make_unique<FakeStoreUnderTest>();
}

INSTANTIATE_TEST_SUITE_P(Fake, ProfileStoreContract, ::testing::Values(&MakeFakeStore));
INSTANTIATE_TEST_SUITE_P(Fake, UserTablesOnStore, ::testing::Values(&MakeFakeStore));

}  // namespace
