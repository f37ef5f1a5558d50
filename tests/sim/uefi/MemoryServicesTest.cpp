// CopyMem, SetMem, CalculateCrc32, Stall and the monotonic counter.
#include <cstring>

#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using MemoryServicesTest = EnvironmentTest;

TEST_F(MemoryServicesTest, CopyMemHandlesOverlapInBothDirections) {
  struct Case {
    const char *what;
    size_t destination;
    size_t source;
    size_t length;
    const char *expected;
  } cases[] = {
      {"forward overlap", 2, 0, 6, "ababcdefij"},
      {"backward overlap", 0, 2, 6, "cdefghghij"},
      {"disjoint", 6, 0, 4, "abcdefabcd"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    char buffer[11] = "abcdefghij";
    bs->CopyMem(buffer + c.destination, buffer + c.source, c.length);
    EXPECT_STREQ(buffer, c.expected);
  }
}

TEST_F(MemoryServicesTest, SetMemFillsExactlyTheRange) {
  unsigned char buffer[8] = {};
  bs->SetMem(buffer + 2, 4, 0xC3);
  const unsigned char expected[8] = {0, 0, 0xC3, 0xC3, 0xC3, 0xC3, 0, 0};
  EXPECT_EQ(std::memcmp(buffer, expected, sizeof buffer), 0);
}

TEST_F(MemoryServicesTest, CalculateCrc32IsTheIeeeCrc) {
  char data[] = "123456789";
  UINT32 crc = 0;
  ASSERT_EQ(bs->CalculateCrc32(data, 9, &crc), EFI_SUCCESS);
  EXPECT_EQ(crc, 0xCBF43926u);
  EXPECT_EQ(bs->CalculateCrc32(data, 0, &crc), EFI_INVALID_PARAMETER);
  EXPECT_EQ(bs->CalculateCrc32(nullptr, 9, &crc), EFI_INVALID_PARAMETER);
  EXPECT_EQ(bs->CalculateCrc32(data, 9, nullptr), EFI_INVALID_PARAMETER);
}

TEST_F(MemoryServicesTest, StallAdvancesTheVirtualClock) {
  EXPECT_EQ(env.ElapsedMicroseconds(), 0u);
  ASSERT_EQ(bs->Stall(1500), EFI_SUCCESS);
  ASSERT_EQ(bs->Stall(0), EFI_SUCCESS);
  ASSERT_EQ(bs->Stall(250), EFI_SUCCESS);
  EXPECT_EQ(env.ElapsedMicroseconds(), 1750u);
}

TEST_F(MemoryServicesTest, MonotonicCountOnlyIncreases) {
  UINT64 first = 0, second = 0;
  ASSERT_EQ(bs->GetNextMonotonicCount(&first), EFI_SUCCESS);
  ASSERT_EQ(bs->GetNextMonotonicCount(&second), EFI_SUCCESS);
  EXPECT_GT(second, first);
  UINT32 high = 0;
  ASSERT_EQ(rt->GetNextHighMonotonicCount(&high), EFI_SUCCESS);
  UINT64 afterHigh = 0;
  bs->GetNextMonotonicCount(&afterHigh);
  EXPECT_EQ(afterHigh >> 32, high);
  EXPECT_GT(afterHigh, second);
  EXPECT_EQ(bs->GetNextMonotonicCount(nullptr), EFI_INVALID_PARAMETER);
}

}  // namespace
}  // namespace sim
