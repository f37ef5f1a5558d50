// FormatStatus, FormatGuid and the time directive: the exact names, GUID text, the date form,
// their results without the NUL, and cutting to the room given.
#include <gtest/gtest.h>

#include <string>

#include "tests/logo/format/FormatHarness.h"

namespace format_test {
namespace {

struct StatusCase {
  EFI_STATUS Status;
  const char *Name;
};

// Every named status.
const StatusCase NamedStatuses[] = {
    {EFI_SUCCESS, "Success"},
    {EFI_WARN_UNKNOWN_GLYPH, "Warning Unknown Glyph"},
    {EFI_WARN_DELETE_FAILURE, "Warning Delete Failure"},
    {EFI_WARN_WRITE_FAILURE, "Warning Write Failure"},
    {EFI_WARN_BUFFER_TOO_SMALL, "Warning Buffer Too Small"},
    {EFI_LOAD_ERROR, "Load Error"},
    {EFI_INVALID_PARAMETER, "Invalid Parameter"},
    {EFI_UNSUPPORTED, "Unsupported"},
    {EFI_BAD_BUFFER_SIZE, "Bad Buffer Size"},
    {EFI_BUFFER_TOO_SMALL, "Buffer Too Small"},
    {EFI_NOT_READY, "Not Ready"},
    {EFI_DEVICE_ERROR, "Device Error"},
    {EFI_WRITE_PROTECTED, "Write Protected"},
    {EFI_OUT_OF_RESOURCES, "Out of Resources"},
    {EFI_VOLUME_CORRUPTED, "Volume Corrupt"},
    {EFI_VOLUME_FULL, "Volume Full"},
    {EFI_NO_MEDIA, "No Media"},
    {EFI_MEDIA_CHANGED, "Media changed"},
    {EFI_NOT_FOUND, "Not Found"},
    {EFI_ACCESS_DENIED, "Access Denied"},
    {EFI_NO_RESPONSE, "No Response"},
    {EFI_NO_MAPPING, "No mapping"},
    {EFI_TIMEOUT, "Time out"},
    {EFI_NOT_STARTED, "Not started"},
    {EFI_ALREADY_STARTED, "Already started"},
    {EFI_ABORTED, "Aborted"},
    {EFI_ICMP_ERROR, "ICMP Error"},
    {EFI_TFTP_ERROR, "TFTP Error"},
    {EFI_PROTOCOL_ERROR, "Protocol Error"},
};

std::string Narrow(const CHAR16 *Text) { return Show(std::u16string(Text)); }

TEST(FormatStatusTest, EveryNamedStatus) {
  for (const StatusCase &Case : NamedStatuses) {
    CHAR16 Buffer[64];
    UINTN Length = FormatStatus(Case.Status, Buffer, sizeof(Buffer));
    EXPECT_EQ(Narrow(Buffer), Case.Name) << std::hex << Case.Status;
    EXPECT_EQ(Length, std::string(Case.Name).size()) << Case.Name;
  }
}

TEST(FormatStatusTest, UnnamedValuesAreTheirLowHalfInSixteenDigits) {
  struct Unnamed {
    UINT64 Status;
    const char *Text;
  };
  const Unnamed Cases[] = {
      {0x8000000000000000ULL, "0000000000000000"},  // error 0 has no name
      {0x8000000000000019ULL, "0000000000000019"},  // one past the last error
      {5, "0000000000000005"},                      // one past the last warning
      {0x0000000100000002ULL, "0000000000000002"},  // high bit clear: not Invalid Parameter
      {0x80000000DEADBEEFULL, "00000000DEADBEEF"},
  };
  for (const Unnamed &Case : Cases) {
    CHAR16 Buffer[64];
    EXPECT_EQ(FormatStatus(Case.Status, Buffer, sizeof(Buffer)), 16u);
    EXPECT_EQ(Narrow(Buffer), Case.Text) << std::hex << Case.Status;
  }
}

TEST(FormatGuidTest, RegistryFormUpperCase) {
  const EFI_GUID Guid = {0x0123ABCD, 0x00EF, 0x0A0B, {0x00, 0x01, 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x05}};
  CHAR16 Buffer[40];
  EXPECT_EQ(FormatGuid(&Guid, Buffer, sizeof(Buffer)), 36u);
  EXPECT_EQ(Narrow(Buffer), "0123ABCD-00EF-0A0B-0001-FEDCBA987605");
}

TEST(FormatGuidTest, NullGuidGivesEmptyText) {
  CHAR16 Buffer[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(FormatGuid(nullptr, Buffer, sizeof(Buffer)), 0u);
  EXPECT_EQ(Buffer[0], 0);
  EXPECT_EQ(Buffer[1], u'x');
}

TEST(NamedValueTest, TooSmallBuffersWriteNothingAndReturnZero) {
  const EFI_GUID Guid = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  for (UINTN BufferSize : {0, 1}) {
    CHAR16 Buffer[2] = {u'x', u'x'};
    EXPECT_EQ(FormatGuid(&Guid, Buffer, BufferSize), 0u);
    EXPECT_EQ(FormatGuid(nullptr, Buffer, BufferSize), 0u);
    EXPECT_EQ(FormatStatus(EFI_NOT_FOUND, Buffer, BufferSize), 0u);
    EXPECT_EQ(FormatStatus(0x1234, Buffer, BufferSize), 0u);
    EXPECT_EQ(Buffer[0], u'x');
    EXPECT_EQ(Buffer[1], u'x');
  }
}

TEST(NamedValueTest, CutNamesReturnTheCutLength) {
  CHAR16 Buffer[8];
  EXPECT_EQ(FormatStatus(EFI_OUT_OF_RESOURCES, Buffer, 8), 3u);
  EXPECT_EQ(Narrow(Buffer), "Out");
  const EFI_GUID Guid = {0xBD99C1DA, 0x24D9, 0x4C8D, {0x94, 0x78, 0xE6, 0x8C, 0x50, 0xD8, 0x39, 0xE1}};
  EXPECT_EQ(FormatGuid(&Guid, Buffer, 11), 4u);
  EXPECT_EQ(Narrow(Buffer), "BD99");
}

struct TimeCase {
  const char *Name;
  EFI_TIME Time;
  const char *Expected;
};

// Parameter name in test listings, instead of the object's bytes.
void PrintTo(const TimeCase &Case, std::ostream *Out) { *Out << Case.Name; }

class TimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeTest, MonthDayYearHourMinute) {
  const TimeCase &Case = GetParam();
  FormatRun Run = RunFormat(128, u"%t", {Slot(&Case.Time)});
  EXPECT_EQ(Show(Run.Text), Case.Expected);
  EXPECT_TRUE(Run.OnlyTextWritten);
}

// Seconds, nanoseconds, time zone and daylight flags are not shown; fields too wide for their
// field are cut to their low digits like any number.
INSTANTIATE_TEST_SUITE_P(
    Cases, TimeTest,
    ::testing::Values(TimeCase{"July4th2010", {2010, 7, 4, 13, 5, 59, 0, 999, -60, 3, 0},
                               "07/04/2010  13:05"},
                      TimeCase{"Midnight", {1999, 12, 31, 0, 0, 0, 0, 0, 0, 0, 0},
                               "12/31/1999  00:00"},
                      TimeCase{"SmallYearZeroFilled", {33, 1, 2, 3, 4, 5, 0, 0, 0, 0, 0},
                               "01/02/0033  03:04"},
                      TimeCase{"OutOfRangeFieldsCut", {65535, 255, 200, 99, 100, 0, 0, 0, 0, 0, 0},
                               "55/00/5535  99:00"}),
    [](const ::testing::TestParamInfo<TimeCase> &Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace format_test
