// The chipset's SPI host interface (SPIBAR = RCBA + 0x3800), as the I/O controller hub
// datasheet describes it, driving one or two SpiFlashChip components.
//
// At reset the controller reads the flash descriptor from component 0: with the signature
// 0x0FF0A55A at 0x10 it sets FDV, takes the component count and densities, the regions (FREG0-4,
// BFPR = the BIOS region), the host's access grants (FRAP) and the partition boundary (FPB).
// Without it FDV stays clear and there is one component, of the whole fitted part.
//
// Hardware sequencing (needs FDV): writing HSFC with FGO starts a cycle of FCYCLE at FADDR:
//   read   0x03, address, FDBC+1 bytes into FDATA
//   write  [status write 00h when the capabilities ask for it: 50h or 06h per WEWS, then 01h 00h]
//          06h, 02h, address, FDBC+1 bytes from FDATA - as one command with 64-byte
//          granularity, one command per byte with 1-byte granularity
//   erase  [the same status write], 06h, the capabilities' erase opcode, address
// with the capabilities (LVSCC below FPB, UVSCC at and above) of the addressed component.
// Writes and erases then poll 05h until the part is idle: one poll per host read of HSFS,
// SCIP set meanwhile, FDONE when done. FCERR (and AEL for a region-permission violation) end a
// cycle that may not run: no descriptor, reserved FCYCLE, an address beyond the flash, a
// region the host may not access, or cycle registers written while a cycle runs.
//
// Software sequencing: writing SSFC with SCGO sends OPMENU[COP], typed by OPTYPE (address from
// FADDR or none; read or write), with DBC+1 data bytes through FDATA when DS is set, preceded
// by PREOP[SPOP] as its own command when ACS is set. With ACS the controller then polls 05h
// until the part is idle (SCIP while it does, one poll per host read of SSFS); CDS ends it.
// FADDR picks the component even for commands without an address. FCERR ends a malformed
// request (cycle in progress, address beyond the flash, region not accessible).
//
// FDOC selects a descriptor dword (FDSS section, FDSI index) that FDOD reads from the flash.
// FDONE/FCERR/AEL in HSFS and CDS/FCERR/AEL in SSFS are cleared by writing 1.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/hw/MemoryBus.h"
#include "sim/hw/flash/FlashDescriptor.h"
#include "sim/hw/flash/SpiFlashChip.h"
#include "sim/hw/flash/SpiRegisters.h"

namespace sim {

class SpiHostController : public MemoryDevice {
 public:
  static constexpr uint64_t kRcbaOffset = 0x3800;
  static constexpr uint64_t kSize = spi::kBlockSize;

  // Component 1 is optional; neither is owned. Call Reset() after changing what they hold.
  void Connect(SpiFlashChip *component0, SpiFlashChip *component1 = nullptr);
  // Power-on / platform reset: registers to their defaults, descriptor read again.
  void Reset();

  // ---- What the rest of the chipset sees ----
  bool DescriptorValid() const { return descriptor_.has_value(); }
  const std::optional<DecodedDescriptor> &Descriptor() const { return descriptor_; }
  uint32_t FlashSize() const;        // both components together
  unsigned ComponentCount() const;
  FlashRegion BiosRegion() const;    // with no descriptor: the whole flash
  // A memory read of the BIOS window: the byte at that linear address (0xFF while the part is
  // busy and answers no read). DirectBytes: the same run for bulk reads, or null when the run
  // leaves one part or the part is busy.
  uint8_t DirectRead(uint32_t linear);
  uint8_t *DirectBytes(uint32_t linear, uint32_t length);

  // ---- Register file ----
  bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
  bool WriteMemory(uint64_t offset, unsigned size, uint32_t value) override;
  // Register value without side effects (a read of HSFS/SSFS here does not poll the part).
  uint32_t Peek(uint16_t offset, unsigned size) const;

  // ---- Counts ----
  struct CycleCounts {
    unsigned hardwareReads = 0;
    unsigned hardwareWrites = 0;
    unsigned hardwareErases = 0;
    unsigned software = 0;   // SCGO cycles
    unsigned failed = 0;     // cycles that ended with FCERR
    unsigned Total() const { return hardwareReads + hardwareWrites + hardwareErases + software; }
  };
  const CycleCounts &Cycles() const { return cycles_; }
  void ClearCycleCounts() { cycles_ = CycleCounts{}; }
  // Opcodes sent on the bus, every command in order (prefixes and polls included).
  const std::vector<uint8_t> &OpcodeTrace() const { return opcodeTrace_; }
  void ClearOpcodeTrace() { opcodeTrace_.clear(); }

  // ---- Faults (cycles counted over both sequencings from 1 = the next one started) ----
  enum class CycleError { FlashCycleError, AccessErrorLog };
  // The nth cycle from now ends at once with FCERR, or with FCERR and AEL, sending nothing.
  void FailCycle(unsigned nth, CycleError error);
  // From the nth cycle from now on, a started cycle never completes (SCIP stays set).
  void HangFromCycle(unsigned nth);

 private:
  enum class Sequencing { None, Hardware, Software };
  // One step of a cycle on the bus: a command (bytes out, then bytes read into FDATA from
  // readOffset), or polling the status register until the part is idle.
  struct Step {
    bool poll = false;
    std::vector<uint8_t> out;
    unsigned readCount = 0;
    unsigned readOffset = 0;
  };
  struct Running {
    Sequencing sequencing = Sequencing::None;
    SpiFlashChip *chip = nullptr;
    std::vector<Step> steps;
    size_t next = 0;
    bool hang = false;
  };

  void WriteByte(uint16_t offset, uint8_t value);
  void StartHardwareCycle();
  void StartSoftwareCycle();
  // Common start of both sequencings: counts the cycle, applies injected faults; false when
  // the cycle ended (or hangs) before anything was sent.
  bool BeginCycle(Sequencing sequencing);
  void Run();      // runs steps until one must wait for the part, or the cycle is done
  void Advance();  // one host read of a status register while a cycle runs
  void Finish(bool error, bool accessError);
  bool Busy() const { return running_.sequencing != Sequencing::None; }
  SpiFlashChip *ChipAt(uint32_t linear, uint32_t &chipAddress) const;
  std::optional<unsigned> RegionOf(uint32_t linear) const;
  bool HostMay(uint32_t linear, uint32_t length, bool write) const;
  uint32_t CapabilitiesFor(uint32_t linear) const;
  void AddStatusWriteSteps(uint32_t capabilities);
  uint8_t ComputedByte(uint16_t offset) const;  // registers that are not plain storage
  uint32_t Load(uint16_t offset, unsigned size) const;
  void Store(uint16_t offset, unsigned size, uint32_t value);

  std::array<SpiFlashChip *, 2> chips_{};
  std::optional<DecodedDescriptor> descriptor_;
  std::array<uint8_t, kSize> regs_{};
  Running running_;
  CycleCounts cycles_;
  std::vector<uint8_t> opcodeTrace_;
  unsigned cyclesStarted_ = 0;
  struct InjectedFault {
    unsigned cycle;  // absolute cycle number
    CycleError error;
  };
  std::vector<InjectedFault> faults_;
  std::optional<unsigned> hangFrom_;
};

}  // namespace sim
