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

void CmosRtc::PresetIndexLatch(uint8_t value) {
  nmi_mask_ = value & kNmiMaskBit;
  index_ = value & kIndexMask;
}

CmosRtc::Port CmosRtc::Decode(uint16_t offset) const {
  const bool upper = (offset & 2) != 0;  // 0x72, 0x73, 0x76, 0x77
  const bool data = (offset & 1) != 0;
  if (upper && upper_bank_enabled_) return data ? Port::UpperData : Port::UpperIndex;
  if (data) return Port::Data;
  return (offset & 4) != 0 ? Port::Index : Port::NmiAndIndex;
}

uint8_t CmosRtc::ReadByte(uint16_t offset) {
  switch (Decode(offset)) {
    case Port::NmiAndIndex:
      return alternate_access_ ? IndexLatch() : kFloatingRead;
    case Port::Index:
      return index_;
    case Port::Data:
      return ReadStandard();
    case Port::UpperIndex:
      return upper_index_;
    case Port::UpperData:
      return ram_[kBankSize + upper_index_];
  }
  return kFloatingRead;
}

void CmosRtc::WriteByte(uint16_t offset, uint8_t value) {
  switch (Decode(offset)) {
    case Port::NmiAndIndex:
      PresetIndexLatch(value);
      return;
    case Port::Index:
      index_ = value & kIndexMask;
      return;
    case Port::Data:
      WriteStandard(value);
      return;
    case Port::UpperIndex:
      upper_index_ = value & kIndexMask;
      return;
    case Port::UpperData:
      ram_[kBankSize + upper_index_] = value;
      return;
  }
}

uint8_t CmosRtc::ReadStandard() {
  const uint8_t value = ram_[index_];
  if (index_ == kRegisterC) ram_[index_] = 0;
  return value;
}

void CmosRtc::WriteStandard(uint8_t value) {
  switch (index_) {
    case kRegisterA:
      ram_[index_] = static_cast<uint8_t>((ram_[index_] & kUpdateInProgress) |
                                          (value & ~kUpdateInProgress));
      break;
    case kRegisterC:
    case kRegisterD:
      break;
    default:
      ram_[index_] = value;
  }
}

}  // namespace sim
