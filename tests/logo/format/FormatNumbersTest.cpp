// The number routines on their own: fill, cut, grouping and sign, within the 30-character
// buffer they are promised; and the 64-bit shift and division they are built on.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/logo/format/FormatHarness.h"

namespace format_test {
namespace {

constexpr CHAR16 Guard = 0xA5A5;

struct NumberCase {
  const char *Name;
  bool Decimal;
  UINT64 Value;
  UINTN Flags;
  UINTN Width;
  std::u16string Expected;
};

// Parameter name in test listings, instead of the object's bytes.
void PrintTo(const NumberCase &Case, std::ostream *Out) { *Out << Case.Name; }

class NumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTest, TextLengthAndTerminatorWithinThirtyCharacters) {
  const NumberCase &Case = GetParam();
  CHAR16 Buffer[FORMAT_NUMBER_BUFFER_CHARS + 4];
  for (CHAR16 &Character : Buffer) Character = Guard;

  UINTN Length = Case.Decimal ? FormatDecimalValue(Buffer, (INT64)Case.Value, Case.Flags, Case.Width)
                              : FormatHexValue(Buffer, Case.Value, Case.Flags, Case.Width);

  ASSERT_LT(Length, (UINTN)FORMAT_NUMBER_BUFFER_CHARS);
  EXPECT_EQ(Show(std::u16string(Buffer, Length)), Show(Case.Expected));
  EXPECT_EQ(Buffer[Length], 0);
  for (UINTN i = FORMAT_NUMBER_BUFFER_CHARS; i < FORMAT_NUMBER_BUFFER_CHARS + 4; ++i) {
    EXPECT_EQ(Buffer[i], Guard) << "character " << i;
  }
}

std::u16string Repeat(char16_t Character, size_t Count) { return std::u16string(Count, Character); }

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberTest,
    ::testing::Values(
        NumberCase{"HexZero", false, 0, 0, 0, u"0"},
        NumberCase{"HexUpperCaseDigits", false, 0xFEDCBA9876543210ULL, 0, 0, u"FEDCBA9876543210"},
        NumberCase{"HexBlankFill", false, 0xA, 0, 4, u"   A"},
        NumberCase{"HexZeroFill", false, 0xA, FLAG_ZERO_PAD, 4, u"000A"},
        NumberCase{"HexLeftAlignIgnoresZeroPad", false, 0xA, FLAG_LEFT_ALIGN | FLAG_ZERO_PAD, 4, u"A"},
        NumberCase{"HexLeftAlignStillCuts", false, 0x12345, FLAG_LEFT_ALIGN, 2, u"45"},
        NumberCase{"HexCut", false, 0xFEDCBA9876543210ULL, 0, 3, u"210"},
        NumberCase{"HexWidestField", false, ~0ULL, FLAG_ZERO_PAD, 1000,
                   Repeat(u'0', 13) + u"FFFFFFFFFFFFFFFF"},
        NumberCase{"HexGroupingHasNoEffect", false, 0x123456, FLAG_GROUP_THOUSANDS, 0, u"123456"},
        NumberCase{"DecimalZero", true, 0, 0, 0, u"0"},
        NumberCase{"DecimalLargestUnsignedIsNegative", true, ~0ULL, 0, 0, u"-1"},
        NumberCase{"DecimalLargest", true, (UINT64)INT64_MAX, 0, 0, u"9223372036854775807"},
        NumberCase{"DecimalMostNegative", true, (UINT64)INT64_MIN, 0, 0, u"-9223372036854775808"},
        NumberCase{"DecimalGroupedExactThree", true, 123, FLAG_GROUP_THOUSANDS, 0, u"123"},
        NumberCase{"DecimalGroupedFour", true, 1000, FLAG_GROUP_THOUSANDS, 0, u"1,000"},
        NumberCase{"DecimalGroupedNegativeSix", true, (UINT64)-100000, FLAG_GROUP_THOUSANDS, 0,
                   u"-100,000"},
        NumberCase{"DecimalWidestGroupedWithFill", true, (UINT64)INT64_MIN,
                   FLAG_GROUP_THOUSANDS | FLAG_ZERO_PAD, 29, u"   -9,223,372,036,854,775,808"},
        NumberCase{"DecimalFillCountsCommasAndSign", true, (UINT64)-1234, FLAG_GROUP_THOUSANDS, 8,
                   u"  -1,234"},
        NumberCase{"DecimalZeroFillPositive", true, 7, FLAG_ZERO_PAD, 3, u"007"},
        NumberCase{"DecimalNegativeFillsBlankBeforeSign", true, (UINT64)-7, FLAG_ZERO_PAD, 4, u"  -7"},
        NumberCase{"DecimalCutKeepsLowDigits", true, 1234567, FLAG_GROUP_THOUSANDS, 5, u"4,567"},
        NumberCase{"DecimalCutDropsSign", true, (UINT64)-12345, 0, 5, u"12345"},
        NumberCase{"DecimalWidthCapped", true, (UINT64)-1, 0, 100, Repeat(u' ', 27) + u"-1"},
        NumberCase{"DecimalLeftAlign", true, 5, FLAG_LEFT_ALIGN, 9, u"5"}),
    [](const ::testing::TestParamInfo<NumberCase> &Info) { return std::string(Info.param.Name); });

struct ShiftCase {
  UINT64 Value;
  UINTN Count;
  UINT64 Expected;
};

TEST(ShiftRight64Test, LogicalShiftByCountModulo64) {
  const ShiftCase Cases[] = {
      {0x8000000000000000ULL, 63, 1},
      {0x8000000000000000ULL, 4, 0x0800000000000000ULL},  // no sign copies
      {0xF0, 4, 0xF},
      {0x123456789ABCDEF0ULL, 0, 0x123456789ABCDEF0ULL},
      {0x123456789ABCDEF0ULL, 64, 0x123456789ABCDEF0ULL},
      {0x123456789ABCDEF0ULL, 68, 0x0123456789ABCDEFULL},
      {~0ULL, 32, 0xFFFFFFFFULL},
  };
  for (const ShiftCase &Case : Cases) {
    EXPECT_EQ(ShiftRight64(Case.Value, Case.Count), Case.Expected)
        << std::hex << Case.Value << " >> " << std::dec << Case.Count;
  }
}

struct DivideCase {
  UINT64 Dividend;
  UINT64 Divisor;
  UINT64 Quotient;
  UINT64 Remainder;
};

TEST(DivideWithRemainderTest, UnsignedQuotientAndRemainder) {
  const DivideCase Cases[] = {
      {100, 7, 14, 2},
      {5, 10, 0, 5},
      {~0ULL, 10, 1844674407370955161ULL, 5},
      {~0ULL, ~0ULL, 1, 0},
      {0x8000000000000000ULL, 3, 3074457345618258602ULL, 2},  // above INT64_MAX: unsigned
      {0, 9, 0, 0},
      // No divisor: all ones, the dividend kept as the remainder, and no fault.
      {1234, 0, ~0ULL, 1234},
  };
  for (const DivideCase &Case : Cases) {
    UINT64 Remainder = 0xDEAD;
    EXPECT_EQ(DivideWithRemainder(Case.Dividend, Case.Divisor, &Remainder), Case.Quotient)
        << Case.Dividend << " / " << Case.Divisor;
    EXPECT_EQ(Remainder, Case.Remainder) << Case.Dividend << " % " << Case.Divisor;
    EXPECT_EQ(DivideWithRemainder(Case.Dividend, Case.Divisor, nullptr), Case.Quotient);
  }
}

}  // namespace
}  // namespace format_test
