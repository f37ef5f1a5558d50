// CopyBytes, SetBytes, ZeroBytes and CompareBytes: the memory routines every flash operation
// set moves its bytes with.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "platform_dxe/flash/MemoryRoutines.h"

namespace {

// Source and destination as offsets into one arena, so overlaps in both directions occur.
struct CopyCase {
  const char *Name;
  size_t Source;
  size_t Destination;
  size_t Length;
};

void PrintTo(const CopyCase &Case, std::ostream *Out) { *Out << Case.Name; }

class CopyBytesTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyBytesTest, DestinationReceivesTheSourceAsItWasBeforeTheCopy) {
  const CopyCase &Case = GetParam();
  std::vector<UINT8> Arena(64);
  std::iota(Arena.begin(), Arena.end(), 1);
  std::vector<UINT8> Expected = Arena;
  std::memmove(&Expected[Case.Destination], &Arena[Case.Source], Case.Length);

  CopyBytes(&Arena[Case.Destination], &Arena[Case.Source], Case.Length);
  EXPECT_EQ(Arena, Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Overlaps, CopyBytesTest,
    ::testing::Values(CopyCase{"DisjointWholeUnits", 0, 32, 16},
                      CopyCase{"DisjointWithTail", 1, 40, 11},
                      CopyCase{"DestinationOneAboveSource", 0, 1, 8},
                      CopyCase{"DestinationThreeAboveSourceWithTail", 4, 7, 13},
                      CopyCase{"DestinationOneBelowSource", 1, 0, 8},
                      CopyCase{"DestinationFiveBelowSourceWithTail", 10, 5, 19},
                      CopyCase{"DestinationJustPastSourceRun", 0, 8, 8},
                      CopyCase{"SameAddress", 3, 3, 20},
                      CopyCase{"NothingToCopy", 0, 5, 0},
                      CopyCase{"SingleByte", 9, 2, 1}),
    [](const ::testing::TestParamInfo<CopyCase> &Info) { return Info.param.Name; });

struct CompareCase {
  const char *Name;
  std::vector<UINT8> First;
  std::vector<UINT8> Second;
  INT64 Expected;
};

void PrintTo(const CompareCase &Case, std::ostream *Out) { *Out << Case.Name; }

class CompareBytesTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareBytesTest, ReturnsTheSignedDifferenceOfTheFirstDifferingPair) {
  const CompareCase &Case = GetParam();
  // 8-aligned copies so that the eight-byte path is taken where the length allows it.
  alignas(8) UINT8 First[32] = {};
  alignas(8) UINT8 Second[32] = {};
  std::memcpy(First, Case.First.data(), Case.First.size());
  std::memcpy(Second, Case.Second.data(), Case.Second.size());
  EXPECT_EQ(CompareBytes(First, Second, Case.First.size()), Case.Expected);
}

std::vector<UINT8> Repeat(UINT8 Value, size_t Count) { return std::vector<UINT8>(Count, Value); }

std::vector<UINT8> With(std::vector<UINT8> Bytes, size_t Index, UINT8 Value) {
  Bytes[Index] = Value;
  return Bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Signs, CompareBytesTest,
    ::testing::Values(
        CompareCase{"Equal", Repeat(0x5A, 16), Repeat(0x5A, 16), 0},
        CompareCase{"PositiveSmall", {0x10}, {0x01}, 0x0F},
        CompareCase{"NegativeSmall", {0x01}, {0x10}, -0x0F},
        // Bytes count as signed: 0x80 is -128, 0x7F is 127.
        CompareCase{"HighBitFirstIsNegative", {0x80}, {0x01}, -129},
        CompareCase{"HighBitSecondIsPositive", {0x7F}, {0x80}, 255},
        CompareCase{"AllOnesAgainstZero", {0xFF}, {0x00}, -1},
        CompareCase{"DifferenceInSecondAlignedGroup", Repeat(0x33, 16),
                    With(Repeat(0x33, 16), 13, 0x30), 3},
        CompareCase{"OnlyFirstDifferenceCounts", With(With(Repeat(0, 16), 9, 0x02), 12, 0x90),
                    With(Repeat(0, 16), 12, 0x01), 2},
        CompareCase{"UnalignedLengthLastByte", With(Repeat(0x11, 13), 12, 0x01), Repeat(0x11, 13),
                    -0x10}),
    [](const ::testing::TestParamInfo<CompareCase> &Info) { return Info.param.Name; });

TEST(CompareBytes, UnalignedRunsCompareByteByByte) {
  alignas(8) UINT8 First[24] = {};
  alignas(8) UINT8 Second[24] = {};
  First[1 + 6] = 0x40;
  EXPECT_EQ(CompareBytes(First + 1, Second + 1, 16), 0x40);
  EXPECT_EQ(CompareBytes(First + 1, Second + 1, 6), 0);
}

TEST(SetBytes, StoresTheValueOnlyIntoCountBytes) {
  UINT8 Bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  SetBytes(Bytes + 2, 3, 0xA5);
  EXPECT_EQ(std::vector<UINT8>(Bytes, Bytes + 8), (std::vector<UINT8>{1, 2, 0xA5, 0xA5, 0xA5, 6, 7, 8}));
  SetBytes(Bytes + 1, 2, 0);
  EXPECT_EQ(std::vector<UINT8>(Bytes, Bytes + 8), (std::vector<UINT8>{1, 0, 0, 0xA5, 0xA5, 6, 7, 8}));
  SetBytes(Bytes, 0, 0x77);
  ZeroBytes(Bytes + 7, 0);
  EXPECT_EQ(Bytes[0], 1);
  EXPECT_EQ(Bytes[7], 8);
}

}  // namespace
