#include "sim/hw/flash/LpcFlashChip.h"

#include <algorithm>

namespace sim {

namespace {

constexpr uint32_t kUnlock1 = 0x5555, kUnlock2 = 0x2AAA;
constexpr uint32_t kCommandAddressMask = 0x7FFF;  // the parts compare A14:0
constexpr uint32_t kSector = 4u << 10, kBlock = 64u << 10;
constexpr uint8_t kToggleBit = 0x40, kDataPollBit = 0x80;
constexpr uint8_t kFloating = 0xFF;  // nobody drives the bus

namespace jedec {
constexpr uint8_t kUnlockFirst = 0xAA, kUnlockSecond = 0x55, kIdentify = 0x90, kReset = 0xF0,
                  kEraseSetup = 0x80, kProgram = 0xA0, kSectorErase = 0x30, kBlockErase = 0x50,
                  kChipErase = 0x10;
}  // namespace jedec

namespace fwh {
constexpr uint8_t kReadArray = 0xFF, kIdentify = 0x90, kReadStatus = 0x70, kClearStatus = 0x50,
                  kProgram = 0x40, kProgramAlt = 0x10, kEraseSetup = 0x20, kEraseConfirm = 0xD0;
constexpr uint8_t kErrorBits = fwh_status::kEraseError | fwh_status::kProgramError | 0x08;
}  // namespace fwh

bool At(uint32_t offset, uint32_t commandAddress) {
  return (offset & kCommandAddressMask) == commandAddress;
}

}  // namespace

LpcFlashChip::LpcFlashChip(LpcPartProfile profile)
    : profile_(std::move(profile)), array_(profile_.size, 0xFF) {}

void LpcFlashChip::PowerCycle() {
  mode_ = Mode::ReadArray;
  busyReadsLeft_ = 0;
  fwhStatus_ = fwh_status::kReady;
}

void LpcFlashChip::SetBusyReads(unsigned program, unsigned erase) {
  programBusy_ = program;
  eraseBusy_ = erase;
}

bool LpcFlashChip::ReadingArray() const {
  return mode_ != Mode::Busy && mode_ != Mode::Identify && mode_ != Mode::ReadStatus;
}

bool LpcFlashChip::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  value = 0;
  for (unsigned i = 0; i < size; ++i) {
    value |= static_cast<uint32_t>(ReadByte(Wrap(offset + i))) << (8 * i);
  }
  return true;
}

bool LpcFlashChip::WriteMemory(uint64_t offset, unsigned size, uint32_t value) {
  for (unsigned i = 0; i < size; ++i) {
    WriteByte(Wrap(offset + i), static_cast<uint8_t>(value >> (8 * i)));
  }
  return true;
}

uint8_t *LpcFlashChip::Backing(uint64_t offset, uint64_t length) {
  if (!ReadingArray() || length == 0) return nullptr;
  const uint32_t first = Wrap(offset);
  if (first + length > profile_.size) return nullptr;  // crosses an alias boundary
  return array_.data() + first;
}

bool LpcFlashChip::RegisterSpace::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  value = 0;
  for (unsigned i = 0; i < size; ++i) {
    uint8_t byte = 0;
    if (!chip_.profile_.hasIdRegisters) {
      byte = kFloating;
    } else if (offset + i == kIdRegisterOffset) {
      byte = chip_.profile_.manufacturerId;
    } else if (offset + i == kIdRegisterOffset + 1) {
      byte = chip_.profile_.deviceId;
    }
    value |= static_cast<uint32_t>(byte) << (8 * i);
  }
  return true;
}

uint8_t LpcFlashChip::IdentifierAt(uint32_t offset) const {
  return (offset & 1) ? profile_.deviceId : profile_.manufacturerId;
}

uint8_t LpcFlashChip::ReadByte(uint32_t offset) {
  switch (mode_) {
    case Mode::Busy: {
      uint8_t value;
      if (profile_.commands == LpcCommandSet::Jedec) {
        // Toggle bit: bit 6 flips on every read; data# polling: bit 7 inverted while programming.
        toggle_ ^= kToggleBit;
        value = static_cast<uint8_t>(toggle_ | (~programmedBit7_ & kDataPollBit));
      } else {
        value = static_cast<uint8_t>(fwhStatus_ & ~fwh_status::kReady);
      }
      if (!neverFinish_ && busyReadsLeft_ > 0 && --busyReadsLeft_ == 0) {
        mode_ = afterBusy_;
        fwhStatus_ |= fwh_status::kReady;
      }
      return value;
    }
    case Mode::Identify:
      return IdentifierAt(offset);
    case Mode::ReadStatus:
      return fwhStatus_;
    default:
      return array_[offset];
  }
}

void LpcFlashChip::WriteByte(uint32_t offset, uint8_t value) {
  if (profile_.commands == LpcCommandSet::Jedec) {
    JedecWrite(offset, value);
  } else {
    FwhWrite(offset, value);
  }
}

