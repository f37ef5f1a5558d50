// Fixture for flash tests on a fitted board: the simulated chipset with one of the table's
// parts, the driver started as the platform starts it, and the client's view of it (the
// protocol, the record detection hands out).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "include/FlashPartRecord.h"
#include "platform_dxe/flash/FlashParts.h"
#include "sim/hw/flash/FlashBoard.h"
#include "tests/platform_dxe/DxeTest.h"

namespace flash_test {

// Bytes that differ from the erased state almost everywhere and from part to part.
std::vector<UINT8> PatternImage(size_t Size, UINT32 Seed);
// A firmware-like image: erased (0xFF) padding with runs of code and data at the bottom, in
// the middle (straddling 4 KiB and 64-byte boundaries) and at the top.
std::vector<UINT8> FirmwareImage(size_t Size, UINT32 Seed);

class FlashBoardTest : public dxe_test::DxeTest {
 protected:
  // Fits the board, then starts the driver. With PlatformTables the DXE services table and
  // the boot script save protocol are there for start-up to bind.
  void Fit(const sim::FlashBoardOptions &Options, bool PlatformTables = true);
  void Fit(const std::string &Part) { Fit(Options(Part)); }
  static sim::FlashBoardOptions Options(const std::string &Part) {
    sim::FlashBoardOptions Result;
    Result.part = Part;
    return Result;
  }

  // Detection through the protocol, asserting it finds a part.
  FLASH_PART_RECORD *Detect(UINT64 Table = 0);
  const SPI_FLASH_PART_RECORD *SpiRecord(const FLASH_PART_RECORD *Part) {
    return (const SPI_FLASH_PART_RECORD *)Part;
  }

  // Processor address of linear flash address 0.
  UINT64 FlashBase() const { return Flash->FlashBase(); }

  // Whole-range operations through the record, in pieces small enough that the board's access
  // log (cleared after each) stays small.
  EFI_STATUS EraseAll(FLASH_PART_RECORD *Part, UINT64 Address, UINT64 Length);
  // Like a flash tool, programs only the 4 KiB units that are not all erased bytes.
  EFI_STATUS ProgramAll(FLASH_PART_RECORD *Part, UINT64 Address, const UINT8 *Data,
                        UINT64 Length);
  EFI_STATUS ReadAll(FLASH_PART_RECORD *Part, UINT64 Address, UINT8 *Data, UINT64 Length);

  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  std::unique_ptr<sim::FlashBoard> Flash;
};

}  // namespace flash_test
