#include "sim/hw/flash/FlashBoard.h"

#include <cstdio>
#include <cstdlib>

#include "sim/hw/flash/SpiRegisters.h"

namespace sim {

namespace {

[[noreturn]] void Die(const std::string &message) {
  std::fprintf(stderr, "sim::FlashBoard: %s\n", message.c_str());
  std::abort();
}

}  // namespace

FlashBoard::FlashBoard(Board &board, const std::string &part)
    : FlashBoard(board, [&part] {
        FlashBoardOptions options;
        options.part = part;
        return options;
      }()) {}

FlashBoard::FlashBoard(Board &board, FlashBoardOptions options)
    : board_(board), options_(std::move(options)) {
  if (const auto spi = FindSpiPart(options_.part)) {
    spiChips_.push_back(std::make_unique<SpiFlashChip>(*spi));
    if (options_.descriptor && options_.twoComponents) {
      spiChips_.push_back(std::make_unique<SpiFlashChip>(*spi));
    }
    gcs_.SetBootBiosStrap(kStrapSpi);
  } else if (const auto lpc = FindLpcPart(options_.part)) {
    lpcChip_ = std::make_unique<LpcFlashChip>(*lpc);
    gcs_.SetBootBiosStrap(kStrapLpc);
  } else {
    Die("no part named \"" + options_.part + "\" in either table");
  }

  if (!board_.Rcba().Attach(GeneralControlStatus::kRcbaOffset, GeneralControlStatus::kSize, gcs_)) {
    Die("GCS already attached: one FlashBoard per board");
  }
  board_.Lpc().PresetRcba(options_.rcba | LpcBridge::kRcbaEnable);

  if (IsSpi()) {
    if (!board_.Rcba().Attach(SpiHostController::kRcbaOffset, SpiHostController::kSize,
                              controller_)) {
      Die("the SPI controller's registers are already taken");
    }
    if (options_.descriptor) {
      FlashDescriptorLayout layout;
      for (const auto &chip : spiChips_) layout.componentBytes.push_back(chip->Size());
      const uint32_t size = FlashSize();
      const FlashRegion bios = options_.biosRegion.value_or(FlashRegion{0x1000, size - 1});
      if (bios.base < 0x1000 || bios.limit >= size || bios.base > bios.limit ||
          (bios.base & 0xFFF) != 0 || (bios.limit & 0xFFF) != 0xFFF) {
        Die("BIOS region must be whole 4 KiB units above the descriptor, inside the flash");
      }
      layout.regions[spi::kRegionDescriptor] = FlashRegion{0, 0xFFF};
      layout.regions[spi::kRegionBios] = bios;
      if (bios.base > 0x1000) layout.regions[spi::kRegionMe] = FlashRegion{0x1000, bios.base - 1};
      if (bios.limit < size - 1) {
        layout.regions[spi::kRegionPlatformData] = FlashRegion{bios.limit + 1, size - 1};
      }
      layout.hostReadAccess = options_.hostReadAccess;
      layout.hostWriteAccess = options_.hostWriteAccess;
      layout_ = layout;
    }
    window_ = std::make_unique<BiosFlashWindow>(controller_);
    LoadImage(std::vector<uint8_t>(FlashSize(), 0xFF));
  } else {
    board_.MapMemory(LpcFlashChip::kWindowBase, LpcFlashChip::kWindowSize, *lpcChip_);
    board_.MapMemory(LpcFlashChip::kRegisterBase, LpcFlashChip::kRegisterSize,
                     lpcChip_->Registers());
  }
}

FlashBoard::~FlashBoard() {
  board_.Rcba().Detach(gcs_);
  board_.Rcba().Detach(controller_);
  if (window_) board_.Memory().Release(*window_);
  if (lpcChip_) {
    board_.Memory().Release(*lpcChip_);
    board_.Memory().Release(lpcChip_->Registers());
  }
}

uint32_t FlashBoard::FlashSize() const {
  if (lpcChip_) return lpcChip_->Size();
  uint32_t size = 0;
  for (const auto &chip : spiChips_) size += chip->Size();
  return size;
}

SpiFlashChip *FlashBoard::SpiChip(unsigned component) {
  return component < spiChips_.size() ? spiChips_[component].get() : nullptr;
}

void FlashBoard::LoadImage(const std::vector<uint8_t> &image) {
  if (image.size() != FlashSize()) Die("image size differs from the flash size");
  if (lpcChip_) {
    lpcChip_->Array() = image;
    return;
  }
  uint32_t at = 0;
  for (const auto &chip : spiChips_) {
    std::copy(image.begin() + at, image.begin() + at + chip->Size(), chip->Array().begin());
    at += chip->Size();
  }
  if (layout_) WriteFlashDescriptor(spiChips_[0]->Array(), *layout_);
  controller_.Connect(spiChips_[0].get(), spiChips_.size() > 1 ? spiChips_[1].get() : nullptr);
  MapBiosWindow();
}

void FlashBoard::PowerCycle() {
  if (lpcChip_) {
    lpcChip_->PowerCycle();
    return;
  }
  for (const auto &chip : spiChips_) chip->PowerCycle();
  controller_.Reset();
  MapBiosWindow();
}

void FlashBoard::MapBiosWindow() {
  board_.Memory().Release(*window_);
  if (window_->Size() != 0) board_.MapMemory(window_->Base(), window_->Size(), *window_);
}

std::vector<uint8_t> FlashBoard::Contents() const {
  if (lpcChip_) return lpcChip_->Array();
  std::vector<uint8_t> contents;
  for (const auto &chip : spiChips_) {
    contents.insert(contents.end(), chip->Array().begin(), chip->Array().end());
  }
  return contents;
}

SpiHostController::CycleCounts FlashBoard::Cycles() const {
  return IsSpi() ? controller_.Cycles() : SpiHostController::CycleCounts{};
}

}  // namespace sim
