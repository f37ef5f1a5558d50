#include "sim/hw/flash/SpiHostController.h"

#include <algorithm>

namespace sim {

namespace {

using namespace spi;

namespace op {
constexpr uint8_t kWriteStatus = 0x01, kProgram = 0x02, kRead = 0x03, kReadStatus = 0x05,
                  kWriteEnable = 0x06, kEnableWriteStatus = 0x50;
}  // namespace op

constexpr uint32_t kUnusedRegion = 0x00001FFF;
constexpr uint32_t kEraseUnits[4] = {256, 4u << 10, 8u << 10, 64u << 10};

bool Inside(uint16_t offset, uint16_t first, unsigned bytes) {
  return offset >= first && offset < first + bytes;
}

// Registers the host may change, byte by byte; everything else reads as the controller sets it.
// HSFS, SSFS and the SCIP/FDV-style status bits are handled separately.
bool PlainStorage(uint16_t offset) {
  return Inside(offset, kFaddr, 4) || Inside(offset, kFdata0, kFdataBytes) ||
         Inside(offset, 0x74, 20) /* PR0-PR4: kept, not enforced */ ||
         Inside(offset, kPreop, 2) || Inside(offset, kOptype, 2) || Inside(offset, kOpmenu, 8) ||
         Inside(offset, 0xA0, 4) /* BBAR */ || Inside(offset, kFdoc, 4) ||
         Inside(offset, 0xC0, 4) /* AFC */ || Inside(offset, kLvscc, 8);
}

// Registers a write to which, while a cycle runs, is refused with FCERR.
bool CycleRegister(uint16_t offset) {
  return Inside(offset, kHsfc, 2) || Inside(offset, kFaddr, 4) ||
         Inside(offset, kFdata0, kFdataBytes) || Inside(offset, kSsfc, 3) ||
         Inside(offset, kPreop, 2) || Inside(offset, kOptype, 2) || Inside(offset, kOpmenu, 8);
}

std::vector<uint8_t> WithAddress(uint8_t opcode, uint32_t address) {
  return {opcode, static_cast<uint8_t>(address >> 16), static_cast<uint8_t>(address >> 8),
          static_cast<uint8_t>(address)};
}

}  // namespace

void SpiHostController::Connect(SpiFlashChip *component0, SpiFlashChip *component1) {
  chips_ = {component0, component1};
  Reset();
}

void SpiHostController::Reset() {
  regs_.fill(0);
  running_ = Running{};
  cycles_ = CycleCounts{};
  opcodeTrace_.clear();
  descriptor_.reset();
  if (chips_[0] != nullptr) descriptor_ = DecodeFlashDescriptor(chips_[0]->Array());
  uint32_t hsfs = hsfs::kFdopss.Of(1);  // no descriptor override strap
  if (descriptor_) {
    hsfs |= hsfs::kFdv.Of(1);
    for (unsigned r = 0; r < kRegionCount; ++r) Store(kFreg0 + 4 * r, 4, descriptor_->flreg[r]);
    Store(kBfpr, 4, descriptor_->flreg[kRegionBios]);
    const uint32_t flmstr1 = descriptor_->flmstr1;
    // The host may always read and write its own (BIOS) region.
    const uint32_t read = descriptor::flmstr::kReadAccess.Get(flmstr1) | (1u << kRegionBios);
    const uint32_t write = descriptor::flmstr::kWriteAccess.Get(flmstr1) | (1u << kRegionBios);
    Store(kFrap, 4, frap::kBrra.Of(read) | frap::kBrwa.Of(write));
    Store(kFpb, 4, fpb::kFpba.Of(descriptor_->partitionBoundary >> 12));
  } else {
    for (unsigned r = 0; r < kRegionCount; ++r) Store(kFreg0 + 4 * r, 4, kUnusedRegion);
    const uint32_t size = FlashSize();
    Store(kBfpr, 4, size == 0 ? kUnusedRegion : bfpr::kLimit.Of((size - 1) >> 12));
  }
  Store(kHsfs, 2, hsfs);
}

uint32_t SpiHostController::FlashSize() const {
  if (descriptor_) return descriptor_->componentBytes[0] + descriptor_->componentBytes[1];
  return chips_[0] != nullptr ? chips_[0]->Size() : 0;
}

unsigned SpiHostController::ComponentCount() const {
  return descriptor_ ? descriptor_->componentCount : (chips_[0] != nullptr ? 1 : 0);
}

FlashRegion SpiHostController::BiosRegion() const {
  if (!descriptor_) return FlashRegion{0, FlashSize() - 1};
  const uint32_t word = descriptor_->flreg[kRegionBios];
  return FlashRegion{freg::kBase.Get(word) << 12, (freg::kLimit.Get(word) << 12) | 0xFFF};
}

SpiFlashChip *SpiHostController::ChipAt(uint32_t linear, uint32_t &chipAddress) const {
  const uint32_t first = descriptor_ ? descriptor_->componentBytes[0]
                                     : (chips_[0] != nullptr ? chips_[0]->Size() : 0);
  if (linear < first) {
    chipAddress = linear;
    return chips_[0];
  }
  if (descriptor_ && descriptor_->componentCount == 2 &&
      linear - first < descriptor_->componentBytes[1]) {
    chipAddress = linear - first;
    return chips_[1];
  }
  return nullptr;
}

uint8_t SpiHostController::DirectRead(uint32_t linear) {
  uint32_t address = 0;
  SpiFlashChip *chip = ChipAt(linear, address);
  if (chip == nullptr || chip->Busy()) return 0xFF;
  return chip->Array()[address % chip->Size()];
}

uint8_t *SpiHostController::DirectBytes(uint32_t linear, uint32_t length) {
  uint32_t address = 0;
  SpiFlashChip *chip = ChipAt(linear, address);
  if (chip == nullptr || chip->Busy() || length == 0) return nullptr;
  uint32_t lastAddress = 0;
  if (ChipAt(linear + length - 1, lastAddress) != chip || lastAddress < address ||
      lastAddress >= chip->Size()) {
    return nullptr;
  }
  return chip->Array().data() + address;
}

std::optional<unsigned> SpiHostController::RegionOf(uint32_t linear) const {
  for (unsigned r = 0; r < kRegionCount; ++r) {
    const uint32_t word = Load(kFreg0 + 4 * r, 4);
    const uint32_t base = freg::kBase.Get(word) << 12;
    const uint32_t limit = (freg::kLimit.Get(word) << 12) | 0xFFF;
    if (base <= limit && linear >= base && linear <= limit) return r;
  }
  return std::nullopt;
}

bool SpiHostController::HostMay(uint32_t linear, uint32_t length, bool write) const {
  if (!descriptor_) return true;  // no descriptor, no regions to enforce
  const uint32_t grants = (write ? frap::kBrwa : frap::kBrra).Get(Load(kFrap, 4));
  // Regions are whole 4 KiB units: checking each unit the access touches is exact.
  const uint32_t last = linear + length - 1;
  for (uint32_t unit = linear & ~0xFFFu; unit <= last && unit >= (linear & ~0xFFFu); unit += 0x1000) {
    const auto region = RegionOf(std::max(unit, linear));
    if (!region || (grants & (1u << *region)) == 0) return false;
  }
  return true;
}

uint32_t SpiHostController::CapabilitiesFor(uint32_t linear) const {
  const uint32_t boundary = fpb::kFpba.Get(Load(kFpb, 4)) << 12;
  return Load(linear < boundary ? kLvscc : kUvscc, 4);
}

uint32_t SpiHostController::Load(uint16_t offset, unsigned size) const {
  uint32_t value = 0;
  for (unsigned i = 0; i < size; ++i) value |= static_cast<uint32_t>(regs_[offset + i]) << (8 * i);
  return value;
}

void SpiHostController::Store(uint16_t offset, unsigned size, uint32_t value) {
  for (unsigned i = 0; i < size; ++i) regs_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// ---- Register access ----

uint8_t SpiHostController::ComputedByte(uint16_t offset) const {
  if (Inside(offset, kHsfs, 2)) {
    // BERASE follows the capabilities of the component FADDR points at.
    const uint32_t bes = vscc::kBes.Get(CapabilitiesFor(faddr::kFla.Get(Load(kFaddr, 4))));
    const uint32_t hsfs = hsfs::kBerase.Set(Load(kHsfs, 2), bes);
    return static_cast<uint8_t>(hsfs >> (8 * (offset - kHsfs)));
  }
  if (Inside(offset, kFdod, 4)) {
    uint32_t value = 0xFFFFFFFF;
    if (descriptor_ && chips_[0] != nullptr) {
      const uint32_t fdoc = Load(kFdoc, 4);
      const uint32_t section = fdoc::kFdss.Get(fdoc);
      const uint32_t bases[5] = {descriptor::kSignatureOffset, descriptor_->componentSection,
                                 descriptor_->regionSection, descriptor_->masterSection,
                                 descriptor_->strapSection};
      if (section < 5) {
        const uint32_t at = bases[section] + 4 * fdoc::kFdsi.Get(fdoc);
        const auto &array = chips_[0]->Array();
        value = 0;
        for (unsigned i = 0; i < 4; ++i) {
          value |= static_cast<uint32_t>(at + i < array.size() ? array[at + i] : 0xFF) << (8 * i);
        }
      }
    }
    return static_cast<uint8_t>(value >> (8 * (offset - kFdod)));
  }
  return regs_[offset];
}

uint32_t SpiHostController::Peek(uint16_t offset, unsigned size) const {
  uint32_t value = 0;
  for (unsigned i = 0; i < size && offset + i < kSize; ++i) {
    value |= static_cast<uint32_t>(ComputedByte(static_cast<uint16_t>(offset + i))) << (8 * i);
  }
  return value;
}

bool SpiHostController::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  const auto first = static_cast<uint16_t>(offset);
  const bool readsStatus = (first < kHsfs + 2 && first + size > kHsfs) ||
                           (first <= kSsfs && first + size > kSsfs);
  if (readsStatus && Busy()) Advance();
  value = Peek(first, size);
  return true;
}

bool SpiHostController::WriteMemory(uint64_t offset, unsigned size, uint32_t value) {
  const auto first = static_cast<uint16_t>(offset);
  bool startHardware = false, startSoftware = false;
  for (unsigned i = 0; i < size; ++i) {
    const auto at = static_cast<uint16_t>(first + i);
    const auto byte = static_cast<uint8_t>(value >> (8 * i));
    if (Busy() && CycleRegister(at)) {
      // The datasheet's FCERR case: cycle registers written while a cycle is in progress.
      if (running_.sequencing == Sequencing::Hardware) {
        Store(kHsfs, 2, Load(kHsfs, 2) | hsfs::kFcerr.Mask());
      } else {
        regs_[kSsfs] |= ssfs::kFcerr.Mask();
      }
      continue;
    }
    if (at == kHsfs) {
      regs_[at] &= static_cast<uint8_t>(~(byte & hsfs::kWriteOneToClear));
    } else if (at == kHsfc) {
      regs_[at] = static_cast<uint8_t>(byte & (hsfc::kFcycle.Mask()));
      startHardware = hsfc::kFgo.IsSet(byte);
    } else if (at == kHsfc + 1) {
      regs_[at] = static_cast<uint8_t>(byte & ((hsfc::kFdbc.Mask() | hsfc::kFsmie.Mask()) >> 8));
    } else if (at == kSsfs) {
      regs_[at] &= static_cast<uint8_t>(~(byte & ssfs::kWriteOneToClear));
    } else if (at == kSsfc) {
      const uint8_t kept = static_cast<uint8_t>(ssfc::kAcs.Mask() | ssfc::kSpop.Mask() |
                                                ssfc::kCop.Mask());
      regs_[at] = byte & kept;
      startSoftware = ssfc::kScgo.IsSet(byte);
    } else if (at == kSsfc + 1) {
      regs_[at] = static_cast<uint8_t>(byte & ((ssfc::kDbc.Mask() | ssfc::kDs.Mask() |
                                                ssfc::kSme.Mask()) >> 8));
    } else if (at == kSsfc + 2) {
      regs_[at] = static_cast<uint8_t>(byte & (ssfc::kScf.Mask() >> 16));
    } else if (Inside(at, kLvscc, 8)) {
      // Setting VCL in LVSCC locks both capability registers until reset.
      if (!vscc::kVcl.IsSet(Load(kLvscc, 4))) regs_[at] = byte;
    } else if (PlainStorage(at)) {
      regs_[at] = byte;
    }
  }
  // The go bits act once every byte of the access has landed (a 16-bit HSFC write sets FDBC
  // and FGO together).
  if (startHardware) StartHardwareCycle();
  if (startSoftware) StartSoftwareCycle();
  return true;
}

// ---- Cycles ----

void SpiHostController::FailCycle(unsigned nth, CycleError error) {
  faults_.push_back(InjectedFault{cyclesStarted_ + nth, error});
}

void SpiHostController::HangFromCycle(unsigned nth) { hangFrom_ = cyclesStarted_ + nth; }

bool SpiHostController::BeginCycle(Sequencing sequencing) {
  const unsigned number = ++cyclesStarted_;
  running_ = Running{};
  running_.sequencing = sequencing;
  if (sequencing == Sequencing::Hardware) {
    Store(kHsfs, 2, Load(kHsfs, 2) | hsfs::kScip.Mask());
  } else {
    regs_[kSsfs] |= ssfs::kScip.Mask();
    ++cycles_.software;
  }
  for (auto fault = faults_.begin(); fault != faults_.end(); ++fault) {
    if (fault->cycle == number) {
      const bool access = fault->error == CycleError::AccessErrorLog;
      faults_.erase(fault);
      Finish(true, access);
      return false;
    }
  }
  if (hangFrom_ && number >= *hangFrom_) {
    running_.hang = true;
    return false;
  }
  return true;
}

void SpiHostController::StartHardwareCycle() {
  const uint32_t hsfc = Load(kHsfc, 2);
  const uint32_t cycle = hsfc::kFcycle.Get(hsfc);
  if (cycle == hsfc::kCycleRead) ++cycles_.hardwareReads;
  if (cycle == hsfc::kCycleWrite) ++cycles_.hardwareWrites;
  if (cycle == hsfc::kCycleErase) ++cycles_.hardwareErases;
  if (!BeginCycle(Sequencing::Hardware)) return;

  const uint32_t linear = faddr::kFla.Get(Load(kFaddr, 4));
  const unsigned count = hsfc::kFdbc.Get(hsfc) + 1;
  uint32_t address = 0;
  SpiFlashChip *chip = ChipAt(linear, address);
  const uint32_t capabilities = CapabilitiesFor(linear);
  const uint32_t eraseUnit = kEraseUnits[vscc::kBes.Get(capabilities)];
  const bool erase = cycle == hsfc::kCycleErase;
  const uint32_t first = erase ? linear & ~(eraseUnit - 1) : linear;
  const uint32_t length = erase ? eraseUnit : count;
  uint32_t lastAddress = 0;
  if (!descriptor_ || cycle == hsfc::kCycleReserved || chip == nullptr ||
      ChipAt(first + length - 1, lastAddress) == nullptr) {
    Finish(true, false);
    return;
  }
  if (!HostMay(first, length, cycle != hsfc::kCycleRead)) {
    Finish(true, true);
    return;
  }
  running_.chip = chip;
  auto &steps = running_.steps;
  if (cycle == hsfc::kCycleRead) {
    Step read;
    read.out = WithAddress(op::kRead, address);
    read.readCount = count;
    steps.push_back(read);
  } else if (cycle == hsfc::kCycleWrite) {
    AddStatusWriteSteps(capabilities);
    const bool block = vscc::kWg.IsSet(capabilities);
    for (unsigned done = 0; done < count;) {
      const unsigned chunk = block ? count : 1;
      steps.push_back(Step{false, {op::kWriteEnable}, 0, 0});
      Step program;
      program.out = WithAddress(op::kProgram, address + done);
      for (unsigned i = 0; i < chunk; ++i) program.out.push_back(regs_[kFdata0 + done + i]);
      steps.push_back(program);
      steps.push_back(Step{true, {}, 0, 0});
      done += chunk;
    }
  } else {
    AddStatusWriteSteps(capabilities);
    steps.push_back(Step{false, {op::kWriteEnable}, 0, 0});
    steps.push_back(Step{false, WithAddress(static_cast<uint8_t>(vscc::kEo.Get(capabilities)),
                                            address),
                         0, 0});
    steps.push_back(Step{true, {}, 0, 0});
  }
  Run();
}

// Write Status Required: a status write of 00h before every write and erase, enabled by 06h or
// 50h as Write Enable on Write Status says, and waited for like any status write.
void SpiHostController::AddStatusWriteSteps(uint32_t capabilities) {
  if (!vscc::kWsr.IsSet(capabilities)) return;
  const uint8_t enable = vscc::kWews.IsSet(capabilities) ? op::kWriteEnable : op::kEnableWriteStatus;
  running_.steps.push_back(Step{false, {enable}, 0, 0});
  running_.steps.push_back(Step{false, {op::kWriteStatus, 0x00}, 0, 0});
  running_.steps.push_back(Step{true, {}, 0, 0});
}

void SpiHostController::StartSoftwareCycle() {
  if (!BeginCycle(Sequencing::Software)) return;
  const uint32_t ssfc = Load(kSsfc, 3);
  const unsigned menuIndex = ssfc::kCop.Get(ssfc);
  const uint8_t opcode = regs_[kOpmenu + menuIndex];
  const uint32_t type = optype::Entry(menuIndex).Get(Load(kOptype, 2));
  const bool withAddress =
      type == optype::kReadWithAddress || type == optype::kWriteWithAddress;
  const bool write = type == optype::kWriteNoAddress || type == optype::kWriteWithAddress;
  const bool data = ssfc::kDs.IsSet(ssfc);
  const unsigned count = ssfc::kDbc.Get(ssfc) + 1;
  const bool atomic = ssfc::kAcs.IsSet(ssfc);

  const uint32_t linear = faddr::kFla.Get(Load(kFaddr, 4));
  uint32_t address = 0;
  SpiFlashChip *chip = ChipAt(linear, address);
  if (chip == nullptr) {
    Finish(true, false);
    return;
  }
  if (withAddress && !HostMay(linear, data ? count : 1, write)) {
    Finish(true, true);
    return;
  }
  running_.chip = chip;
  auto &steps = running_.steps;
  if (atomic) {
    const uint8_t prefix = regs_[kPreop + ssfc::kSpop.Get(ssfc)];
    steps.push_back(Step{false, {prefix}, 0, 0});
  }
  Step main;
  main.out = withAddress ? WithAddress(opcode, address) : std::vector<uint8_t>{opcode};
  if (data && write) {
    for (unsigned i = 0; i < count; ++i) main.out.push_back(regs_[kFdata0 + i]);
  } else if (data) {
    main.readCount = count;
  }
  steps.push_back(main);
  if (atomic) steps.push_back(Step{true, {}, 0, 0});
  Run();
}

void SpiHostController::Run() {
  SpiFlashChip &chip = *running_.chip;
  while (running_.next < running_.steps.size()) {
    const Step &step = running_.steps[running_.next];
    chip.Select();
    if (step.poll) {
      opcodeTrace_.push_back(op::kReadStatus);
      chip.Transfer(op::kReadStatus);
      const uint8_t status = chip.Transfer(0);
      chip.Deselect();
      if (status & spi_status::kWip) return;  // wait for the host's next status read
    } else {
      opcodeTrace_.push_back(step.out[0]);
      for (uint8_t byte : step.out) chip.Transfer(byte);
      for (unsigned i = 0; i < step.readCount; ++i) {
        regs_[kFdata0 + step.readOffset + i] = chip.Transfer(0);
      }
      chip.Deselect();
    }
    ++running_.next;
  }
  Finish(false, false);
}

void SpiHostController::Advance() {
  if (running_.hang || running_.chip == nullptr) return;
  Run();
}

void SpiHostController::Finish(bool error, bool accessError) {
  if (error) ++cycles_.failed;
  if (running_.sequencing == Sequencing::Hardware) {
    uint32_t hsfs = Load(kHsfs, 2) & ~hsfs::kScip.Mask();
    hsfs |= error ? hsfs::kFcerr.Mask() : hsfs::kFdone.Mask();
    if (accessError) hsfs |= hsfs::kAel.Mask();
    Store(kHsfs, 2, hsfs);
  } else {
    uint8_t status = regs_[kSsfs] & static_cast<uint8_t>(~ssfs::kScip.Mask());
    status |= static_cast<uint8_t>(error ? ssfs::kFcerr.Mask() : ssfs::kCds.Mask());
    if (accessError) status |= static_cast<uint8_t>(ssfs::kAel.Mask());
    regs_[kSsfs] = status;
  }
  running_ = Running{};
}

}  // namespace sim
