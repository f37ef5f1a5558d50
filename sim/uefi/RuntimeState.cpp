#include "sim/uefi/RuntimeState.h"

namespace sim {
namespace {

constexpr INT16 kUnspecifiedTimezone = 0x07FF;
constexpr UINT8 kDaylightBits = 0x03;  // adjust-daylight and in-daylight

bool IsLeapYear(unsigned year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

RuntimeState::RuntimeState() {
  time_ = EFI_TIME{};
  time_.Year = 2024;
  time_.Month = 1;
  time_.Day = 1;
  time_.TimeZone = kUnspecifiedTimezone;
}

bool RuntimeState::IsValidTime(const EFI_TIME &time) {
  if (time.Year < 1900 || time.Year > 9999) return false;
  if (time.Month < 1 || time.Month > 12) return false;
  if (time.Day < 1 || time.Day > DaysInMonth(time.Year, time.Month)) return false;
  if (time.Hour > 23 || time.Minute > 59 || time.Second > 59) return false;
  if (time.Nanosecond > 999999999u) return false;
  if (time.TimeZone != kUnspecifiedTimezone && (time.TimeZone < -1440 || time.TimeZone > 1440)) {
    return false;
  }
  return (time.Daylight & ~kDaylightBits) == 0;
}

EFI_STATUS RuntimeState::GetTime(EFI_TIME *time, EFI_TIME_CAPABILITIES *capabilities) const {
  if (time == nullptr) return EFI_INVALID_PARAMETER;
  *time = time_;
  if (capabilities != nullptr) {
    capabilities->Resolution = 1;         // one tick per second, like a CMOS clock
    capabilities->Accuracy = 50000000;    // 50 ppm, in parts per million times 1e6
    capabilities->SetsToZero = FALSE;
  }
  return EFI_SUCCESS;
}

EFI_STATUS RuntimeState::SetTime(const EFI_TIME *time) {
  if (time == nullptr || !IsValidTime(*time)) return EFI_INVALID_PARAMETER;
  time_ = *time;
  return EFI_SUCCESS;
}

void RuntimeState::MapRange(uint64_t physicalStart, uint64_t size, uint64_t virtualStart) {
  ranges_.push_back(Range{physicalStart, size, virtualStart});
}

EFI_STATUS RuntimeState::ConvertPointer(UINTN debugDisposition, void **address) const {
  if (address == nullptr) return EFI_INVALID_PARAMETER;
  if (*address == nullptr) {
    return (debugDisposition & EFI_OPTIONAL_PTR) != 0 ? EFI_SUCCESS : EFI_INVALID_PARAMETER;
  }
  const auto physical = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(*address));
  if (ranges_.empty()) {
    *address = reinterpret_cast<void *>(static_cast<uintptr_t>(physical + offset_));
    return EFI_SUCCESS;
  }
  for (const Range &range : ranges_) {
    if (physical >= range.physicalStart && physical - range.physicalStart < range.size) {
      uint64_t converted = range.virtualStart + (physical - range.physicalStart);
      *address = reinterpret_cast<void *>(static_cast<uintptr_t>(converted));
      return EFI_SUCCESS;
    }
  }
  return EFI_NOT_FOUND;
}

}  // namespace sim
