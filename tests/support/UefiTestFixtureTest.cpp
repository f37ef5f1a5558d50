// The UefiTest fixture must turn pool and TPL misuse into test failures, and must not fail a
// test for memory a module legitimately keeps.
#include <gtest/gtest-spi.h>

#include <functional>

#include "tests/support/UefiTest.h"

namespace sim {
namespace {

// Runs the fixture's SetUp and TearDown by hand so their effect can be observed.
class FixtureUnderTest : public UefiTest {
 public:
  using UefiTest::Env;
  using UefiTest::SetUp;
  using UefiTest::TearDown;
  void TestBody() override {}
};

struct Misuse {
  const char *what;
  std::function<void(EFI_BOOT_SERVICES *)> act;
  const char *reported;
};

TEST(UefiTestFixture, TearDownFailsTheTestOnMisuse) {
  int notPool = 0;
  const Misuse cases[] = {
      {"double free",
       [](EFI_BOOT_SERVICES *bs) {
         void *buffer = nullptr;
         bs->AllocatePool(EfiBootServicesData, 8, &buffer);
         bs->FreePool(buffer);
         bs->FreePool(buffer);
       },
       "double free"},
      {"free of foreign memory", [&](EFI_BOOT_SERVICES *bs) { bs->FreePool(&notPool); },
       "not pool memory"},
      {"TPL left raised", [](EFI_BOOT_SERVICES *bs) { bs->RaiseTPL(TPL_CALLBACK); },
       "never restored"},
      {"pool call at HIGH_LEVEL",
       [](EFI_BOOT_SERVICES *bs) {
         void *buffer = nullptr;
         EFI_TPL old = bs->RaiseTPL(TPL_HIGH_LEVEL);
         bs->AllocatePool(EfiBootServicesData, 8, &buffer);
         bs->RestoreTPL(old);
       },
       "AllocatePool called at TPL 31"},
  };
  for (const Misuse &misuse : cases) {
    SCOPED_TRACE(misuse.what);
    FixtureUnderTest fixture;
    fixture.SetUp();
    misuse.act(fixture.Env().BootServices());
    EXPECT_NONFATAL_FAILURE(fixture.TearDown(), misuse.reported);
  }
}

TEST(UefiTestFixture, KeptAllocationsAreNotAFailure) {
  FixtureUnderTest fixture;
  fixture.SetUp();
  void *kept = nullptr;
  fixture.Env().BootServices()->AllocatePool(EfiRuntimeServicesData, 64, &kept);
  ::testing::TestPartResultArray results;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    fixture.TearDown();
  }
  EXPECT_EQ(results.size(), 0);
}

}  // namespace
}  // namespace sim
