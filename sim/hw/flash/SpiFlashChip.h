// A serial NOR flash part on the SPI bus, modelled as the state machine its datasheet
// describes: a command is shifted in byte by byte while chip select is low, and program, erase
// and status-register writes take effect when chip select goes high again.
//
// Commands understood (all parts unless said):
//   0x9F  read identification: the part's identifier bytes, then 0x00
//   0x05  read status (repeats while clocked); every status byte read is one unit of time for
//         a busy part, so the part finishes after its busy count of status reads
//   0x03  read data from a 3-byte address, wrapping at the end of the array; 0x0B the same
//         after one dummy byte
//   0x06  write enable: sets WEL; 0x04 write disable: clears it
//   0x50  enable status write (parts with an enable-write-status command only): the next
//         command may be 0x01 without WEL
//   0x01  write status: needs WEL or an immediately preceding 0x50; Block-protect parts take
//         the written BP bits; sector-protect parts treat bits 5:2 all ones as "protect every
//         sector" and all zeros as "unprotect every sector"
//   0x02  program: only clears bits. Page parts keep the data inside the 256-byte page of the
//         address (wrapping to the page start, the last 256 bytes win); byte-program parts
//         program the first byte only
//   0x20  erase the 4 KiB sector holding the address; 0x52 32 KiB; 0xD8 64 KiB; 0x60/0xC7 chip
//   0x36 / 0x39  protect / unprotect the 64 KiB sector holding the address (sector-protect parts)
// Program, erase and status write need WEL (cleared again when they complete) and do nothing on a
// protected address (the whole command is dropped). While the part is busy it answers only 0x05;
// anything else is ignored and its data output floats (reads 0xFF).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class SpiProtectionScheme {
  BlockProtectBits,  // status bits 4:2 (BP2..BP0) protect a top part of the array
  SectorLocks,       // one lock per 64 KiB sector; status bits 3:2 report them (all/some/none)
};

enum class SpiProgramScheme {
  Page256,     // 0x02 programs up to 256 bytes inside one page
  SingleByte,  // 0x02 programs one byte
};

// One part as its datasheet describes it.
struct SpiPartProfile {
  std::string vendor;  // as the driver's part table spells it
  std::string name;
  std::vector<uint8_t> id;  // answer to 0x9F, first byte first
  uint32_t size;
  uint8_t powerUpStatus;  // status register right after power-up
  SpiProtectionScheme protection;
  // Block-protect parts: bytes at the top of the array protected by BP = 1; every further BP
  // value doubles it, and BP = 7 protects the whole array.
  uint32_t smallestProtectedRange;
  SpiProgramScheme program;
  bool hasEnableWriteStatus;  // answers 0x50
};

// Status register bits.
namespace spi_status {
inline constexpr uint8_t kWip = 0x01;   // write (program/erase/status write) in progress
inline constexpr uint8_t kWel = 0x02;   // write enable latch
inline constexpr uint8_t kBlockProtect = 0x1C;  // BP2..BP0 (block-protect parts)
inline constexpr uint8_t kSectorProtectStatus = 0x0C;  // SWP (sector-protect parts): 11 all, 01 some
inline constexpr uint8_t kEraseProgramError = 0x20;    // EPE (sector-protect parts)
}  // namespace spi_status

class SpiFlashChip {
 public:
  // Powers up with every byte erased (0xFF) and the profile's power-up status.
  explicit SpiFlashChip(SpiPartProfile profile);

  // ---- The bus, as the host controller drives it ----
  void Select();                      // chip select low: a new command begins
  uint8_t Transfer(uint8_t out);      // one byte out on MOSI, the byte on MISO returned
  void Deselect();                    // chip select high: the command takes effect

  // ---- Contents and state, for tests and fixtures (no bus cycles) ----
  const SpiPartProfile &Profile() const { return profile_; }
  uint32_t Size() const { return profile_.size; }
  std::vector<uint8_t> &Array() { return array_; }
  const std::vector<uint8_t> &Array() const { return array_; }
  uint8_t Status() const;
  bool Busy() const { return busyReadsLeft_ > 0; }
  bool IsProtected(uint32_t address) const;
  // Sets the status register bits a write-status command could set, as if written.
  void PresetStatus(uint8_t status);
  // Power off and on: the array and non-volatile status bits stay; WEL and any running
  // operation are gone; parts whose datasheet gives a power-up protection take it again.
  void PowerCycle();

  // Status reads a program / erase / status write stays busy for (0 = done at once).
  void SetBusyReads(unsigned program, unsigned erase, unsigned statusWrite);

  // ---- Faults ----
  void NeverFinish(bool on) { neverFinish_ = on; }  // busy forever once a write starts
  void IgnorePrograms(bool on) { ignorePrograms_ = on; }  // programs busy, then change nothing

  // ---- Counts ----
  struct Counts {
    unsigned programs = 0;       // program commands carried out
    unsigned erases = 0;         // erase commands carried out
    unsigned statusWrites = 0;   // status writes carried out
    unsigned refused = 0;        // program/erase/status writes dropped (no WEL, protected)
    unsigned ignoredWhileBusy = 0;
  };
  const Counts &Count() const { return counts_; }

 private:
  void Execute();
  void Program(uint32_t address);
  void Erase(uint32_t address, uint32_t unit);
  void WriteStatus(uint8_t value);
  void StartBusy(unsigned reads);
  bool RangeProtected(uint32_t first, uint32_t length) const;

  SpiPartProfile profile_;
  std::vector<uint8_t> array_;
  uint8_t status_;  // WIP excluded: derived from busyReadsLeft_
  std::vector<bool> sectorLocked_;
  unsigned busyReadsLeft_ = 0;
  unsigned programBusy_ = 2, eraseBusy_ = 3, statusBusy_ = 1;
  bool neverFinish_ = false, ignorePrograms_ = false;
  bool writeStatusEnabled_ = false;  // a 0x50 came just before this command

  bool selected_ = false;
  std::vector<uint8_t> command_;  // bytes shifted in since Select
  uint32_t readAddress_ = 0;
  Counts counts_;
};

}  // namespace sim
