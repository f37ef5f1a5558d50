// ConvertPointer and the real-time clock.
#include <cstdint>

#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using RuntimeServicesTest = EnvironmentTest;

void *At(uintptr_t address) { return reinterpret_cast<void *>(address); }

TEST_F(RuntimeServicesTest, ConvertPointerRules) {
  struct Case {
    const char *what;
    bool mapRange;
    int64_t offset;
    UINTN disposition;
    void *pointer;
    EFI_STATUS expected;
    void *converted;
  } cases[] = {
      {"identity by default", false, 0, 0, At(0x1000), EFI_SUCCESS, At(0x1000)},
      {"offset applied", false, 0x100000, 0, At(0x1000), EFI_SUCCESS, At(0x101000)},
      {"null without EFI_OPTIONAL_PTR", false, 0, 0, nullptr, EFI_INVALID_PARAMETER, nullptr},
      {"null with EFI_OPTIONAL_PTR", false, 0x100000, EFI_OPTIONAL_PTR, nullptr, EFI_SUCCESS,
       nullptr},
      {"inside a mapped range", true, 0, 0, At(0x20010), EFI_SUCCESS, At(0xF0010)},
      {"outside every mapped range", true, 0, 0, At(0x30000), EFI_NOT_FOUND, At(0x30000)},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    env.Runtime() = RuntimeState();
    env.Runtime().SetVirtualOffset(c.offset);
    if (c.mapRange) env.Runtime().MapRange(0x20000, 0x10000, 0xF0000);
    void *address = c.pointer;
    EXPECT_EQ(rt->ConvertPointer(c.disposition, &address), c.expected);
    EXPECT_EQ(address, c.converted);
  }
  EXPECT_EQ(rt->ConvertPointer(0, nullptr), EFI_INVALID_PARAMETER);
}

TEST_F(RuntimeServicesTest, GetTimeReturnsTheSetTime) {
  EFI_TIME time{};
  time.Year = 2031;
  time.Month = 2;
  time.Day = 28;
  time.Hour = 23;
  time.Minute = 59;
  time.Second = 58;
  time.TimeZone = 60;
  ASSERT_EQ(rt->SetTime(&time), EFI_SUCCESS);

  EFI_TIME read{};
  EFI_TIME_CAPABILITIES capabilities{};
  ASSERT_EQ(rt->GetTime(&read, &capabilities), EFI_SUCCESS);
  EXPECT_EQ(read.Year, 2031);
  EXPECT_EQ(read.Day, 28);
  EXPECT_EQ(read.Second, 58);
  EXPECT_EQ(read.TimeZone, 60);
  EXPECT_NE(capabilities.Resolution, 0u);
  EXPECT_EQ(rt->GetTime(nullptr, nullptr), EFI_INVALID_PARAMETER);
}

TEST_F(RuntimeServicesTest, SetTimeRejectsImpossibleDates) {
  struct Case {
    const char *what;
    UINT16 year;
    UINT8 month, day, hour;
    INT16 timeZone;
  } cases[] = {
      {"month 13", 2024, 13, 1, 0, 0},
      {"February 29 in a common year", 2023, 2, 29, 0, 0},
      {"hour 24", 2024, 1, 1, 24, 0},
      {"time zone beyond a day", 2024, 1, 1, 0, 1441},
      {"year before 1900", 1899, 12, 31, 0, 0},
  };
  EFI_TIME before = env.Runtime().Clock();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    EFI_TIME time{};
    time.Year = c.year;
    time.Month = c.month;
    time.Day = c.day;
    time.Hour = c.hour;
    time.TimeZone = c.timeZone;
    EXPECT_EQ(rt->SetTime(&time), EFI_INVALID_PARAMETER);
  }
  EXPECT_EQ(env.Runtime().Clock().Year, before.Year);
  EFI_TIME leapDay{};
  leapDay.Year = 2024;
  leapDay.Month = 2;
  leapDay.Day = 29;
  EXPECT_EQ(rt->SetTime(&leapDay), EFI_SUCCESS);
}

TEST_F(RuntimeServicesTest, ResetSystemIsRecorded) {
  rt->ResetSystem(EfiResetWarm, EFI_SUCCESS, 0, nullptr);
  ASSERT_TRUE(env.Runtime().Reset().has_value());
  EXPECT_EQ(env.Runtime().Reset()->type, EfiResetWarm);
}

}  // namespace
}  // namespace sim
