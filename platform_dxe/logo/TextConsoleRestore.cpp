// Slot 2: back from the logo to the text console, at the resolution the board wants for it.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "LogoDisplay.h"
#include "LogoGuids.h"

namespace {

constexpr UINT32 kDefaultTextWidth = 800;
constexpr UINT32 kDefaultTextHeight = 600;

// The board's text console resolution, or 800 x 600 when the board does not give one.
void BoardTextResolution(UINT32 *Width, UINT32 *Height) {
  *Width = kDefaultTextWidth;
  *Height = kDefaultTextHeight;

  BOARD_SUPPORT_PROTOCOL *Board = nullptr;
  if (EFI_ERROR(DxeModule.BootServices->LocateProtocol(&kBoardSupportGuid, nullptr,
                                                       (VOID **)&Board)) ||
      Board == nullptr || Board->Operations == nullptr)
    return;
  auto Query = (BOARD_GET_TEXT_RESOLUTION)Board->Operations->Entry[BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION];
  if (Query == nullptr) return;

  VOID *Record = nullptr;
  // The record alone tells whether the board answered; its status says nothing more.
  Query(Board, BOARD_TEXT_RESOLUTION_FUNCTION, &Record);
  if (Record == nullptr) return;
  *Width = ((const BOARD_TEXT_RESOLUTION_RECORD *)Record)->Width;
  *Height = ((const BOARD_TEXT_RESOLUTION_RECORD *)Record)->Height;
}

}  // namespace

EFI_STATUS SignalTextConsoleRestored() {
  EFI_HANDLE Handle = nullptr;
  DxeModule.BootServices->InstallProtocolInterface(&Handle, &kTextConsoleRestoredGuid,
                                                   EFI_NATIVE_INTERFACE, nullptr);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI RestoreTextConsole() {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  EFI_HANDLE ConsoleOut = DxeModule.SystemTable->ConsoleOutHandle;

  EFI_CONSOLE_CONTROL_PROTOCOL *ConsoleControl = nullptr;
  if (EFI_ERROR(Bs->LocateProtocol(&kConsoleControlGuid, nullptr, (VOID **)&ConsoleControl)) ||
      ConsoleControl == nullptr) {
    SignalTextConsoleRestored();
    return EFI_UNSUPPORTED;
  }

  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  EFI_UGA_DRAW_PROTOCOL *Uga = nullptr;
  if (EFI_ERROR(Bs->HandleProtocol(ConsoleOut, &kGraphicsOutputGuid, (VOID **)&Gop)) ||
      Gop == nullptr) {
    Gop = nullptr;
    if (EFI_ERROR(Bs->HandleProtocol(ConsoleOut, &kUgaDrawGuid, (VOID **)&Uga)) || Uga == nullptr) {
      SignalTextConsoleRestored();
      return EFI_UNSUPPORTED;
    }
  }

  UINT32 Width = 0, Height = 0;
  BoardTextResolution(&Width, &Height);

  if (Gop != nullptr) {
    if (Gop->Mode != nullptr) SelectGraphicsMode(Gop, Width, Height);
  } else {
    UINT32 CurrentWidth = 0, CurrentHeight = 0, ColourDepth = 0, RefreshRate = 0;
    if (!EFI_ERROR(Uga->GetMode(Uga, &CurrentWidth, &CurrentHeight, &ColourDepth, &RefreshRate)))
      Uga->SetMode(Uga, Width, Height, ColourDepth, RefreshRate);
  }

  EFI_STATUS Status = ConsoleControl->SetMode(ConsoleControl, EfiConsoleControlScreenText);
  SignalTextConsoleRestored();
  return Status;
}
