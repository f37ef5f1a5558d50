#include "LocationMarker.h"

#include "../../include/BoardLogoProtocols.h"
#include "BoundedReader.h"

namespace {

// Offsets of the marker words in the files that always carry one.
constexpr UINT64 kBitmapMarkerX = 6;
constexpr UINT64 kBitmapMarkerY = 8;
constexpr UINT64 kFormat5MarkerX = 8;
constexpr UINT64 kFormat5MarkerY = 10;

// A JPEG comment segment: FF FE, a two-byte length, then the comment data. Ours starts with
// "COL$" and is followed by the two marker words.
constexpr UINT32 kJpegMarkerTag = 0x244C4F43;  // "COL$" read little-endian
constexpr UINT64 kJpegMarkerBytes = 12;

BOOLEAN ReadWords(const BoundedReader &File, UINT64 OffsetX, UINT64 OffsetY, UINT16 *X,
                  UINT16 *Y) {
  UINT16 FoundX = 0, FoundY = 0;
  if (!File.ReadU16(OffsetX, FoundX) || !File.ReadU16(OffsetY, FoundY)) return FALSE;
  *X = FoundX;
  *Y = FoundY;
  return TRUE;
}

// Only positions whose twelve bytes all lie inside the file are candidates.
BOOLEAN ScanJpegComment(const BoundedReader &File, UINT16 *X, UINT16 *Y) {
  if (File.Size() < kJpegMarkerBytes) return FALSE;
  const UINT64 LastStart = File.Size() - kJpegMarkerBytes;
  for (UINT64 Start = 0; Start <= LastStart; ++Start) {
    const UINT8 *At = File.Bytes(Start, kJpegMarkerBytes);
    if (At[0] != 0xFF || At[1] != 0xFE) continue;
    UINT32 Tag = 0;
    File.ReadU32(Start + 4, Tag);
    if (Tag != kJpegMarkerTag) continue;
    return ReadWords(File, Start + 8, Start + 10, X, Y);
  }
  return FALSE;
}

}  // namespace

BOOLEAN ReadLocationMarker(UINT32 Format, const VOID *Image, UINTN Size, UINT16 *X, UINT16 *Y) {
  if (Image == nullptr) return FALSE;
  BoundedReader File((const UINT8 *)Image, Size);
  switch (Format) {
    case LOGO_FORMAT_BITMAP: return ReadWords(File, kBitmapMarkerX, kBitmapMarkerY, X, Y);
    case LOGO_FORMAT_FORMAT5: return ReadWords(File, kFormat5MarkerX, kFormat5MarkerY, X, Y);
    case LOGO_FORMAT_JPEG: return ScanJpegComment(File, X, Y);
    default: return FALSE;
  }
}