void LpcFlashChip::JedecWrite(uint32_t offset, uint8_t value) {
  const Mode mode = mode_;
  auto broken = [this] {
    ++counts_.sequenceResets;
    mode_ = Mode::ReadArray;
  };
  switch (mode) {
    case Mode::Busy:
      return;  // commands are ignored while the part works
    case Mode::ProgramSetup:
      ProgramByte(offset, value);
      return;
    case Mode::ReadArray:
    case Mode::Identify:
      if (value == jedec::kReset) {
        mode_ = Mode::ReadArray;
      } else if (value == jedec::kUnlockFirst && At(offset, kUnlock1)) {
        mode_ = mode == Mode::Identify ? Mode::IdUnlocked1 : Mode::Unlocked1;
      } else if (mode == Mode::ReadArray) {
        broken();
      }
      return;
    case Mode::Unlocked1:
    case Mode::IdUnlocked1:
      if (value == jedec::kUnlockSecond && At(offset, kUnlock2)) {
        mode_ = mode == Mode::IdUnlocked1 ? Mode::IdUnlocked2 : Mode::Unlocked2;
      } else {
        broken();
      }
      return;
    case Mode::Unlocked2:
    case Mode::IdUnlocked2:
      if (!At(offset, kUnlock1)) {
        broken();
      } else if (value == jedec::kIdentify) {
        mode_ = Mode::Identify;
      } else if (value == jedec::kReset) {
        mode_ = Mode::ReadArray;
      } else if (value == jedec::kProgram && mode == Mode::Unlocked2) {
        mode_ = Mode::ProgramSetup;
      } else if (value == jedec::kEraseSetup && mode == Mode::Unlocked2) {
        mode_ = Mode::EraseSetup;
      } else {
        broken();
      }
      return;
    case Mode::EraseSetup:
      if (value == jedec::kUnlockFirst && At(offset, kUnlock1)) {
        mode_ = Mode::EraseUnlocked1;
      } else {
        broken();
      }
      return;
    case Mode::EraseUnlocked1:
      if (value == jedec::kUnlockSecond && At(offset, kUnlock2)) {
        mode_ = Mode::EraseUnlocked2;
      } else {
        broken();
      }
      return;
    case Mode::EraseUnlocked2:
      if (value == jedec::kSectorErase) {
        ++counts_.sectorErases;
        EraseRange(offset & ~(kSector - 1), kSector);
      } else if (value == jedec::kBlockErase) {
        ++counts_.blockErases;
        EraseRange(offset & ~(kBlock - 1), std::min(kBlock, profile_.size));
      } else if (value == jedec::kChipErase && At(offset, kUnlock1) && profile_.hasChipErase) {
        ++counts_.chipErases;
        EraseRange(0, profile_.size);
      } else {
        broken();
      }
      return;
    default:
      broken();
      return;
  }
}

void LpcFlashChip::FwhWrite(uint32_t offset, uint8_t value) {
  if (mode_ == Mode::Busy) return;  // only status reads while the part works
  if (mode_ == Mode::FwhProgramSetup) {
    ProgramByte(offset, value);
    return;
  }
  if (mode_ == Mode::FwhEraseSetup) {
    if (value == fwh::kEraseConfirm) {
      ++counts_.blockErases;
      EraseRange(offset & ~(kBlock - 1), std::min(kBlock, profile_.size));
    } else {
      // Command sequence error: both error bits, and the part shows its status.
      fwhStatus_ |= fwh_status::kEraseError | fwh_status::kProgramError;
      ++counts_.sequenceResets;
      mode_ = Mode::ReadStatus;
    }
    return;
  }
  switch (value) {
    case fwh::kReadArray: mode_ = Mode::ReadArray; break;
    case fwh::kIdentify: mode_ = Mode::Identify; break;
    case fwh::kReadStatus: mode_ = Mode::ReadStatus; break;
    case fwh::kClearStatus: fwhStatus_ &= static_cast<uint8_t>(~fwh::kErrorBits); break;
    case fwh::kProgram:
    case fwh::kProgramAlt: mode_ = Mode::FwhProgramSetup; break;
    case fwh::kEraseSetup: mode_ = Mode::FwhEraseSetup; break;
    default: break;  // not a command of this set: ignored
  }
}

void LpcFlashChip::StartBusy(unsigned reads, Mode after) {
  afterBusy_ = after;
  if (reads == 0 && !neverFinish_) {
    mode_ = after;
    fwhStatus_ |= fwh_status::kReady;
    return;
  }
  busyReadsLeft_ = reads == 0 ? 1 : reads;
  fwhStatus_ &= static_cast<uint8_t>(~fwh_status::kReady);
  mode_ = Mode::Busy;
}

void LpcFlashChip::ProgramByte(uint32_t offset, uint8_t value) {
  ++counts_.programs;
  programmedBit7_ = value & kDataPollBit;
  if (!ignorePrograms_) array_[offset] &= value;
  const Mode after = profile_.commands == LpcCommandSet::Jedec ? Mode::ReadArray : Mode::ReadStatus;
  StartBusy(programBusy_, after);
}

void LpcFlashChip::EraseRange(uint32_t first, uint32_t length) {
  std::fill(array_.begin() + first, array_.begin() + first + length, 0xFF);
  programmedBit7_ = kDataPollBit;  // erased bit 7 reads 1, so data# polling shows 0 meanwhile
  const Mode after = profile_.commands == LpcCommandSet::Jedec ? Mode::ReadArray : Mode::ReadStatus;
  StartBusy(eraseBusy_, after);
}

}  // namespace sim
