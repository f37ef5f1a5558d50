// State behind the runtime services: the real-time clock, the virtual address map that
// ConvertPointer applies, and any reset a module asked for.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "uefi/UefiSystemTable.h"

namespace sim {

struct ResetRequest {
  EFI_RESET_TYPE type;
  EFI_STATUS status;
};

class RuntimeState {
 public:
  RuntimeState();

  // GetTime / SetTime.
  EFI_STATUS GetTime(EFI_TIME *time, EFI_TIME_CAPABILITIES *capabilities) const;
  EFI_STATUS SetTime(const EFI_TIME *time);
  void SetClock(const EFI_TIME &time) { time_ = time; }  // for tests; no validation
  const EFI_TIME &Clock() const { return time_; }
  static bool IsValidTime(const EFI_TIME &time);

  // ConvertPointer. Without mapped ranges every pointer moves by the offset (0 = identity);
  // once a range is mapped, only pointers inside mapped ranges convert.
  EFI_STATUS ConvertPointer(UINTN debugDisposition, void **address) const;
  void SetVirtualOffset(int64_t offset) { offset_ = offset; }
  void MapRange(uint64_t physicalStart, uint64_t size, uint64_t virtualStart);

  // ResetSystem does not return on hardware; here it records the request and returns.
  void RequestReset(EFI_RESET_TYPE type, EFI_STATUS status) { reset_ = ResetRequest{type, status}; }
  const std::optional<ResetRequest> &Reset() const { return reset_; }

 private:
  struct Range {
    uint64_t physicalStart;
    uint64_t size;
    uint64_t virtualStart;
  };
  EFI_TIME time_;
  int64_t offset_ = 0;
  std::vector<Range> ranges_;
  std::optional<ResetRequest> reset_;
};

}  // namespace sim
