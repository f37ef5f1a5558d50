// Framework console control over OVMF's console. Switching to graphics paints the whole
// screen black through Graphics Output and hides the cursor, so a logo starts on a clean
// screen; switching to text clears the text console and shows the cursor again. The mode is
// remembered for GetMode.
#include "BoardLogoServices.h"

namespace {

const EFI_GUID kGraphicsOutputGuid = EFI_GRAPHICS_OUTPUT_PROTOCOL_GUID;
const EFI_GUID kUgaDrawGuid = EFI_UGA_DRAW_PROTOCOL_GUID;

EFI_SYSTEM_TABLE *gSystemTable;
EFI_CONSOLE_CONTROL_PROTOCOL gConsoleControl;
EFI_CONSOLE_CONTROL_SCREEN_MODE gMode = EfiConsoleControlScreenText;

EFI_GRAPHICS_OUTPUT_PROTOCOL *ConsoleGraphics() {
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  if (EFI_ERROR(gSystemTable->BootServices->HandleProtocol(
          gSystemTable->ConsoleOutHandle, &kGraphicsOutputGuid, reinterpret_cast<VOID **>(&Gop)))) {
    return nullptr;
  }
  return Gop;
}

bool ConsoleHasUga() {
  VOID *Uga = nullptr;
  return !EFI_ERROR(gSystemTable->BootServices->HandleProtocol(gSystemTable->ConsoleOutHandle,
                                                               &kUgaDrawGuid, &Uga));
}

EFI_STATUS ClearGraphicsScreen(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop) {
  if (Gop->Mode == nullptr || Gop->Mode->Info == nullptr) return EFI_DEVICE_ERROR;
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL Black = {0, 0, 0, 0};
  return Gop->Blt(Gop, &Black, EfiBltVideoFill, 0, 0, 0, 0, Gop->Mode->Info->HorizontalResolution,
                  Gop->Mode->Info->VerticalResolution, 0);
}

EFI_STATUS EFIAPI GetMode(EFI_CONSOLE_CONTROL_PROTOCOL *This, EFI_CONSOLE_CONTROL_SCREEN_MODE *Mode,
                          BOOLEAN *GopUgaExists, BOOLEAN *StdInLocked) {
  (void)This;
  if (Mode == nullptr) return EFI_INVALID_PARAMETER;
  *Mode = gMode;
  if (GopUgaExists != nullptr) *GopUgaExists = ConsoleGraphics() != nullptr || ConsoleHasUga();
  if (StdInLocked != nullptr) *StdInLocked = FALSE;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI SetMode(EFI_CONSOLE_CONTROL_PROTOCOL *This,
                          EFI_CONSOLE_CONTROL_SCREEN_MODE Mode) {
  (void)This;
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *TextOut = gSystemTable->ConOut;
  if (Mode == EfiConsoleControlScreenGraphics) {
    EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = ConsoleGraphics();
    if (Gop == nullptr) return EFI_UNSUPPORTED;
    if (TextOut != nullptr) TextOut->EnableCursor(TextOut, FALSE);
    EFI_STATUS Status = ClearGraphicsScreen(Gop);
    if (EFI_ERROR(Status)) return Status;
    gMode = Mode;
    return EFI_SUCCESS;
  }
  if (Mode == EfiConsoleControlScreenText) {
    gMode = Mode;
    if (TextOut == nullptr) return EFI_SUCCESS;
    // The logo may have left pixels where no character cell reaches: clear them too.
    EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = ConsoleGraphics();
    if (Gop != nullptr) ClearGraphicsScreen(Gop);
    TextOut->ClearScreen(TextOut);
    TextOut->EnableCursor(TextOut, TRUE);
    return EFI_SUCCESS;
  }
  return EFI_INVALID_PARAMETER;
}

EFI_STATUS EFIAPI LockStdIn(EFI_CONSOLE_CONTROL_PROTOCOL *This, CHAR16 *Password) {
  (void)This;
  (void)Password;
  return EFI_UNSUPPORTED;
}

}  // namespace

EFI_CONSOLE_CONTROL_PROTOCOL *ExampleConsoleControl(EFI_SYSTEM_TABLE *SystemTable) {
  gSystemTable = SystemTable;
  gMode = EfiConsoleControlScreenText;
  gConsoleControl.GetMode = GetMode;
  gConsoleControl.SetMode = SetMode;
  gConsoleControl.LockStdIn = LockStdIn;
  return &gConsoleControl;
}
