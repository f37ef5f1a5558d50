// An HII font service with one fixed-size font: every character is an 8 x 19 cell with the
// same glyph shape (a frame in the foreground colour on the background colour). Where text
// lands and in which colours is what matters to its users, not the letter shapes.
//
// StringToImage draws one row: it ends at the first NUL, and at the first line feed or
// carriage return unless EFI_HII_IGNORE_LINE_BREAK is set (then they are skipped). The
// bounding box is the image (or, with EFI_HII_DIRECT_TO_SCREEN, the screen, no larger than its
// current mode). A cell that does not fit entirely is not drawn, and nothing after it on the
// row either; with EFI_HII_OUT_FLAG_CLIP its visible part is drawn instead (CLIP_CLEAN_X /
// CLIP_CLEAN_Y drop cells cut at the right / bottom). Direct drawing goes through the screen's
// own Blt, one call per row, so it can never write outside the screen. Wrapping is not
// modelled: text that does not fit on the row is not drawn.
#pragma once

#include <string>
#include <vector>

#include "uefi/GraphicsOutput.h"
#include "uefi/HiiFont.h"

namespace sim {

class HiiFont {
 public:
  static constexpr unsigned kGlyphWidth = 8, kGlyphHeight = 19;
  // Colours used when there is no display information, or its mask asks for the system's.
  static constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kDefaultForeground{0xFF, 0xFF, 0xFF, 0};
  static constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kDefaultBackground{0x00, 0x00, 0x00, 0};
  static constexpr EFI_FONT_INFO_MASK kSysForeColor = 0x10, kSysBackColor = 0x20;

  // One StringToImage call. Text is the string up to its NUL; Screen, Width and Height are
  // those of the image output record on entry (null / 0 when there was none).
  struct Call {
    EFI_HII_OUT_FLAGS Flags;
    std::u16string Text;
    EFI_GRAPHICS_OUTPUT_BLT_PIXEL Foreground, Background;
    UINTN X, Y;
    EFI_GRAPHICS_OUTPUT_PROTOCOL *Screen;
    UINT16 Width, Height;
    EFI_STATUS Status;
    UINTN CellsDrawn;  // whole or clipped character cells put on the image or screen
  };

  HiiFont();
  HiiFont(const HiiFont &) = delete;
  HiiFont &operator=(const HiiFont &) = delete;

  EFI_HII_FONT_PROTOCOL *Protocol() { return &binding_.protocol; }
  const std::vector<Call> &Calls() const { return calls_; }
  // The next StringToImage returns `status` and draws nothing.
  void FailNextCall(EFI_STATUS status) { nextFailure_ = status; }

  // The glyph shape: true where the cell shows the foreground colour.
  static bool IsForegroundPixel(unsigned column, unsigned row);

 private:
  struct Binding {
    EFI_HII_FONT_PROTOCOL protocol;
    HiiFont *owner;
  };
  static HiiFont &From(const EFI_HII_FONT_PROTOCOL *self);

  static EFI_STATUS EFIAPI StringToImage(const EFI_HII_FONT_PROTOCOL *self,
                                         EFI_HII_OUT_FLAGS flags, const EFI_STRING string,
                                         const EFI_FONT_DISPLAY_INFO *stringInfo,
                                         EFI_IMAGE_OUTPUT **blt, UINTN bltX, UINTN bltY,
                                         EFI_HII_ROW_INFO **rowInfoArray,
                                         UINTN *rowInfoArraySize, UINTN *columnInfoArray);
  static EFI_STATUS EFIAPI StringIdToImage(const EFI_HII_FONT_PROTOCOL *, EFI_HII_OUT_FLAGS,
                                           EFI_HII_HANDLE, EFI_STRING_ID, const CHAR8 *,
                                           const EFI_FONT_DISPLAY_INFO *, EFI_IMAGE_OUTPUT **,
                                           UINTN, UINTN, EFI_HII_ROW_INFO **, UINTN *, UINTN *);
  static EFI_STATUS EFIAPI GetGlyph(const EFI_HII_FONT_PROTOCOL *, CHAR16,
                                    const EFI_FONT_DISPLAY_INFO *, EFI_IMAGE_OUTPUT **, UINTN *);
  static EFI_STATUS EFIAPI GetFontInfo(const EFI_HII_FONT_PROTOCOL *, VOID **,
                                       const EFI_FONT_DISPLAY_INFO *, EFI_FONT_DISPLAY_INFO **,
                                       const EFI_STRING);

  Binding binding_;
  std::vector<Call> calls_;
  EFI_STATUS nextFailure_ = EFI_SUCCESS;
};

}  // namespace sim
