// Pool allocation as a module sees it, and what the environment tracks about it.
#include <cstdint>

#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using PoolTest = EnvironmentTest;

TEST_F(PoolTest, AllocationIsUsableAlignedAndTracked) {
  void *buffer = nullptr;
  ASSERT_EQ(bs->AllocatePool(EfiBootServicesData, 100, &buffer), EFI_SUCCESS);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer) % 8, 0u);
  bs->SetMem(buffer, 100, 0x5A);  // the whole size is writable (ASan checks the bounds)

  ASSERT_EQ(env.Pool().LiveCount(), 1u);
  const PoolAllocation &allocation = env.Pool().Live().front();
  EXPECT_EQ(allocation.address, buffer);
  EXPECT_EQ(allocation.size, 100u);
  EXPECT_EQ(allocation.type, EfiBootServicesData);
  EXPECT_EQ(allocation.sequence, 1u);

  ASSERT_EQ(bs->FreePool(buffer), EFI_SUCCESS);
  EXPECT_EQ(env.Pool().LiveCount(), 0u);
  EXPECT_TRUE(env.Pool().Errors().empty());
}

TEST_F(PoolTest, LeakedAllocationStaysVisible) {
  void *kept = nullptr;
  void *freed = nullptr;
  bs->AllocatePool(EfiRuntimeServicesData, 24, &kept);
  bs->AllocatePool(EfiBootServicesData, 48, &freed);
  bs->FreePool(freed);

  ASSERT_EQ(env.Pool().LiveCount(), 1u);
  EXPECT_EQ(env.Pool().Live().front().address, kept);
  EXPECT_EQ(env.Pool().Live().front().type, EfiRuntimeServicesData);
  EXPECT_EQ(env.Pool().LiveBytes(), 24u);
  // Left allocated on purpose: the environment releases it when it ends.
}

TEST_F(PoolTest, BadFreesAreRecordedAndRefused) {
  void *buffer = nullptr;
  bs->AllocatePool(EfiBootServicesData, 16, &buffer);
  int onTheStack = 0;
  struct Case {
    const char *what;
    void *pointer;
    PoolError::Kind kind;
  } cases[] = {
      {"pointer into the middle of a block", static_cast<char *>(buffer) + 8,
       PoolError::Kind::UnknownPointer},
      {"pointer that is not pool memory", &onTheStack, PoolError::Kind::UnknownPointer},
      {"null", nullptr, PoolError::Kind::NullPointer},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    size_t errorsBefore = env.Pool().Errors().size();
    EXPECT_EQ(bs->FreePool(c.pointer), EFI_INVALID_PARAMETER);
    ASSERT_EQ(env.Pool().Errors().size(), errorsBefore + 1);
    EXPECT_EQ(env.Pool().Errors().back().kind, c.kind);
  }
  EXPECT_EQ(env.Pool().LiveCount(), 1u) << "a refused free leaves the block alone";
}

TEST_F(PoolTest, DoubleFreeIsDetectedEvenAfterMoreAllocations) {
  void *buffer = nullptr;
  bs->AllocatePool(EfiBootServicesData, 32, &buffer);
  ASSERT_EQ(bs->FreePool(buffer), EFI_SUCCESS);
  // A freed address is never handed out again, so the second free cannot hit a new block.
  void *next = nullptr;
  bs->AllocatePool(EfiBootServicesData, 32, &next);
  EXPECT_NE(next, buffer);

  EXPECT_EQ(bs->FreePool(buffer), EFI_INVALID_PARAMETER);
  ASSERT_EQ(env.Pool().Errors().size(), 1u);
  EXPECT_EQ(env.Pool().Errors().front().kind, PoolError::Kind::DoubleFree);
  EXPECT_EQ(env.Pool().LiveCount(), 1u);
  bs->FreePool(next);
}

TEST_F(PoolTest, AllocateRejectsInvalidArguments) {
  void *buffer = nullptr;
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, nullptr), EFI_INVALID_PARAMETER);
  const EFI_MEMORY_TYPE invalidTypes[] = {EfiConventionalMemory, 14 /* persistent */, 0x100};
  for (EFI_MEMORY_TYPE type : invalidTypes) {
    SCOPED_TRACE(type);
    EXPECT_EQ(bs->AllocatePool(type, 8, &buffer), EFI_INVALID_PARAMETER);
  }
  EXPECT_EQ(env.Pool().LiveCount(), 0u);
}

TEST_F(PoolTest, NthAllocationCanBeMadeToFail) {
  env.Pool().FailNthAllocation(2);
  void *first = nullptr;
  void *second = &first;
  void *third = nullptr;
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, &first), EFI_SUCCESS);
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, &second), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, &third), EFI_SUCCESS);
  EXPECT_EQ(env.Pool().LiveCount(), 2u);
  bs->FreePool(first);
  bs->FreePool(third);
}

TEST_F(PoolTest, EveryAllocationCanBeMadeToFail) {
  env.Pool().FailEveryAllocation(true);
  void *buffer = nullptr;
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, &buffer), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, &buffer), EFI_OUT_OF_RESOURCES);
  env.Pool().FailEveryAllocation(false);
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, &buffer), EFI_SUCCESS);
  bs->FreePool(buffer);
}

}  // namespace
}  // namespace sim
