#include "LogoGeometry.h"

#include "../../include/BoardLogoProtocols.h"

BOOLEAN PixelBufferBytes(UINT64 Width, UINT64 Height, UINT64 *Bytes) {
  const UINT64 MaxPixels = ~(UINT64)0 / 4;
  if (Width != 0 && Height > MaxPixels / Width) return FALSE;
  *Bytes = Width * Height * 4;
  return TRUE;
}

BOOLEAN FitsOnScreen(UINT64 X, UINT64 Y, UINT64 Width, UINT64 Height, UINT64 ScreenWidth,
                     UINT64 ScreenHeight) {
  if (Width == 0 || Height == 0) return FALSE;
  if (Width > ScreenWidth || X > ScreenWidth - Width) return FALSE;
  if (Height > ScreenHeight || Y > ScreenHeight - Height) return FALSE;
  return TRUE;
}

void PlaceImage(UINT32 Placement, UINT64 ScreenWidth, UINT64 ScreenHeight, UINT64 Width,
                UINT64 Height, UINT64 CoordinateX, UINT64 CoordinateY, UINT64 *X, UINT64 *Y) {
  const UINT64 Left = CoordinateX;
  const UINT64 Right = ScreenWidth - CoordinateX - Width;
  const UINT64 CentreX = (ScreenWidth - Width) >> 1;
  const UINT64 Top = CoordinateY;
  const UINT64 Bottom = ScreenHeight - CoordinateY - Height;
  const UINT64 CentreY = (ScreenHeight - Height) >> 1;

  switch (Placement) {
    case LOGO_PLACE_CENTRE_TOP: *X = CentreX; *Y = Top; return;
    case LOGO_PLACE_RIGHT_TOP: *X = Right; *Y = Top; return;
    case LOGO_PLACE_CENTRE_RIGHT: *X = Right; *Y = CentreY; return;
    case LOGO_PLACE_RIGHT_BOTTOM: *X = Right; *Y = Bottom; return;
    case LOGO_PLACE_CENTRE_BOTTOM: *X = CentreX; *Y = Bottom; return;
    case LOGO_PLACE_LEFT_BOTTOM: *X = Left; *Y = Bottom; return;
    case LOGO_PLACE_CENTRE_LEFT: *X = Left; *Y = CentreY; return;
    case LOGO_PLACE_CENTRE: *X = CentreX; *Y = CentreY; return;
    default: *X = Left; *Y = Top; return;
  }
}
