#include "sim/hw/flash/SpiFlashChip.h"

#include <algorithm>

namespace sim {

namespace {

namespace op {
constexpr uint8_t kWriteStatus = 0x01, kPageProgram = 0x02, kRead = 0x03, kWriteDisable = 0x04,
                  kReadStatus = 0x05, kWriteEnable = 0x06, kFastRead = 0x0B,
                  kSectorErase = 0x20, kProtectSector = 0x36, kUnprotectSector = 0x39,
                  kEnableWriteStatus = 0x50, kBlockErase32 = 0x52, kChipErase = 0x60,
                  kReadId = 0x9F, kChipEraseAlt = 0xC7, kBlockErase64 = 0xD8;
}  // namespace op

constexpr uint32_t kPageSize = 256;
constexpr uint32_t kLockSector = 64u << 10;
constexpr uint8_t kFloating = 0xFF;  // MISO when the part drives nothing
constexpr uint8_t kWriteProtectPinDeasserted = 0x10;  // WPP: the board leaves WP# high

uint32_t AddressOf(const std::vector<uint8_t> &command) {
  return (static_cast<uint32_t>(command[1]) << 16) | (command[2] << 8) | command[3];
}

bool TakesAddress(uint8_t opcode) {
  switch (opcode) {
    case op::kPageProgram: case op::kRead: case op::kFastRead: case op::kSectorErase:
    case op::kProtectSector: case op::kUnprotectSector: case op::kBlockErase32:
    case op::kBlockErase64:
      return true;
    default:
      return false;
  }
}

}  // namespace

SpiFlashChip::SpiFlashChip(SpiPartProfile profile)
    : profile_(std::move(profile)),
      array_(profile_.size, 0xFF),
      status_(profile_.powerUpStatus & static_cast<uint8_t>(~(spi_status::kWip | spi_status::kWel))),
      sectorLocked_(profile_.size / kLockSector,
                    profile_.protection == SpiProtectionScheme::SectorLocks &&
                        (profile_.powerUpStatus & spi_status::kSectorProtectStatus) ==
                            spi_status::kSectorProtectStatus) {}

void SpiFlashChip::PowerCycle() {
  busyReadsLeft_ = 0;
  selected_ = false;
  writeStatusEnabled_ = false;
  status_ &= static_cast<uint8_t>(~(spi_status::kWel | spi_status::kEraseProgramError));
  if (profile_.powerUpStatus != 0) PresetStatus(profile_.powerUpStatus);
}

void SpiFlashChip::SetBusyReads(unsigned program, unsigned erase, unsigned statusWrite) {
  programBusy_ = program;
  eraseBusy_ = erase;
  statusBusy_ = statusWrite;
}

uint8_t SpiFlashChip::Status() const {
  uint8_t status = status_;
  if (profile_.protection == SpiProtectionScheme::SectorLocks) {
    const auto locked = std::count(sectorLocked_.begin(), sectorLocked_.end(), true);
    status &= static_cast<uint8_t>(~spi_status::kSectorProtectStatus);
    if (locked == static_cast<long>(sectorLocked_.size())) {
      status |= spi_status::kSectorProtectStatus;
    } else if (locked > 0) {
      status |= 0x04;  // some sectors protected
    }
    status |= kWriteProtectPinDeasserted;
  }
  return static_cast<uint8_t>(status | (Busy() ? spi_status::kWip : 0));
}

void SpiFlashChip::PresetStatus(uint8_t status) {
  if (profile_.protection == SpiProtectionScheme::SectorLocks) {
    const uint8_t global = status & 0x3C;
    if (global == 0x3C || global == 0) std::fill(sectorLocked_.begin(), sectorLocked_.end(), global != 0);
    status_ = (status_ & spi_status::kWel) | (status & 0x80);
  } else {
    status_ = static_cast<uint8_t>((status_ & spi_status::kWel) | (status & 0xFC));
  }
}

bool SpiFlashChip::IsProtected(uint32_t address) const {
  address %= profile_.size;
  if (profile_.protection == SpiProtectionScheme::SectorLocks) {
    return sectorLocked_[address / kLockSector];
  }
  const unsigned bp = (status_ & spi_status::kBlockProtect) >> 2;
  if (bp == 0) return false;
  if (bp == 7) return true;
  const uint64_t top = std::min<uint64_t>(uint64_t{profile_.smallestProtectedRange} << (bp - 1),
                                          profile_.size);
  return address >= profile_.size - top;
}

bool SpiFlashChip::RangeProtected(uint32_t first, uint32_t length) const {
  // Protected ranges are whole 64 KiB sectors or more, so checking each 4 KiB is exact.
  for (uint32_t offset = 0; offset < length; offset += 0x1000) {
    if (IsProtected(first + offset)) return true;
  }
  return IsProtected(first + length - 1);
}

void SpiFlashChip::Select() {
  selected_ = true;
  command_.clear();
}

uint8_t SpiFlashChip::Transfer(uint8_t out) {
  if (!selected_) return kFloating;
  command_.push_back(out);
  const uint8_t opcode = command_[0];
  if (Busy() && opcode != op::kReadStatus) return kFloating;
  const size_t index = command_.size() - 1;  // 0 = the opcode byte itself
  if (index == 0) return kFloating;
  switch (opcode) {
    case op::kReadStatus: {
      const uint8_t status = Status();
      if (busyReadsLeft_ > 0 && !neverFinish_) --busyReadsLeft_;
      return status;
    }
    case op::kReadId:
      return index - 1 < profile_.id.size() ? profile_.id[index - 1] : 0x00;
    case op::kRead:
    case op::kFastRead: {
      const size_t firstData = opcode == op::kRead ? 4 : 5;
      if (index < firstData) {
        if (index == 3) readAddress_ = AddressOf(command_) % profile_.size;
        return kFloating;
      }
      const uint8_t value = array_[readAddress_];
      readAddress_ = (readAddress_ + 1) % profile_.size;
      return value;
    }
    default:
      return kFloating;
  }
}

void SpiFlashChip::Deselect() {
  if (!selected_) return;
  selected_ = false;
  if (command_.empty()) return;
  const uint8_t opcode = command_[0];
  const bool enabledWriteStatus = writeStatusEnabled_;
  writeStatusEnabled_ = false;
  if (Busy()) {
    if (opcode != op::kReadStatus) ++counts_.ignoredWhileBusy;
    return;
  }
  if (TakesAddress(opcode) && command_.size() < 4) return;  // incomplete: not executed
  switch (opcode) {
    case op::kWriteEnable:
      status_ |= spi_status::kWel;
      break;
    case op::kWriteDisable:
      status_ &= static_cast<uint8_t>(~spi_status::kWel);
      break;
    case op::kEnableWriteStatus:
      if (profile_.hasEnableWriteStatus) writeStatusEnabled_ = true;
      break;
    case op::kWriteStatus:
      if (command_.size() < 2 || (!(status_ & spi_status::kWel) && !enabledWriteStatus)) {
        ++counts_.refused;
        break;
      }
      WriteStatus(command_[1]);
      break;
    case op::kPageProgram:
      Program(AddressOf(command_));
      break;
    case op::kSectorErase:
      Erase(AddressOf(command_), 4u << 10);
      break;
    case op::kBlockErase32:
      Erase(AddressOf(command_), 32u << 10);
      break;
    case op::kBlockErase64:
      Erase(AddressOf(command_), 64u << 10);
      break;
    case op::kChipErase:
    case op::kChipEraseAlt:
      Erase(0, profile_.size);
      break;
    case op::kProtectSector:
    case op::kUnprotectSector:
      if (profile_.protection != SpiProtectionScheme::SectorLocks) break;
      if (!(status_ & spi_status::kWel)) {
        ++counts_.refused;
        break;
      }
      status_ &= static_cast<uint8_t>(~spi_status::kWel);
      if (status_ & 0x80) {  // SPRL: the sector locks are themselves locked
        ++counts_.refused;
        break;
      }
      sectorLocked_[(AddressOf(command_) % profile_.size) / kLockSector] =
          opcode == op::kProtectSector;
      break;
    default:
      break;  // reads need nothing at the end; unknown opcodes are ignored
  }
}

void SpiFlashChip::StartBusy(unsigned reads) {
  busyReadsLeft_ = neverFinish_ ? std::max(reads, 1u) : reads;
}

void SpiFlashChip::WriteStatus(uint8_t value) {
  if (profile_.protection == SpiProtectionScheme::SectorLocks) {
    // Global protect / unprotect: bits 5:2 all ones or all zeros; SPRL (bit 7) kept as written.
    if (!(status_ & 0x80)) {
      const uint8_t global = value & 0x3C;
      if (global == 0x3C || global == 0) {
        std::fill(sectorLocked_.begin(), sectorLocked_.end(), global != 0);
      }
    }
    status_ = static_cast<uint8_t>((status_ & 0x7F) | (value & 0x80));
  } else {
    status_ = static_cast<uint8_t>((status_ & (spi_status::kWip | spi_status::kWel)) |
                                   (value & 0xFC));
  }
  status_ &= static_cast<uint8_t>(~(spi_status::kWel | spi_status::kEraseProgramError));
  ++counts_.statusWrites;
  StartBusy(statusBusy_);
}

void SpiFlashChip::Program(uint32_t address) {
  address %= profile_.size;
  if (!(status_ & spi_status::kWel) || command_.size() < 5 || IsProtected(address)) {
    ++counts_.refused;
    if (profile_.protection == SpiProtectionScheme::SectorLocks && (status_ & spi_status::kWel)) {
      status_ |= spi_status::kEraseProgramError;
      status_ &= static_cast<uint8_t>(~spi_status::kWel);
    }
    return;
  }
  const uint8_t *data = command_.data() + 4;
  size_t count = command_.size() - 4;
  if (!ignorePrograms_) {
    if (profile_.program == SpiProgramScheme::SingleByte) {
      array_[address] &= data[0];
    } else {
      // Only the last 256 bytes shifted in are kept; they wrap inside the page.
      const size_t skip = count > kPageSize ? count - kPageSize : 0;
      const uint32_t pageStart = address & ~(kPageSize - 1);
      for (size_t i = skip; i < count; ++i) {
        const uint32_t target = pageStart + ((address - pageStart + i) % kPageSize);
        array_[target] &= data[i];
      }
    }
  }
  status_ &= static_cast<uint8_t>(~(spi_status::kWel | spi_status::kEraseProgramError));
  ++counts_.programs;
  StartBusy(programBusy_);
}

void SpiFlashChip::Erase(uint32_t address, uint32_t unit) {
  const uint32_t first = (address % profile_.size) & ~(unit - 1);
  if (!(status_ & spi_status::kWel) || RangeProtected(first, unit)) {
    ++counts_.refused;
    if (profile_.protection == SpiProtectionScheme::SectorLocks && (status_ & spi_status::kWel)) {
      status_ |= spi_status::kEraseProgramError;
      status_ &= static_cast<uint8_t>(~spi_status::kWel);
    }
    return;
  }
  std::fill(array_.begin() + first, array_.begin() + first + unit, 0xFF);
  status_ &= static_cast<uint8_t>(~(spi_status::kWel | spi_status::kEraseProgramError));
  ++counts_.erases;
  StartBusy(eraseBusy_);
}

}  // namespace sim
