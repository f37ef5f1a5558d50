#include "sim/uefi/display/HiiFont.h"

#include <algorithm>

#include "sim/uefi/UefiEnvironment.h"

namespace sim {

namespace {

constexpr UINTN kCellWidth = HiiFont::kGlyphWidth, kCellHeight = HiiFont::kGlyphHeight;
constexpr UINTN kBaseline = 15;  // rows above the baseline in a cell
constexpr UINTN kNotDisplayed = ~UINTN(0);

bool Has(EFI_HII_OUT_FLAGS flags, EFI_HII_OUT_FLAGS flag) { return (flags & flag) != 0; }

// Clean clipping only refines clipping, and a wrapped row cannot be clipped clean at its
// right edge: such combinations are refused.
bool FlagsAreValid(EFI_HII_OUT_FLAGS flags) {
  const bool clip = Has(flags, EFI_HII_OUT_FLAG_CLIP);
  if (!clip && Has(flags, EFI_HII_OUT_FLAG_CLIP_CLEAN_X | EFI_HII_OUT_FLAG_CLIP_CLEAN_Y)) {
    return false;
  }
  return !(Has(flags, EFI_HII_OUT_FLAG_WRAP) && Has(flags, EFI_HII_OUT_FLAG_CLIP_CLEAN_X));
}

// Indices into the string of the characters on the (only) row.
std::vector<UINTN> RowCharacters(const CHAR16 *text, EFI_HII_OUT_FLAGS flags) {
  std::vector<UINTN> row;
  for (UINTN i = 0; text[i] != 0; ++i) {
    if (text[i] == u'\n' || text[i] == u'\r') {
      if (Has(flags, EFI_HII_IGNORE_LINE_BREAK)) continue;
      break;
    }
    row.push_back(i);
  }
  return row;
}

// The part of a row of `count` cells at (x, y) that is drawn inside a box of boxW x boxH.
struct VisiblePart {
  UINTN cells = 0;   // cells drawn, the last one possibly cut at the right
  UINTN width = 0;   // pixels drawn across
  UINTN height = 0;  // pixel rows drawn
};

VisiblePart Fit(UINTN boxWidth, UINTN boxHeight, UINTN x, UINTN y, UINTN count,
                EFI_HII_OUT_FLAGS flags) {
  VisiblePart part;
  if (count == 0 || x >= boxWidth || y >= boxHeight) return part;
  const bool clip = Has(flags, EFI_HII_OUT_FLAG_CLIP);
  const UINTN roomAcross = boxWidth - x, roomDown = boxHeight - y;
  if (roomDown < kCellHeight && (!clip || Has(flags, EFI_HII_OUT_FLAG_CLIP_CLEAN_Y))) return part;
  part.height = std::min(roomDown, kCellHeight);
  part.cells = std::min(count, roomAcross / kCellWidth);
  part.width = part.cells * kCellWidth;
  if (part.cells < count && roomAcross % kCellWidth != 0 && clip &&
      !Has(flags, EFI_HII_OUT_FLAG_CLIP_CLEAN_X)) {
    ++part.cells;
    part.width += roomAcross % kCellWidth;
  }
  if (part.cells == 0) part = VisiblePart{};
  return part;
}

// Draws the visible part of the row into `pixels` (rows of `stride` pixels) at (x, y). With
// transparency only the glyph's foreground pixels are written.
void RenderRow(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *pixels, UINTN stride, UINTN x, UINTN y,
               const VisiblePart &part, EFI_GRAPHICS_OUTPUT_BLT_PIXEL foreground,
               EFI_GRAPHICS_OUTPUT_BLT_PIXEL background, bool transparent) {
  for (UINTN row = 0; row < part.height; ++row) {
    EFI_GRAPHICS_OUTPUT_BLT_PIXEL *line = pixels + (y + row) * stride + x;
    for (UINTN column = 0; column < part.width; ++column) {
      if (HiiFont::IsForegroundPixel(unsigned(column % kCellWidth), unsigned(row))) {
        line[column] = foreground;
      } else if (!transparent) {
        line[column] = background;
      }
    }
  }
}

PoolAllocator &Pool() { return UefiEnvironment::Current().Pool(); }

}  // namespace

HiiFont::HiiFont() {
  binding_.protocol.StringToImage = &HiiFont::StringToImage;
  binding_.protocol.StringIdToImage = &HiiFont::StringIdToImage;
  binding_.protocol.GetGlyph = &HiiFont::GetGlyph;
  binding_.protocol.GetFontInfo = &HiiFont::GetFontInfo;
  binding_.owner = this;
}

HiiFont &HiiFont::From(const EFI_HII_FONT_PROTOCOL *self) {
  return *reinterpret_cast<const Binding *>(self)->owner;
}

bool HiiFont::IsForegroundPixel(unsigned column, unsigned row) {
  // A one-pixel frame, columns 1 to 6 and rows 3 to 15, like a box drawn for a missing glyph.
  const bool inside = column >= 1 && column <= 6 && row >= 3 && row <= 15;
  return inside && (column == 1 || column == 6 || row == 3 || row == 15);
}

EFI_STATUS EFIAPI HiiFont::StringToImage(const EFI_HII_FONT_PROTOCOL *self,
                                         EFI_HII_OUT_FLAGS flags, const EFI_STRING string,
                                         const EFI_FONT_DISPLAY_INFO *stringInfo,
                                         EFI_IMAGE_OUTPUT **blt, UINTN bltX, UINTN bltY,
                                         EFI_HII_ROW_INFO **rowInfoArray,
                                         UINTN *rowInfoArraySize, UINTN *columnInfoArray) {
  HiiFont &font = From(self);
  const bool direct = Has(flags, EFI_HII_DIRECT_TO_SCREEN);
  const bool transparent = Has(flags, EFI_HII_OUT_FLAG_TRANSPARENT);

  Call call{};
  call.Flags = flags;
  call.X = bltX;
  call.Y = bltY;
  if (string != nullptr) call.Text = reinterpret_cast<const char16_t *>(string);
  call.Foreground = kDefaultForeground;
  call.Background = kDefaultBackground;
  if (stringInfo != nullptr) {
    if (!Has(stringInfo->FontInfoMask, kSysForeColor)) call.Foreground = stringInfo->ForegroundColor;
    if (!Has(stringInfo->FontInfoMask, kSysBackColor)) call.Background = stringInfo->BackgroundColor;
  }
  if (blt != nullptr && *blt != nullptr) {
    call.Width = (*blt)->Width;
    call.Height = (*blt)->Height;
    if (direct) call.Screen = (*blt)->Image.Screen;
  }
  auto finish = [&](EFI_STATUS status) {
    call.Status = status;
    font.calls_.push_back(call);
    return status;
  };

  if (font.nextFailure_ != EFI_SUCCESS) {
    EFI_STATUS status = font.nextFailure_;
    font.nextFailure_ = EFI_SUCCESS;
    return finish(status);
  }
  if (string == nullptr || blt == nullptr || !FlagsAreValid(flags)) {
    return finish(EFI_INVALID_PARAMETER);
  }
  if (direct && (*blt == nullptr || (*blt)->Image.Screen == nullptr ||
                 (*blt)->Image.Screen->Mode == nullptr ||
                 (*blt)->Image.Screen->Mode->Info == nullptr)) {
    return finish(EFI_INVALID_PARAMETER);
  }
  if (!direct && *blt != nullptr && (*blt)->Image.Bitmap == nullptr) {
    return finish(EFI_INVALID_PARAMETER);
  }

  const std::vector<UINTN> row = RowCharacters(string, flags);
  const bool allocateImage = !direct && *blt == nullptr;
  UINTN boxWidth, boxHeight;
  if (direct) {
    // Never beyond the screen's current mode, whatever the record claims.
    const EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *info = (*blt)->Image.Screen->Mode->Info;
    boxWidth = std::min<UINTN>((*blt)->Width, info->HorizontalResolution);
    boxHeight = std::min<UINTN>((*blt)->Height, info->VerticalResolution);
  } else if (allocateImage) {
    // A new image just large enough for the row at (bltX, bltY).
    if (bltX > 0xFFFF || bltY > 0xFFFF || row.size() > 0xFFFF / kCellWidth ||
        bltX + row.size() * kCellWidth > 0xFFFF || bltY + kCellHeight > 0xFFFF) {
      return finish(EFI_INVALID_PARAMETER);
    }
    boxWidth = bltX + row.size() * kCellWidth;
    boxHeight = bltY + kCellHeight;
  } else {
    boxWidth = (*blt)->Width;
    boxHeight = (*blt)->Height;
  }
  const VisiblePart part = Fit(boxWidth, boxHeight, bltX, bltY, row.size(), flags);

  // Everything that can fail is allocated before anything is drawn.
  EFI_IMAGE_OUTPUT *image = nullptr;
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *bitmap = nullptr;
  EFI_HII_ROW_INFO *rowInfo = nullptr;
  auto releaseAll = [&] {
    if (rowInfo != nullptr) Pool().Free(rowInfo);
    if (bitmap != nullptr) Pool().Free(bitmap);
    if (image != nullptr) Pool().Free(image);
  };
  if (allocateImage) {
    if (Pool().Allocate(EfiBootServicesData, sizeof *image, reinterpret_cast<void **>(&image)) !=
            EFI_SUCCESS ||
        Pool().Allocate(EfiBootServicesData, boxWidth * boxHeight * sizeof *bitmap,
                        reinterpret_cast<void **>(&bitmap)) != EFI_SUCCESS) {
      releaseAll();
      return finish(EFI_OUT_OF_RESOURCES);
    }
  }
  if (rowInfoArray != nullptr && part.cells != 0 &&
      Pool().Allocate(EfiBootServicesData, sizeof *rowInfo,
                      reinterpret_cast<void **>(&rowInfo)) != EFI_SUCCESS) {
    releaseAll();
    return finish(EFI_OUT_OF_RESOURCES);
  }

  EFI_STATUS status = EFI_SUCCESS;
  if (direct) {
    if (part.cells != 0) {
      EFI_GRAPHICS_OUTPUT_PROTOCOL *screen = (*blt)->Image.Screen;
      std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> pixels(part.width * part.height);
      if (transparent) {
        status = screen->Blt(screen, pixels.data(), EfiBltVideoToBltBuffer, bltX, bltY, 0, 0,
                             part.width, part.height, 0);
      }
      if (status == EFI_SUCCESS) {
        RenderRow(pixels.data(), part.width, 0, 0, part, call.Foreground, call.Background,
                  transparent);
        status = screen->Blt(screen, pixels.data(), EfiBltBufferToVideo, 0, 0, bltX, bltY,
                             part.width, part.height, 0);
      }
    }
  } else {
    if (allocateImage) {
      image->Width = UINT16(boxWidth);
      image->Height = UINT16(boxHeight);
      image->Image.Bitmap = bitmap;
      std::fill(bitmap, bitmap + boxWidth * boxHeight, call.Background);
      *blt = image;
    }
    RenderRow((*blt)->Image.Bitmap, (*blt)->Width, bltX, bltY, part, call.Foreground,
              call.Background, transparent);
  }
  if (status != EFI_SUCCESS) {
    releaseAll();
    return finish(status);
  }
  call.CellsDrawn = part.cells;

  if (rowInfoArray != nullptr) {
    if (rowInfo != nullptr) {
      rowInfo->StartIndex = row.front();
      rowInfo->EndIndex = row[part.cells - 1];
      rowInfo->LineHeight = kCellHeight;
      rowInfo->LineWidth = part.width;
      rowInfo->BaselineOffset = kBaseline;
    }
    *rowInfoArray = rowInfo;
    if (rowInfoArraySize != nullptr) *rowInfoArraySize = rowInfo != nullptr ? 1 : 0;
  }
  if (columnInfoArray != nullptr) {
    for (UINTN i = 0; string[i] != 0; ++i) columnInfoArray[i] = kNotDisplayed;
    for (UINTN cell = 0; cell < part.cells; ++cell) {
      columnInfoArray[row[cell]] = bltX + cell * kCellWidth;
    }
  }
  return finish(EFI_SUCCESS);
}

EFI_STATUS EFIAPI HiiFont::StringIdToImage(const EFI_HII_FONT_PROTOCOL *, EFI_HII_OUT_FLAGS,
                                           EFI_HII_HANDLE, EFI_STRING_ID, const CHAR8 *,
                                           const EFI_FONT_DISPLAY_INFO *, EFI_IMAGE_OUTPUT **,
                                           UINTN, UINTN, EFI_HII_ROW_INFO **, UINTN *, UINTN *) {
  return EFI_UNSUPPORTED;  // no string packages behind this font
}

EFI_STATUS EFIAPI HiiFont::GetGlyph(const EFI_HII_FONT_PROTOCOL *, CHAR16,
                                    const EFI_FONT_DISPLAY_INFO *, EFI_IMAGE_OUTPUT **, UINTN *) {
  return EFI_UNSUPPORTED;
}

EFI_STATUS EFIAPI HiiFont::GetFontInfo(const EFI_HII_FONT_PROTOCOL *, VOID **,
                                       const EFI_FONT_DISPLAY_INFO *, EFI_FONT_DISPLAY_INFO **,
                                       const EFI_STRING) {
  return EFI_UNSUPPORTED;
}

}  // namespace sim
