// FormatString: every directive, flag and width rule, line feeds, unfinished directives,
// truncation at every buffer size, and the variadic entry with real arguments.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/logo/format/FormatHarness.h"

namespace format_test {
namespace {

const CHAR16 WideAb[] = u"ab";
const CHAR16 WideAbc[] = u"abc";
const CHAR16 WideWithLineFeed[] = u"x\ny";
const CHAR8 NarrowHi[] = "hi";
const CHAR8 NarrowHighBytes[] = "\xE9\xFF";
const EFI_GUID ServicesGuid = {0xBD99C1DA, 0x24D9, 0x4C8D,
                               {0x94, 0x78, 0xE6, 0x8C, 0x50, 0xD8, 0x39, 0xE1}};
const EFI_TIME July4th = {2010, 7, 4, 13, 5, 59, 0, 123, 60, 1, 0};

constexpr UINT64 ErrorBit = 0x8000000000000000ULL;

std::u16string Blanks(size_t Count) { return std::u16string(Count, u' '); }

struct DirectiveCase {
  const char *Name;
  std::u16string Format;
  std::vector<UINT64> Slots;
  std::u16string Expected;
  UINTN BufferSize = 256;
};

// Parameter name in test listings, instead of the object's bytes.
void PrintTo(const DirectiveCase &Case, std::ostream *Out) { *Out << Case.Name; }

class DirectiveTest : public ::testing::TestWithParam<DirectiveCase> {};

TEST_P(DirectiveTest, WritesExpectedTextAndNothingElse) {
  const DirectiveCase &Case = GetParam();
  FormatRun Run = RunFormat(Case.BufferSize, Case.Format, Case.Slots);
  EXPECT_EQ(Show(Run.Text), Show(Case.Expected));
  EXPECT_EQ(Run.Returned, Case.Expected.size() + 1);
  EXPECT_TRUE(Run.NulWritten);
  EXPECT_TRUE(Run.OnlyTextWritten);
}

// Each argument a directive consumes is one slot; a trailing "%d" with a marker value shows
// that a non-directive consumed nothing.
INSTANTIATE_TEST_SUITE_P(
    Cases, DirectiveTest,
    ::testing::Values(
        DirectiveCase{"EmptyFormat", u"", {}, u""},
        DirectiveCase{"PlainText", u"Ready", {}, u"Ready"},
        DirectiveCase{"LineFeedBecomesCrLf", u"a\nb\n", {}, u"a\r\nb\r\n"},
        DirectiveCase{"LineFeedOnLastFreeCharacterAlone", u"ab\n", {}, u"ab\n", 8},
        DirectiveCase{"LineFeedWithRoomForBoth", u"ab\n", {}, u"ab\r\n", 10},
        DirectiveCase{"LineFeedInsideStringUnchanged", u"%s", {Slot(WideWithLineFeed)}, u"x\ny"},
        // Decimal.
        DirectiveCase{"Decimal", u"%d", {42}, u"42"},
        DirectiveCase{"DecimalZero", u"%d", {0}, u"0"},
        DirectiveCase{"DecimalWidthBlanks", u"%5d", {42}, u"   42"},
        DirectiveCase{"DecimalZeroPad", u"%05d", {42}, u"00042"},
        DirectiveCase{"DecimalNegativeZeroPadUsesBlanks", u"%05d", {(UINT64)-42}, u"  -42"},
        DirectiveCase{"DecimalLeftAlignNoFill", u"%-5d|", {42}, u"42|"},
        DirectiveCase{"DecimalGroupMillions", u"%,d", {1234567}, u"1,234,567"},
        DirectiveCase{"DecimalGroupNoLeadingComma", u"%,d", {123456}, u"123,456"},
        DirectiveCase{"DecimalGroupShort", u"%,d", {999}, u"999"},
        DirectiveCase{"DecimalGroupNegative", u"%,d", {(UINT64)-1234}, u"-1,234"},
        DirectiveCase{"DecimalCutToLowDigits", u"%2d", {12345}, u"45"},
        DirectiveCase{"DecimalCutDropsSign", u"%3d", {(UINT64)-12345}, u"345"},
        DirectiveCase{"DecimalSignExtendsLowHalf", u"%d", {0x00000000FFFFFFFFULL}, u"-1"},
        DirectiveCase{"DecimalIgnoresHighHalf", u"%d", {0x1234567800000005ULL}, u"5"},
        DirectiveCase{"DecimalLong", u"%ld", {0x10000000000ULL}, u"1099511627776"},
        DirectiveCase{"DecimalLongUpperL", u"%Ld", {(UINT64)-1}, u"-1"},
        DirectiveCase{"DecimalMostNegative", u"%ld", {(UINT64)INT64_MIN}, u"-9223372036854775808"},
        DirectiveCase{"DecimalMostNegativeGrouped", u"%,ld", {(UINT64)INT64_MIN},
                      u"-9,223,372,036,854,775,808"},
        DirectiveCase{"DecimalWidthCappedAt29", u"%40d", {7}, Blanks(28) + u"7"},
        DirectiveCase{"DecimalPlusAndSpaceHaveNoEffect", u"%+d% d", {42, 42}, u"4242"},
        DirectiveCase{"DecimalZeroPadGroupedPadsUngrouped", u"%0,10d", {1234}, u"000001,234"},
        // Hexadecimal.
        DirectiveCase{"Hex", u"%x", {255}, u"FF"},
        DirectiveCase{"HexZero", u"%x", {0}, u"0"},
        DirectiveCase{"HexIgnoresHighHalf", u"%x", {0x1000000FFULL}, u"FF"},
        DirectiveCase{"HexLong", u"%lx", {0x1000000FFULL}, u"1000000FF"},
        DirectiveCase{"HexLongAllOnes", u"%lx", {~0ULL}, u"FFFFFFFFFFFFFFFF"},
        DirectiveCase{"HexZeroPad", u"%08x", {0xBEEF}, u"0000BEEF"},
        DirectiveCase{"HexWidthBlanks", u"%6x", {0xBEEF}, u"  BEEF"},
        DirectiveCase{"HexCutToLowDigits", u"%2x", {0x1234}, u"34"},
        DirectiveCase{"HexWidthCappedAt29", u"%40x", {1}, Blanks(28) + u"1"},
        DirectiveCase{"HexLeftAlign", u"%-8x|", {0xAB}, u"AB|"},
        DirectiveCase{"UpperHexSixteenDigits", u"%X", {255}, u"00000000000000FF"},
        DirectiveCase{"UpperHexReplacesWidth", u"%4X", {255}, u"00000000000000FF"},
        DirectiveCase{"UpperHexReadsLowHalf", u"%X", {0xFFFFFFFF12345678ULL}, u"0000000012345678"},
        DirectiveCase{"UpperHexLong", u"%lX", {0x123456789ABCDEF0ULL}, u"123456789ABCDEF0"},
        DirectiveCase{"UpperHexLeftAlignNoFill", u"%-X", {255}, u"FF"},
        // Width forms.
        DirectiveCase{"StarWidth", u"%*d", {5, 42}, u"   42"},
        DirectiveCase{"StarReplacesDigits", u"%9*d", {3, 42}, u" 42"},
        DirectiveCase{"DigitsReplaceStar", u"%*3d", {9, 42}, u" 42"},
        DirectiveCase{"LaterRunReplacesWidth", u"%8-3d|", {42}, u"42|"},
        DirectiveCase{"LeadingZeroKeepsZeroPadAfterLaterRun", u"%0 4d", {42}, u"0042"},
        DirectiveCase{"ZeroInsideRunIsADigit", u"%10d", {42}, Blanks(8) + u"42"},
        DirectiveCase{"SizeAfterWidth", u"%12ld", {0x100000000ULL}, u"  4294967296"},
        DirectiveCase{"SizeBeforeWidthAndCut", u"%l5d", {0x100000000ULL}, u"67296"},
        // Strings.
        DirectiveCase{"WideString", u"%s", {Slot(WideAb)}, u"ab"},
        DirectiveCase{"WideStringUpperS", u"%S", {Slot(WideAb)}, u"ab"},
        DirectiveCase{"StringPaddedRight", u"%5s|", {Slot(WideAb)}, u"ab   |"},
        DirectiveCase{"StringLeftAlignSame", u"%-5s|", {Slot(WideAb)}, u"ab   |"},
        DirectiveCase{"StringNeverCut", u"%1s", {Slot(WideAbc)}, u"abc"},
        DirectiveCase{"StringWidthNotCapped", u"%31s|", {Slot(WideAb)}, u"ab" + Blanks(29) + u"|"},
        DirectiveCase{"StringStarWidth", u"%*s|", {4, Slot(WideAb)}, u"ab  |"},
        DirectiveCase{"NullWideString", u"%s", {0}, u"<null string>"},
        DirectiveCase{"NullNarrowString", u"%a", {0}, u"<null string>"},
        DirectiveCase{"NullStringPadded", u"%15s|", {0}, u"<null string>  |"},
        DirectiveCase{"NarrowString", u"%a", {Slot(NarrowHi)}, u"hi"},
        DirectiveCase{"NarrowStringPadded", u"%4a|", {Slot(NarrowHi)}, u"hi  |"},
        DirectiveCase{"NarrowBytesWidenUnsigned", u"%a", {Slot(NarrowHighBytes)}, u"\u00E9\u00FF"},
        // Characters and literals.
        DirectiveCase{"Character", u"%c", {0x41}, u"A"},
        DirectiveCase{"CharacterLow16Bits", u"%c", {0xFFFF2345ULL}, u"\u2345"},
        DirectiveCase{"CharacterIgnoresWidth", u"%5c|", {0x41}, u"A|"},
        DirectiveCase{"Percent", u"100%%", {}, u"100%"},
        DirectiveCase{"UnknownTypeConsumesNothing", u"%q%d", {7}, u"q7"},
        DirectiveCase{"PrecisionIsLiteral", u"%.2d%d", {7}, u".2d7"},
        DirectiveCase{"NotDirectives", u"%i%u%p%d", {7}, u"iup7"},
        DirectiveCase{"FlagsBeforeUnknownTypeDropped", u"%-05q", {}, u"q"},
        DirectiveCase{"StarBeforeUnknownTypeStillConsumes", u"%*q%d", {3, 7}, u"q7"},
        // Status, GUID and time.
        DirectiveCase{"StatusSuccess", u"%r", {0}, u"Success"},
        DirectiveCase{"StatusError", u"%r.", {ErrorBit | 2}, u"Invalid Parameter."},
        DirectiveCase{"StatusUnknownError", u"%r", {ErrorBit | 0x63}, u"0000000000000063"},
        DirectiveCase{"StatusUnknownWarning", u"%r", {5}, u"0000000000000005"},
        DirectiveCase{"Guid", u"{%g}", {Slot(&ServicesGuid)}, u"{BD99C1DA-24D9-4C8D-9478-E68C50D839E1}"},
        DirectiveCase{"NullGuidWritesNothing", u"[%g]%d", {0, 7}, u"[]7"},
        DirectiveCase{"Time", u"%t", {Slot(&July4th)}, u"07/04/2010  13:05"},
        DirectiveCase{"NullTimeWritesNothing", u"[%t]%d", {0, 7}, u"[]7"},
        DirectiveCase{"Mixed", u"%a: %r at %t (%3d%%)\n",
                      {Slot(NarrowHi), ErrorBit | 14, Slot(&July4th), 50},
                      u"hi: Not Found at 07/04/2010  13:05 ( 50%)\r\n"},
        // Unfinished directives are dropped; the NUL is never passed.
        DirectiveCase{"EndsAfterPercent", u"ab%", {}, u"ab"},
        DirectiveCase{"EndsInsideFlagsAndWidth", u"ab%-05", {}, u"ab"},
        DirectiveCase{"EndsAfterSize", u"ab%l", {}, u"ab"},
        DirectiveCase{"EndsAfterStar", u"ab%*", {9}, u"ab"},
        // Widths far beyond any buffer stop at the buffer.
        DirectiveCase{"HugeStarWidthStopsAtBuffer", u"%*s", {1ULL << 63, Slot(WideAb)},
                      u"ab" + Blanks(5), 16},
        DirectiveCase{"OverlongDigitWidthSaturates", u"%99999999999999999999999s",
                      {Slot(WideAb)}, u"ab" + Blanks(5), 16}),
    [](const ::testing::TestParamInfo<DirectiveCase> &Info) { return std::string(Info.param.Name); });

// The text at every buffer size is the full text cut to BufferSize / 2 - 1 characters, with
// the NUL after it, and nothing is written beyond; below 2 bytes nothing is written at all.
struct TruncationCase {
  const char *Name;
  std::u16string Format;
  std::vector<UINT64> Slots;
  std::u16string Full;
};

// Parameter name in test listings, instead of the object's bytes.
void PrintTo(const TruncationCase &Case, std::ostream *Out) { *Out << Case.Name; }

class TruncationTest : public ::testing::TestWithParam<TruncationCase> {};

TEST_P(TruncationTest, EveryBufferSizeGetsAPrefixAndItsNul) {
  const TruncationCase &Case = GetParam();
  for (UINTN BufferSize = 0; BufferSize <= 2 * Case.Full.size() + 5; ++BufferSize) {
    SCOPED_TRACE("BufferSize " + std::to_string(BufferSize));
    FormatRun Run = RunFormat(BufferSize, Case.Format, Case.Slots);
    EXPECT_TRUE(Run.OnlyTextWritten);
    if (BufferSize < 2) {
      EXPECT_EQ(Run.Returned, 0u);
      continue;
    }
    std::u16string Expected = Case.Full.substr(0, BufferSize / 2 - 1);
    EXPECT_EQ(Show(Run.Text), Show(Expected));
    EXPECT_EQ(Run.Returned, Expected.size() + 1);
    EXPECT_TRUE(Run.NulWritten);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TruncationTest,
    ::testing::Values(
        TruncationCase{"PlainText", u"abcdefg", {}, u"abcdefg"},
        TruncationCase{"Numbers", u"%5d|%-4x|%,ld|%X", {(UINT64)-42, 0xAB, 1234567, 0x1F},
                       u"  -42|AB|1,234,567|000000000000001F"},
        // Fields as wide as numbers get, so the end of the buffer falls inside each of them.
        TruncationCase{"WidestNumbers", u"%29x%-29d%,29ld", {0xAB, (UINT64)-5, (UINT64)INT64_MIN},
                       Blanks(27) + u"AB-5" + Blanks(3) + u"-9,223,372,036,854,775,808"},
        TruncationCase{"Strings", u"%6s%a%s|", {Slot(WideAb), Slot(NarrowHi), 0},
                       u"ab    hi<null string>|"},
        TruncationCase{"Guid", u"<%g>", {Slot(&ServicesGuid)},
                       u"<BD99C1DA-24D9-4C8D-9478-E68C50D839E1>"},
        TruncationCase{"Status", u"%r/%r", {ErrorBit | 9, ErrorBit | 99},
                       u"Out of Resources/0000000000000063"},
        TruncationCase{"Time", u"at %t.", {Slot(&July4th)}, u"at 07/04/2010  13:05."},
        TruncationCase{"Characters", u"%c%%%c%q", {0x41, 0x42}, u"A%Bq"}),
    [](const ::testing::TestParamInfo<TruncationCase> &Info) { return std::string(Info.param.Name); });

TEST(FormatStringTest, FullBufferStopsReadingArguments) {
  // Only one slot exists: once "abc" fills the buffer, the %s after it must not be reached.
  FormatRun Run = RunFormat(8, u"abc%s%s", {Slot(WideAb)});
  EXPECT_EQ(Show(Run.Text), "abc");
  EXPECT_EQ(Run.Returned, 4u);
}

TEST(FormatStringTest, NoBufferOrNoFormat) {
  EXPECT_EQ(FormatString(nullptr, 64, u"abc", VaListFromSlots(nullptr)), 0u);

  CHAR16 Buffer[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(FormatString(Buffer, sizeof(Buffer), nullptr, VaListFromSlots(nullptr)), 1u);
  EXPECT_EQ(Buffer[0], 0);
  EXPECT_EQ(Buffer[1], u'x');
}

TEST(FormatStringVarArgsTest, ArgumentsOfEveryWidthTakeOneSlotEach) {
  CHAR16 Buffer[96];
  // More than four arguments after the format, so slots come from registers and the stack.
  UINTN Count = FormatStringVarArgs(Buffer, sizeof(Buffer),
                                    u"%d %x %c %s %lx %a %ld %d %g", -5, 0xABCDu, u'Z', WideAb,
                                    0x123456789ULL, NarrowHi, (INT64)-1, (INT16)-7, &ServicesGuid);
  std::u16string Text(Buffer);
  EXPECT_EQ(Show(Text), "-5 ABCD Z ab 123456789 hi -1 -7 BD99C1DA-24D9-4C8D-9478-E68C50D839E1");
  EXPECT_EQ(Count, Text.size() + 1);
}

TEST(FormatStringVarArgsTest, CutsLikeFormatString) {
  CHAR16 Buffer[8];
  for (CHAR16 &Character : Buffer) Character = u'#';
  EXPECT_EQ(FormatStringVarArgs(Buffer, 10, u"%s", u"abcdefg"), 5u);
  EXPECT_EQ(Show(std::u16string(Buffer)), "abcd");
  EXPECT_EQ(Buffer[5], u'#');
  EXPECT_EQ(FormatStringVarArgs(Buffer, 1, u"%s", u"abcdefg"), 0u);
  EXPECT_EQ(Buffer[0], u'a');
}

}  // namespace
}  // namespace format_test
