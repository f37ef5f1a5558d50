// Text drawn straight onto the graphics screen through the HII font service.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "ConsoleText.h"
#include "FormatString.h"
#include "LogoDisplay.h"
#include "LogoGuids.h"

// Colours of the sixteen text attribute colour numbers.
const EFI_GRAPHICS_OUTPUT_BLT_PIXEL AttributeColorTable[16] = {
    {0x00, 0x00, 0x00, 0x00},  // black
    {0x98, 0x00, 0x00, 0x00},  // blue
    {0x00, 0x98, 0x00, 0x00},  // green
    {0x98, 0x98, 0x00, 0x00},  // cyan
    {0x00, 0x00, 0x98, 0x00},  // red
    {0x98, 0x00, 0x98, 0x00},  // magenta
    {0x00, 0x98, 0x98, 0x00},  // brown
    {0x98, 0x98, 0x98, 0x00},  // light grey
    {0x10, 0x10, 0x10, 0x00},  // dark grey
    {0xFF, 0x10, 0x10, 0x00},  // light blue
    {0x10, 0xFF, 0x10, 0x00},  // light green
    {0xFF, 0xFF, 0x10, 0x00},  // light cyan
    {0x10, 0x10, 0xFF, 0x00},  // light red
    {0xF0, 0x10, 0xFF, 0x00},  // light magenta
    {0x10, 0xFF, 0xFF, 0x00},  // yellow
    {0xFF, 0xFF, 0xFF, 0x00},  // white
};

namespace {

// Draw direct to the screen, and skip characters the font has no glyph for.
constexpr EFI_HII_OUT_FLAGS kPrintFlags = EFI_HII_DIRECT_TO_SCREEN | EFI_HII_IGNORE_IF_NO_GLYPH;
// Bytes of one character column: 8 x 19 glyph pixels, and 19 pixel rows of one screen column.
constexpr UINT64 kBytesPerCharacter = BADGE_GLYPH_WIDTH * BADGE_LINE_HEIGHT * 4;
constexpr UINT64 kBytesPerScreenColumn = BADGE_LINE_HEIGHT * 4;

// Only one line is drawn: the text ends at its first backspace, line feed or return.
void CutAtControlCharacters(CHAR16 *Text) {
  for (; *Text != 0; ++Text) {
    if (*Text == 8 || *Text == 10 || *Text == 13) *Text = 0;
  }
}

}  // namespace

UINTN WideStringLength(const CHAR16 *String) {
  UINTN Length = 0;
  while (String[Length] != 0) ++Length;
  return Length;
}

EFI_STATUS LocateConsoleTextDevices(EFI_GRAPHICS_OUTPUT_PROTOCOL **Gop, EFI_UGA_DRAW_PROTOCOL **Uga,
                                    EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL **TextOut) {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  EFI_HANDLE ConsoleOut = DxeModule.SystemTable->ConsoleOutHandle;
  *Gop = nullptr;
  *Uga = nullptr;
  *TextOut = nullptr;
  if (EFI_ERROR(Bs->HandleProtocol(ConsoleOut, &kGraphicsOutputGuid, (VOID **)Gop))) {
    *Gop = nullptr;
    EFI_STATUS Status = Bs->HandleProtocol(ConsoleOut, &kUgaDrawGuid, (VOID **)Uga);
    if (EFI_ERROR(Status)) {
      *Uga = nullptr;
      return Status;
    }
  }
  EFI_STATUS Status = Bs->HandleProtocol(ConsoleOut, &kSimpleTextOutputGuid, (VOID **)TextOut);
  if (EFI_ERROR(Status)) *TextOut = nullptr;
  return Status;
}

EFI_STATUS EFIAPI PrintAtPosition(UINTN X, UINTN Y, const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Foreground,
                                  const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Background,
                                  const CHAR16 *Format, ...) {
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  EFI_UGA_DRAW_PROTOCOL *Uga = nullptr;
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *TextOut = nullptr;
  EFI_STATUS Status = LocateConsoleTextDevices(&Gop, &Uga, &TextOut);
  if (EFI_ERROR(Status)) return Status;

  VA_LIST Arguments;
  VA_START(Arguments, Format);
  Status = PrintAtPositionWorker(Gop, Uga, TextOut, X, Y, Foreground, Background, Format,
                                 Arguments);
  VA_END(Arguments);
  return Status;
}

EFI_STATUS PrintAtPositionWorker(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, EFI_UGA_DRAW_PROTOCOL *Uga,
                                 EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *TextOut, UINTN X, UINTN Y,
                                 const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Foreground,
                                 const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Background,
                                 const CHAR16 *Format, VA_LIST Arguments) {
  // The font service draws straight onto a Graphics Output screen only; a UGA-only console
  // would hand it no screen at all.
  if (Gop == nullptr || Gop->Mode == nullptr || Gop->Mode->Info == nullptr) return EFI_UNSUPPORTED;
  (void)Uga;

  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  auto *Text = (CHAR16 *)AllocateZeroedPool(PRINT_BUFFER_BYTES);
  if (Text == nullptr) return EFI_OUT_OF_RESOURCES;

  const UINT64 ScreenWidth = Gop->Mode->Info->HorizontalResolution;
  const UINT64 ScreenHeight = Gop->Mode->Info->VerticalResolution;

  EFI_HII_FONT_PROTOCOL *Font = nullptr;
  EFI_STATUS Status = Bs->LocateProtocol(&kHiiFontGuid, nullptr, (VOID **)&Font);
  if (EFI_ERROR(Status) || Font == nullptr) {
    Bs->FreePool(Text);
    return EFI_ERROR(Status) ? Status : EFI_NOT_FOUND;
  }

  FormatString(Text, PRINT_BUFFER_BYTES, Format, Arguments);
  CutAtControlCharacters(Text);
  if ((UINT64)WideStringLength(Text) * kBytesPerCharacter > ScreenWidth * kBytesPerScreenColumn) {
    Bs->FreePool(Text);
    return EFI_INVALID_PARAMETER;
  }

  auto *Image = (EFI_IMAGE_OUTPUT *)AllocateZeroedPool(sizeof(EFI_IMAGE_OUTPUT));
  if (Image == nullptr) {
    Bs->FreePool(Text);
    return EFI_OUT_OF_RESOURCES;
  }
  Image->Width = (UINT16)ScreenWidth;
  Image->Height = (UINT16)ScreenHeight;
  Image->Image.Screen = Gop;

  auto *Display = (EFI_FONT_DISPLAY_INFO *)AllocateZeroedPool(sizeof(EFI_FONT_DISPLAY_INFO));
  if (Display == nullptr) {
    Bs->FreePool(Image);
    Bs->FreePool(Text);
    return EFI_OUT_OF_RESOURCES;
  }

  const UINTN Attribute = TextOut != nullptr && TextOut->Mode != nullptr ? (UINTN)TextOut->Mode->Attribute : 0;
  Display->ForegroundColor =
      Foreground != nullptr ? *Foreground : AttributeColorTable[Attribute & 0x0F];
  Display->BackgroundColor =
      Background != nullptr ? *Background : AttributeColorTable[(Attribute >> 4) & 0x0F];

  // The font service gets its own pointer to the record, so what is freed below is always
  // what was allocated above.
  EFI_IMAGE_OUTPUT *Target = Image;
  Status = Font->StringToImage(Font, kPrintFlags, Text, Display, &Target, X, Y, nullptr, nullptr,
                               nullptr);

  Bs->FreePool(Image);
  Bs->FreePool(Display);
  Bs->FreePool(Text);
  return Status;
}
