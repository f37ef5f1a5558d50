// Fits a simulated board with one of the driver's table parts, the way a board is built: the
// boot strap in GCS follows the part's bus (LPC 00b, SPI 11b), the chipset register block is
// enabled at RCBA, and the flash is decoded below 4 GiB.
//
//   sim::Board board;
//   sim::FlashBoard flash(board, "GD25Q32B");                     // descriptor, BIOS region
//   flash.LoadImage(image);                                       // whole part, as a programmer
//   ... run the driver ...
//   EXPECT_EQ(flash.Contents(), expected);
//   EXPECT_EQ(flash.Controller()->Cycles().hardwareWrites, 64u);
//
// SPI parts get a flash descriptor unless `descriptor` is false: one component (or two of the
// same part), the BIOS region given (default: from 4 KiB to the end), the rest of the flash in
// an ME region below the BIOS region and a platform-data region above it, the descriptor in
// region 0. The host master's grants (FLMSTR1) default to reading every region and writing none
// but its own BIOS region, which the chipset always lets it write.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/hw/Board.h"
#include "sim/hw/GeneralControlStatus.h"
#include "sim/hw/flash/BiosFlashWindow.h"
#include "sim/hw/flash/FlashDescriptor.h"
#include "sim/hw/flash/FlashParts.h"
#include "sim/hw/flash/LpcFlashChip.h"
#include "sim/hw/flash/SpiFlashChip.h"
#include "sim/hw/flash/SpiHostController.h"

namespace sim {

struct FlashBoardOptions {
  std::string part;                       // a PartName of either table
  bool descriptor = true;                 // SPI only
  std::optional<FlashRegion> biosRegion;  // SPI with descriptor; linear, inclusive
  bool twoComponents = false;             // SPI with descriptor: the part fitted twice
  uint8_t hostReadAccess = 0x1F;   // FLMSTR1 bits 23:16
  uint8_t hostWriteAccess = 0x00;  // FLMSTR1 bits 31:24
  uint32_t rcba = 0xFED1C000;
};

class FlashBoard {
 public:
  // The strap values of the board's boot BIOS strap field.
  static constexpr uint8_t kStrapLpc = 0x0, kStrapSpi = 0x3;

  // Aborts with a message on an unknown part or an impossible layout (test bugs).
  FlashBoard(Board &board, FlashBoardOptions options);
  FlashBoard(Board &board, const std::string &part);  // default options
  ~FlashBoard();
  FlashBoard(const FlashBoard &) = delete;
  FlashBoard &operator=(const FlashBoard &) = delete;

  bool IsSpi() const { return !spiChips_.empty(); }
  uint32_t FlashSize() const;  // all components
  // Processor address of linear flash address 0 when the whole flash is top-aligned.
  uint64_t FlashBase() const { return 0x100000000ull - FlashSize(); }

  // The whole flash, as a programmer would write it before the board is powered. With a
  // descriptor the first 4 KiB of the image are replaced by the board's descriptor. Resets
  // the controller so that it reads the descriptor again.
  void LoadImage(const std::vector<uint8_t> &image);
  // Turns the board off and on: every part powers up again (as its datasheet says) and the
  // controller reads the descriptor afresh, so the BIOS window follows it.
  void PowerCycle();
  // The whole flash as it is now (components concatenated).
  std::vector<uint8_t> Contents() const;
  // The descriptor the board writes (SPI with descriptor), for tests that check bounds.
  const std::optional<FlashDescriptorLayout> &Layout() const { return layout_; }

  // ---- Parts of the fitted flash ----
  GeneralControlStatus &Gcs() { return gcs_; }
  SpiHostController *Controller() { return IsSpi() ? &controller_ : nullptr; }
  SpiFlashChip *SpiChip(unsigned component = 0);  // null when absent
  LpcFlashChip *LpcChip() { return lpcChip_.get(); }
  BiosFlashWindow *Window() { return IsSpi() ? window_.get() : nullptr; }

  // Controller cycles (SPI), zero for LPC boards.
  SpiHostController::CycleCounts Cycles() const;

 private:
  void MapBiosWindow();

  Board &board_;
  FlashBoardOptions options_;
  GeneralControlStatus gcs_;
  SpiHostController controller_;
  std::vector<std::unique_ptr<SpiFlashChip>> spiChips_;
  std::unique_ptr<LpcFlashChip> lpcChip_;
  std::unique_ptr<BiosFlashWindow> window_;
  std::optional<FlashDescriptorLayout> layout_;
};

}  // namespace sim
