// The board's logo source: one logo with a location marker, one overlay, the hand-off image
// (unless built without it), and three badge strings, two centred and one at a fixed place.
#include "BoardImages.h"
#include "BoardLogoServices.h"
#include "ExampleBoard.h"

namespace {

EFI_BOOT_SERVICES *gBootServices;
LOGO_SOURCE_PROTOCOL gSource;

struct ImageEntry {
  BoardImage (*Picture)();
  UINT32 Type;
  UINT32 Placement;
  UINTN X;
  UINTN Y;
};

const ImageEntry kImages[] = {
    {BoardLogoImage, LOGO_IMAGE_TYPE_LOGO, EXAMPLE_LOGO_PLACEMENT, 0, EXAMPLE_LOGO_TOP},
    // Its own coordinates are replaced by the logo's marker.
    {BoardOverlayImage, LOGO_IMAGE_TYPE_OVERLAY, LOGO_PLACE_LEFT_TOP, 0, 0},
#ifndef EXAMPLE_BOARD_NO_HAND_OFF_IMAGE
    // Placement and coordinates are not used for the hand-off.
    {BoardLogoImage, LOGO_IMAGE_TYPE_HAND_OFF, LOGO_PLACE_LEFT_TOP, 0, 0},
#endif
};

struct BadgeEntry {
  const char *Text;
  UINTN X;
  UINTN Y;
  UINT32 Foreground;  // bytes blue, green, red, reserved from the lowest
  UINT32 Background;
};

const BadgeEntry kBadges[EXAMPLE_BADGE_COUNT] = {
    {"Example Board", LOGO_BADGE_CENTRED, LOGO_BADGE_CENTRED, 0x00FFFFFFu, 0x00000080u},
    {"PlatformServicesDxe boot logo", LOGO_BADGE_CENTRED, LOGO_BADGE_CENTRED, 0x00FFFF10u,
     0x00000080u},
    {"F2 setup", EXAMPLE_BADGE_POSITIONED_X, EXAMPLE_BADGE_POSITIONED_Y, 0x0010FF10u,
     0x00404040u},
};

// Instance counts the images of the asked type; each call returns the next one.
EFI_STATUS EFIAPI GetImage(LOGO_SOURCE_PROTOCOL *This, UINT32 *Instance, UINT32 *Type,
                           UINT32 *Format, VOID **ImageData, UINTN *ImageSize, UINT32 *Attribute,
                           UINTN *CoordinateX, UINTN *CoordinateY) {
  (void)This;
  if (Instance == nullptr || Type == nullptr || Format == nullptr || ImageData == nullptr ||
      ImageSize == nullptr || Attribute == nullptr || CoordinateX == nullptr ||
      CoordinateY == nullptr) {
    return EFI_INVALID_PARAMETER;
  }
  UINT32 Seen = 0;
  for (const ImageEntry &Entry : kImages) {
    if (Entry.Type != *Type) continue;
    if (Seen++ != *Instance) continue;
    BoardImage Picture = Entry.Picture();
    VOID *Copy = BoardPoolCopy(gBootServices, Picture.File, Picture.Size);
    if (Copy == nullptr) return EFI_OUT_OF_RESOURCES;
    *ImageData = Copy;
    *ImageSize = Picture.Size;
    *Format = LOGO_FORMAT_BITMAP;
    *Attribute = Entry.Placement;
    *CoordinateX = Entry.X;
    *CoordinateY = Entry.Y;
    *Instance += 1;
    return EFI_SUCCESS;
  }
  return EFI_NOT_FOUND;
}

// The screen keeps its own size for every image.
BOOLEAN EFIAPI UseImageResolution(LOGO_SOURCE_PROTOCOL *This, UINTN Reserved, UINT32 Width,
                                  UINT32 Height, UINT64 *Unused1, UINT64 *Unused2) {
  (void)This;
  (void)Reserved;
  (void)Width;
  (void)Height;
  (void)Unused1;
  (void)Unused2;
  return FALSE;
}

BOOLEAN EFIAPI GetString(LOGO_SOURCE_PROTOCOL *This, UINTN Index, UINT8 A, UINT8 B,
                         CHAR16 **String, UINTN *X, UINTN *Y, UINT32 *Foreground,
                         UINT32 *Background) {
  (void)This;
  (void)A;
  (void)B;
  if (Index >= EXAMPLE_BADGE_COUNT || String == nullptr || X == nullptr || Y == nullptr ||
      Foreground == nullptr || Background == nullptr) {
    return FALSE;
  }
  const BadgeEntry &Badge = kBadges[Index];
  UINTN Length = 0;
  while (Badge.Text[Length] != '\0') ++Length;
  CHAR16 *Wide = nullptr;
  if (EFI_ERROR(gBootServices->AllocatePool(EfiBootServicesData, (Length + 1) * sizeof(CHAR16),
                                            reinterpret_cast<VOID **>(&Wide)))) {
    return FALSE;
  }
  for (UINTN Char = 0; Char < Length; ++Char) Wide[Char] = static_cast<CHAR16>(Badge.Text[Char]);
  Wide[Length] = 0;
  *String = Wide;
  *X = Badge.X;
  *Y = Badge.Y;
  *Foreground = Badge.Foreground;
  *Background = Badge.Background;
  return TRUE;
}

EFI_STATUS EFIAPI GetStringCount(LOGO_SOURCE_PROTOCOL *This, UINTN *Count) {
  (void)This;
  if (Count == nullptr) return EFI_INVALID_PARAMETER;
  *Count = EXAMPLE_BADGE_COUNT;
  return EFI_SUCCESS;
}

}  // namespace

VOID *BoardPoolCopy(EFI_BOOT_SERVICES *BootServices, const VOID *Source, UINTN Size) {
  VOID *Copy = nullptr;
  if (EFI_ERROR(BootServices->AllocatePool(EfiBootServicesData, Size, &Copy))) return nullptr;
  BootServices->CopyMem(Copy, Source, Size);
  return Copy;
}

LOGO_SOURCE_PROTOCOL *ExampleLogoSource(EFI_SYSTEM_TABLE *SystemTable) {
  gBootServices = SystemTable->BootServices;
  gSource.GetImage = GetImage;
  gSource.UseImageResolution = UseImageResolution;
  gSource.GetString = GetString;
  gSource.GetStringCount = GetStringCount;
  return &gSource;
}
