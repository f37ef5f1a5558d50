// ExampleBoardDxe: the board driver PlatformServicesDxe runs on. At entry it publishes:
//   - on the board's handle: BOARD_SUPPORT_PROTOCOL (the operation table, see
//     BoardOperations.cpp), LOGO_SOURCE_PROTOCOL (LogoSource.cpp) and the Framework
//     EFI_CONSOLE_CONTROL_PROTOCOL (ConsoleControl.cpp);
//   - on a handle of its own: a Framework EFI_FIRMWARE_VOLUME_PROTOCOL serving the default
//     logo (FirmwareVolume.cpp).
// SHARED_DATA_PROTOCOL, a board-owned record pointing at a board-owned buffer, comes later:
// 100 ms after PLATFORM_SERVICES_PROTOCOL has appeared, from a timer (see SharedData.cpp).
// Load it before PlatformServicesDxe: the platform driver looks the board up once, at entry.
#include "BoardImages.h"
#include "BoardLogoServices.h"
#include "BoardOperations.h"
#include "SharedData.h"
#include "uefi/Uefi.h"

namespace {

const EFI_GUID kBoardSupportGuid = BOARD_SUPPORT_PROTOCOL_GUID;
const EFI_GUID kLogoSourceGuid = LOGO_SOURCE_PROTOCOL_GUID;
const EFI_GUID kConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
const EFI_GUID kFirmwareVolumeGuid = EFI_FIRMWARE_VOLUME_PROTOCOL_GUID;

struct Installation {
  const EFI_GUID *Protocol;
  VOID *Interface;
  EFI_HANDLE Handle;
};

// Withdraws what Installed[0 .. Count) put in place: a platform driver never sees half a
// board.
void Withdraw(EFI_BOOT_SERVICES *BootServices, Installation *Installed, UINTN Count) {
  while (Count > 0) {
    --Count;
    BootServices->UninstallProtocolInterface(Installed[Count].Handle, Installed[Count].Protocol,
                                             Installed[Count].Interface);
  }
}

}  // namespace

extern "C" EFI_STATUS EFIAPI ExampleBoardDxeEntry(EFI_HANDLE ImageHandle,
                                                  EFI_SYSTEM_TABLE *SystemTable) {
  (void)ImageHandle;
  EFI_BOOT_SERVICES *BootServices = SystemTable->BootServices;
  BuildBoardImages();

  EFI_HANDLE BoardHandle = nullptr;   // null asks for a new handle
  EFI_HANDLE VolumeHandle = nullptr;  // the volume is a device of its own
  Installation Plan[] = {
      {&kBoardSupportGuid, ExampleBoardInstance(), nullptr},
      {&kLogoSourceGuid, ExampleLogoSource(SystemTable), nullptr},
      {&kConsoleControlGuid, ExampleConsoleControl(SystemTable), nullptr},
      {&kFirmwareVolumeGuid, ExampleFirmwareVolume(SystemTable), nullptr},
  };
  const UINTN Count = sizeof(Plan) / sizeof(Plan[0]);
  for (UINTN Index = 0; Index < Count; ++Index) {
    EFI_HANDLE *Handle = Plan[Index].Protocol == &kFirmwareVolumeGuid ? &VolumeHandle : &BoardHandle;
    EFI_STATUS Status = BootServices->InstallProtocolInterface(Handle, Plan[Index].Protocol,
                                                               EFI_NATIVE_INTERFACE,
                                                               Plan[Index].Interface);
    if (EFI_ERROR(Status)) {
      Withdraw(BootServices, Plan, Index);
      return Status;
    }
    Plan[Index].Handle = *Handle;
  }

  EFI_STATUS Status = PublishSharedDataAfterPlatformServices(SystemTable, BoardHandle);
  if (EFI_ERROR(Status)) {
    Withdraw(BootServices, Plan, Count);
    return Status;
  }
  return EFI_SUCCESS;
}
