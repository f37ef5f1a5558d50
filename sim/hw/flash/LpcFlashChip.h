// A flash part on the LPC bus, decoded by the chipset at the top of 4 GiB, modelled as the
// command state machine of its datasheet. Every command is one byte-wide memory write; reads
// return the array, the identifier or the status depending on the mode.
//
// JEDEC command set (offsets are within the part; the unlock addresses compare A14:0):
//   AA@5555 55@2AAA 90@5555   identification mode: offset 0 reads the manufacturer code,
//                             offset 1 the device code (A0 selects)
//   F0 anywhere, or AA/55/F0  back to reading the array
//   AA/55/A0@5555 then D@A    program one byte: the array byte becomes (old AND D)
//   AA/55/80@5555 AA/55 then 30@A sector (4 KiB) / 50@A block (64 KiB) erase / 10@5555 chip
//                             (chip erase on parallel parts only)
//   while a program or erase runs, every read returns bit 6 toggling from read to read (and
//   bit 7 the complement of the programmed bit 7 during a program); the part finishes after
//   its busy count of reads. A write that breaks a sequence returns the part to array reads.
//   Parts with identification registers also answer at register-space offset 0xC0000/0xC0001
//   (0xFFBC0000 for a part at the top of 4 GiB) whatever the mode.
// Firmware-hub command set:
//   90 read identifier (offset 0 manufacturer, 1 device); FF read array
//   70 read status: bit 7 ready, bit 5 erase error, bit 4 program error; 50 clear status
//   40 (or 10) then D@A program one byte (old AND D); 20 then D0@A erase the 64 KiB block
//   (20 followed by anything else sets the error bits 4 and 5: a command sequence error)
//   after a program or erase the part reads status until told otherwise; it stays busy
//   (bit 7 clear) for its busy count of status reads.
// Parts power up reading the array, every byte erased, every block writable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/hw/MemoryBus.h"

namespace sim {

enum class LpcCommandSet { Jedec, FirmwareHub };

struct LpcPartProfile {
  std::string vendor;  // as the driver's part table spells it
  std::string name;
  uint8_t manufacturerId;
  uint8_t deviceId;
  uint32_t size;
  LpcCommandSet commands;
  bool hasIdRegisters;  // JEDEC parts answering in the register space at 0xC0000
  // JEDEC chip erase (AA/55/80/AA/55/10@5555): parallel parts only; the firmware-hub and LPC
  // parts take it only in their parallel programming mode, never on the bus.
  bool hasChipErase = false;
};

namespace fwh_status {
inline constexpr uint8_t kReady = 0x80;
inline constexpr uint8_t kEraseError = 0x20;
inline constexpr uint8_t kProgramError = 0x10;
}  // namespace fwh_status

class LpcFlashChip : public MemoryDevice {
 public:
  // The window the chipset forwards to the part: 1 MiB below 4 GiB. A smaller part decodes
  // only its own address bits, so it appears more than once in the window.
  static constexpr uint64_t kWindowBase = 0xFFF00000, kWindowSize = 0x100000;
  // The part's register space, 4 MiB below its memory window.
  static constexpr uint64_t kRegisterBase = 0xFFB00000, kRegisterSize = 0x100000;
  static constexpr uint32_t kIdRegisterOffset = 0xC0000;

  explicit LpcFlashChip(LpcPartProfile profile);

  // Memory window (offset = address - kWindowBase).
  bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
  bool WriteMemory(uint64_t offset, unsigned size, uint32_t value) override;
  // The array for bulk reads, only while the part reads the array.
  uint8_t *Backing(uint64_t offset, uint64_t length) override;

  // The register space as a device of its own (identification registers; others read 0).
  MemoryDevice &Registers() { return registers_; }

  // ---- Contents and state (no bus cycles) ----
  const LpcPartProfile &Profile() const { return profile_; }
  uint32_t Size() const { return profile_.size; }
  std::vector<uint8_t> &Array() { return array_; }
  const std::vector<uint8_t> &Array() const { return array_; }
  bool Busy() const { return busyReadsLeft_ > 0; }
  bool ReadingArray() const;
  // Power off and on: back to reading the array, status ready, nothing running.
  void PowerCycle();

  // Reads (JEDEC) or status reads (firmware hub) an operation stays busy for.
  void SetBusyReads(unsigned program, unsigned erase);

  // ---- Faults ----
  void NeverFinish(bool on) { neverFinish_ = on; }
  void IgnorePrograms(bool on) { ignorePrograms_ = on; }

  struct Counts {
    unsigned programs = 0;
    unsigned sectorErases = 0;
    unsigned blockErases = 0;
    unsigned chipErases = 0;
    unsigned sequenceResets = 0;  // writes that broke a command sequence
  };
  const Counts &Count() const { return counts_; }

 private:
  class RegisterSpace : public MemoryDevice {
   public:
    explicit RegisterSpace(LpcFlashChip &chip) : chip_(chip) {}
    bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
    bool WriteMemory(uint64_t, unsigned, uint32_t) override { return true; }

   private:
    LpcFlashChip &chip_;
  };

  enum class Mode {
    ReadArray, Unlocked1, Unlocked2, Identify, IdUnlocked1, IdUnlocked2, ProgramSetup,
    EraseSetup, EraseUnlocked1, EraseUnlocked2, Busy,
    // firmware hub
    ReadStatus, FwhProgramSetup, FwhEraseSetup,
  };

  uint8_t ReadByte(uint32_t offset);
  void WriteByte(uint32_t offset, uint8_t value);
  void JedecWrite(uint32_t offset, uint8_t value);
  void FwhWrite(uint32_t offset, uint8_t value);
  void StartBusy(unsigned reads, Mode after);
  void ProgramByte(uint32_t offset, uint8_t value);
  void EraseRange(uint32_t first, uint32_t length);
  uint8_t IdentifierAt(uint32_t offset) const;
  uint32_t Wrap(uint64_t offset) const { return static_cast<uint32_t>(offset & (profile_.size - 1)); }

  LpcPartProfile profile_;
  std::vector<uint8_t> array_;
  RegisterSpace registers_{*this};
  Mode mode_ = Mode::ReadArray;
  Mode afterBusy_ = Mode::ReadArray;
  unsigned busyReadsLeft_ = 0;
  unsigned programBusy_ = 2, eraseBusy_ = 4;
  uint8_t toggle_ = 0;
  uint8_t programmedBit7_ = 0;
  uint8_t fwhStatus_ = fwh_status::kReady;
  bool neverFinish_ = false, ignorePrograms_ = false;
  Counts counts_;
};

}  // namespace sim
