// What firmware drew on a simulated console, in order: every block transfer of an image and
// every string the HII font put on the screen. It sits between the firmware and the devices
// by taking the place of the Graphics Output's Blt and the font's StringToImage (and calls
// them on), so the transfers the font makes for its glyphs are told apart from images.
// One log at a time.
#pragma once

#include <string>
#include <vector>

#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "sim/uefi/display/HiiFont.h"

namespace boardsim {

struct DrawEntry {
  enum class Kind { Blt, Text } What;
  EFI_GRAPHICS_OUTPUT_BLT_OPERATION Op;  // Blt
  UINTN X, Y, Width, Height;             // destination (Blt), top-left corner (Text)
  std::u16string Text;                   // Text
  EFI_STATUS Status;
};

class DrawLog {
 public:
  DrawLog(sim::GraphicsOutputDevice &Screen, sim::HiiFont &Font);
  ~DrawLog();
  DrawLog(const DrawLog &) = delete;
  DrawLog &operator=(const DrawLog &) = delete;

  const std::vector<DrawEntry> &Entries() const { return Entries_; }
  void Clear() { Entries_.clear(); }

 private:
  static EFI_STATUS EFIAPI Blt(EFI_GRAPHICS_OUTPUT_PROTOCOL *This,
                               EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer,
                               EFI_GRAPHICS_OUTPUT_BLT_OPERATION Op, UINTN SourceX, UINTN SourceY,
                               UINTN X, UINTN Y, UINTN Width, UINTN Height, UINTN Delta);
  static EFI_STATUS EFIAPI StringToImage(const EFI_HII_FONT_PROTOCOL *This, EFI_HII_OUT_FLAGS Flags,
                                         const EFI_STRING String, const EFI_FONT_DISPLAY_INFO *Info,
                                         EFI_IMAGE_OUTPUT **Image, UINTN X, UINTN Y,
                                         EFI_HII_ROW_INFO **Rows, UINTN *RowCount, UINTN *Columns);

  sim::GraphicsOutputDevice &Screen_;
  sim::HiiFont &Font_;
  EFI_GRAPHICS_OUTPUT_PROTOCOL_BLT OriginalBlt_;
  EFI_HII_STRING_TO_IMAGE OriginalStringToImage_;
  bool InText_ = false;
  std::vector<DrawEntry> Entries_;
};

}  // namespace boardsim
