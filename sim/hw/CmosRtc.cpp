#include "sim/hw/CmosRtc.h"

namespace sim {

namespace {
constexpr uint8_t kRegisterA = 0x0A;
constexpr uint8_t kRegisterB = 0x0B;
constexpr uint8_t kRegisterC = 0x0C;
constexpr uint8_t kRegisterD = 0x0D;
constexpr uint8_t kUpdateInProgress = 0x80;
constexpr uint8_t kValidRamAndTime = 0x80;
}  // namespace

// A healthy battery: divider running at the usual rate, 24-hour binary-coded mode, RAM valid.
CmosRtc::CmosRtc() {
  ram_[kRegisterA] = 0x26;
  ram_[kRegisterB] = 0x02;
  ram_[kRegisterD] = kValidRamAndTime;
}

uint8_t CmosRtc::ReadByte(uint16_t offset) {
  if (offset == 0) return latch_;
  const uint8_t index = latch_ & kIndexMask;
  const uint8_t value = ram_[index];
  if (index == kRegisterC) ram_[index] = 0;
  return value;
}

void CmosRtc::WriteByte(uint16_t offset, uint8_t value) {
  if (offset == 0) {
    latch_ = value;
    return;
  }
  const uint8_t index = latch_ & kIndexMask;
  switch (index) {
    case kRegisterA:
      ram_[index] = static_cast<uint8_t>((ram_[index] & kUpdateInProgress) |
                                         (value & ~kUpdateInProgress));
      break;
    case kRegisterC:
    case kRegisterD:
      break;
    default:
      ram_[index] = value;
  }
}

}  // namespace sim
