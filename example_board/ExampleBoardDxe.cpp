// ExampleBoardDxe: the smallest board driver a platform needs before PlatformServicesDxe can
// start. It publishes, on one new handle:
//   - BOARD_SUPPORT_PROTOCOL, the board's operation table (see BoardOperations.cpp);
//   - SHARED_DATA_PROTOCOL, a board-owned record pointing at a board-owned buffer.
// Load it before PlatformServicesDxe: the platform driver looks the board up once, at entry.
#include "BoardOperations.h"
#include "uefi/Uefi.h"

namespace {

const EFI_GUID kBoardSupportGuid = BOARD_SUPPORT_PROTOCOL_GUID;
const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;

// "BSHD": marks the board's record so it can be told apart from other instances in a dump.
const UINT64 kSharedDataHeader = 0x44485342u;

UINT8 gSharedBuffer[EXAMPLE_BOARD_SHARED_BUFFER_SIZE];
SHARED_DATA_PROTOCOL gSharedData;

}  // namespace

extern "C" EFI_STATUS EFIAPI ExampleBoardDxeEntry(EFI_HANDLE ImageHandle,
                                                  EFI_SYSTEM_TABLE *SystemTable) {
  (void)ImageHandle;
  EFI_BOOT_SERVICES *BootServices = SystemTable->BootServices;

  gSharedData.Header = kSharedDataHeader;
  gSharedData.SharedBase = reinterpret_cast<UINT64>(&gSharedBuffer[0]);

  EXAMPLE_BOARD_INSTANCE *Board = ExampleBoardInstance();
  EFI_HANDLE BoardHandle = nullptr;  // null asks for a new handle
  EFI_STATUS Status = BootServices->InstallProtocolInterface(&BoardHandle, &kBoardSupportGuid,
                                                             EFI_NATIVE_INTERFACE, Board);
  if (EFI_ERROR(Status)) return Status;

  Status = BootServices->InstallProtocolInterface(&BoardHandle, &kSharedDataGuid,
                                                  EFI_NATIVE_INTERFACE, &gSharedData);
  if (EFI_ERROR(Status)) {
    // Leave nothing half-published: a board without its shared data is no board at all.
    BootServices->UninstallProtocolInterface(BoardHandle, &kBoardSupportGuid, Board);
    return Status;
  }
  return EFI_SUCCESS;
}
