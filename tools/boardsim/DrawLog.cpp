#include "tools/boardsim/DrawLog.h"

#include <stdexcept>

namespace boardsim {

namespace {

DrawLog *Current = nullptr;

}  // namespace

DrawLog::DrawLog(sim::GraphicsOutputDevice &Screen, sim::HiiFont &Font)
    : Screen_(Screen), Font_(Font) {
  if (Current != nullptr) throw std::logic_error("one DrawLog at a time");
  Current = this;
  OriginalBlt_ = Screen.Protocol()->Blt;
  OriginalStringToImage_ = Font.Protocol()->StringToImage;
  Screen.Protocol()->Blt = &DrawLog::Blt;
  Font.Protocol()->StringToImage = &DrawLog::StringToImage;
}

DrawLog::~DrawLog() {
  Screen_.Protocol()->Blt = OriginalBlt_;
  Font_.Protocol()->StringToImage = OriginalStringToImage_;
  Current = nullptr;
}

EFI_STATUS EFIAPI DrawLog::Blt(EFI_GRAPHICS_OUTPUT_PROTOCOL *This,
                               EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer,
                               EFI_GRAPHICS_OUTPUT_BLT_OPERATION Op, UINTN SourceX, UINTN SourceY,
                               UINTN X, UINTN Y, UINTN Width, UINTN Height, UINTN Delta) {
  EFI_STATUS Status =
      Current->OriginalBlt_(This, Buffer, Op, SourceX, SourceY, X, Y, Width, Height, Delta);
  // The glyphs of a string are the font's business; the string is logged as a whole.
  if (!Current->InText_) {
    // A read from the screen names the screen rectangle as its source.
    const bool FromScreen = Op == EfiBltVideoToBltBuffer;
    Current->Entries_.push_back(DrawEntry{DrawEntry::Kind::Blt, Op, FromScreen ? SourceX : X,
                                          FromScreen ? SourceY : Y, Width, Height, u"", Status});
  }
  return Status;
}

EFI_STATUS EFIAPI DrawLog::StringToImage(const EFI_HII_FONT_PROTOCOL *This, EFI_HII_OUT_FLAGS Flags,
                                         const EFI_STRING String, const EFI_FONT_DISPLAY_INFO *Info,
                                         EFI_IMAGE_OUTPUT **Image, UINTN X, UINTN Y,
                                         EFI_HII_ROW_INFO **Rows, UINTN *RowCount, UINTN *Columns) {
  Current->InText_ = true;
  EFI_STATUS Status = Current->OriginalStringToImage_(This, Flags, String, Info, Image, X, Y, Rows,
                                                      RowCount, Columns);
  Current->InText_ = false;
  std::u16string Text;
  for (const CHAR16 *C = String; C != nullptr && *C != 0; ++C) Text += *C;
  Current->Entries_.push_back(DrawEntry{DrawEntry::Kind::Text, 0, X, Y,
                                        Text.size() * sim::HiiFont::kGlyphWidth,
                                        sim::HiiFont::kGlyphHeight, Text, Status});
  return Status;
}

}  // namespace boardsim
