// Slots 10, 12 and 13: the reserved slot, the pass-through to the board support protocol,
// and the PCI Express configuration address.
#include "ModuleState.h"
#include "PlatformServices.h"

VOID EFIAPI Reserved() {}

EFI_STATUS EFIAPI PlatformCall(UINT64 First, UINT32 Second, UINT64 Third) {
  BOARD_SUPPORT_PROTOCOL *Board = DxeModule.BoardSupport;
  if (Board == nullptr || Board->Operations == nullptr) return EFI_NOT_READY;
  BOARD_SUPPORT_ENTRY Entry = Board->Operations->Entry[BOARD_SUPPORT_ENTRY_PLATFORM_CALL];
  if (Entry == nullptr) return EFI_UNSUPPORTED;
  // The board's status is the caller's answer, errors included.
  return ((BOARD_PLATFORM_CALL)Entry)(Board, BOARD_PLATFORM_CALL_FUNCTION, First, Second, Third);
}

// No field is range-checked: an out-of-range device or function carries into the next field,
// exactly as the address arithmetic of the configuration window does.
UINT64 EFIAPI GetPciExpressAddress(UINT64, UINT64 Bus, UINT64 Device, UINT64 Function,
                                   UINT64 Register) {
  return ((Bus + 0xF00) * 256 + Device * 8 + Function) * 4096 + Register;
}
