// Graphics mode selection (slot 3 and the logo's own mode changes) and the check that every
// display shows the console's resolution.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "../cpu/Instructions.h"
#include "LogoDisplay.h"
#include "LogoGuids.h"

namespace {

// Legacy BIOS data area: the current video mode byte and the byte kept beside it at 0x4A3.
// When they disagree the video BIOS has been used behind the mode record's back, so the mode
// is programmed again.
constexpr UINT64 kBdaVideoMode = 0x449;
constexpr UINT64 kBdaSavedVideoMode = 0x4A3;

constexpr UINT32 kFallbackWidth = 800;
constexpr UINT32 kFallbackHeight = 600;

// TRUE when QueryMode answers for Mode with exactly Width x Height. The record QueryMode
// hands over is ours and goes back to pool as soon as it has been read.
BOOLEAN ModeHasResolution(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, UINT32 Mode, UINT32 Width,
                          UINT32 Height) {
  UINTN InfoSize = 0;
  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *Info = nullptr;
  EFI_STATUS Status = Gop->QueryMode(Gop, Mode, &InfoSize, &Info);
  if (EFI_ERROR(Status) || Info == nullptr) return FALSE;
  BOOLEAN Matches = Info->HorizontalResolution == Width && Info->VerticalResolution == Height;
  DxeModule.BootServices->FreePool(Info);
  return Matches;
}

// The lowest-numbered mode of exactly Width x Height, or FALSE.
BOOLEAN FindMode(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, UINT32 Width, UINT32 Height, UINT32 *Mode) {
  for (UINT32 Candidate = 0; Candidate < Gop->Mode->MaxMode; ++Candidate) {
    if (ModeHasResolution(Gop, Candidate, Width, Height)) {
      *Mode = Candidate;
      return TRUE;
    }
  }
  return FALSE;
}

BOOLEAN SameResolution(const EFI_GRAPHICS_OUTPUT_PROTOCOL *A, const EFI_GRAPHICS_OUTPUT_PROTOCOL *B) {
  const EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *InfoA = A->Mode != nullptr ? A->Mode->Info : nullptr;
  const EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *InfoB = B->Mode != nullptr ? B->Mode->Info : nullptr;
  if (InfoA == nullptr || InfoB == nullptr) return InfoA == InfoB;
  return InfoA->HorizontalResolution == InfoB->HorizontalResolution &&
         InfoA->VerticalResolution == InfoB->VerticalResolution;
}

}  // namespace

EFI_STATUS SelectGraphicsMode(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, UINT32 Width, UINT32 Height) {
  const UINT32 Current = Gop->Mode->Mode;
  if (ModeHasResolution(Gop, Current, Width, Height) && AllDisplaysMatchConsole()) {
    if (hw::MmioLoad8(kBdaVideoMode) == hw::MmioLoad8(kBdaSavedVideoMode)) return EFI_SUCCESS;
    return Gop->SetMode(Gop, Current);
  }

  UINT32 Mode = 0;
  if (FindMode(Gop, Width, Height, &Mode) || FindMode(Gop, kFallbackWidth, kFallbackHeight, &Mode))
    return Gop->SetMode(Gop, Mode);
  return EFI_SUCCESS;
}

BOOLEAN AllDisplaysMatchConsole() {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Console = nullptr;
  if (EFI_ERROR(Bs->HandleProtocol(DxeModule.SystemTable->ConsoleOutHandle, &kGraphicsOutputGuid,
                                   (VOID **)&Console)) ||
      Console == nullptr)
    return TRUE;

  UINTN HandleCount = 0;
  EFI_HANDLE *Handles = nullptr;
  if (EFI_ERROR(Bs->LocateHandleBuffer(ByProtocol, &kGraphicsOutputGuid, nullptr, &HandleCount,
                                       &Handles)))
    return TRUE;

  BOOLEAN Match = TRUE;
  for (UINTN i = 0; i < HandleCount; ++i) {
    // Only handles with a device path are displays; the console's own splitter has none.
    VOID *DevicePath = nullptr;
    if (EFI_ERROR(Bs->HandleProtocol(Handles[i], &kDevicePathGuid, &DevicePath))) continue;
    EFI_GRAPHICS_OUTPUT_PROTOCOL *Display = nullptr;
    if (EFI_ERROR(Bs->HandleProtocol(Handles[i], &kGraphicsOutputGuid, (VOID **)&Display)) ||
        Display == nullptr)
      continue;
    if (!SameResolution(Display, Console)) Match = FALSE;
  }
  if (Handles != nullptr) Bs->FreePool(Handles);
  return Match;
}

EFI_STATUS EFIAPI SetGraphicsResolution(VOID *GraphicsOutput, UINT32 Width, UINT32 Height) {
  auto *Gop = (EFI_GRAPHICS_OUTPUT_PROTOCOL *)GraphicsOutput;
  // Outside callers reach this through the protocol, so their instance is checked here.
  if (Gop == nullptr || Gop->Mode == nullptr) return EFI_INVALID_PARAMETER;
  return SelectGraphicsMode(Gop, Width, Height);
}
