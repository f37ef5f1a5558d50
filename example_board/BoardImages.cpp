#include "BoardImages.h"

#include "ExampleBoard.h"

namespace {

const UINTN kFileHeaderBytes = 14;
const UINTN kInfoHeaderBytes = 40;
const UINTN kPixelDataOffset = kFileHeaderBytes + kInfoHeaderBytes;

constexpr UINTN RowBytes(UINTN Width) { return (Width * 3 + 3) & ~static_cast<UINTN>(3); }
constexpr UINTN FileBytes(UINTN Width, UINTN Height) {
  return kPixelDataOffset + RowBytes(Width) * Height;
}

UINT8 gLogo[FileBytes(EXAMPLE_LOGO_WIDTH, EXAMPLE_LOGO_HEIGHT)];
UINT8 gOverlay[FileBytes(EXAMPLE_OVERLAY_WIDTH, EXAMPLE_OVERLAY_HEIGHT)];
UINT8 gDefaultLogo[FileBytes(EXAMPLE_DEFAULT_LOGO_WIDTH, EXAMPLE_DEFAULT_LOGO_HEIGHT)];

void Put16(UINT8 *At, UINT32 Value) {
  At[0] = static_cast<UINT8>(Value);
  At[1] = static_cast<UINT8>(Value >> 8);
}

void Put32(UINT8 *At, UINT32 Value) {
  Put16(At, Value);
  Put16(At + 2, Value >> 16);
}

typedef UINT32 (*PixelFunction)(UINT32 X, UINT32 Y, UINT32 Width, UINT32 Height);

// A bottom-up 24-bit bitmap with a BITMAPINFOHEADER. The two reserved words of the file
// header carry the location marker (0 when the picture has none).
void BuildBitmap(UINT8 *File, UINT32 Width, UINT32 Height, UINT16 MarkerX, UINT16 MarkerY,
                 PixelFunction Pixel) {
  const UINTN Size = FileBytes(Width, Height);
  for (UINTN Index = 0; Index < Size; ++Index) File[Index] = 0;
  File[0] = 'B';
  File[1] = 'M';
  Put32(File + 2, static_cast<UINT32>(Size));
  Put16(File + 6, MarkerX);
  Put16(File + 8, MarkerY);
  Put32(File + 10, static_cast<UINT32>(kPixelDataOffset));
  UINT8 *Info = File + kFileHeaderBytes;
  Put32(Info + 0, static_cast<UINT32>(kInfoHeaderBytes));
  Put32(Info + 4, Width);
  Put32(Info + 8, Height);
  Put16(Info + 12, 1);   // planes
  Put16(Info + 14, 24);  // bits per pixel
  Put32(Info + 20, static_cast<UINT32>(RowBytes(Width) * Height));
  for (UINT32 Y = 0; Y < Height; ++Y) {
    // Rows are stored from the bottom up; each pixel as blue, green, red.
    UINT8 *Row = File + kPixelDataOffset + RowBytes(Width) * (Height - 1 - Y);
    for (UINT32 X = 0; X < Width; ++X) {
      UINT32 Colour = Pixel(X, Y, Width, Height);
      Row[3 * X + 0] = static_cast<UINT8>(Colour);
      Row[3 * X + 1] = static_cast<UINT8>(Colour >> 8);
      Row[3 * X + 2] = static_cast<UINT8>(Colour >> 16);
    }
  }
}

}  // namespace

void BuildBoardImages() {
  BuildBitmap(gLogo, EXAMPLE_LOGO_WIDTH, EXAMPLE_LOGO_HEIGHT, EXAMPLE_LOGO_MARKER_X,
              EXAMPLE_LOGO_MARKER_Y, ExampleLogoPixel);
  BuildBitmap(gOverlay, EXAMPLE_OVERLAY_WIDTH, EXAMPLE_OVERLAY_HEIGHT, 0, 0, ExampleOverlayPixel);
  BuildBitmap(gDefaultLogo, EXAMPLE_DEFAULT_LOGO_WIDTH, EXAMPLE_DEFAULT_LOGO_HEIGHT, 0, 0,
              ExampleLogoPixel);
}

BoardImage BoardLogoImage() { return {gLogo, sizeof(gLogo)}; }
BoardImage BoardOverlayImage() { return {gOverlay, sizeof(gOverlay)}; }
BoardImage BoardDefaultLogoImage() { return {gDefaultLogo, sizeof(gDefaultLogo)}; }
