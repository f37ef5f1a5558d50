#include "FlashWindow.h"

#include "../cpu/Instructions.h"
#include "MemoryRoutines.h"

void FlashCommand(UINT64 Address, UINT8 Command) { hw::MmioStore8(Address, Command); }

UINT8 FlashRead8(UINT64 Address) { return hw::MmioLoad8(Address); }

UINT16 FlashRead16(UINT64 Address) { return hw::MmioLoad16(Address); }

void FlashCopyOut(VOID *Buffer, UINT64 Address, UINT64 Length) {
  if (Length == 0 || (UINT64)(UINTN)Buffer == Address) return;
  const volatile UINT8 *Window = hw::PhysicalToPointer(Address, (UINTN)Length);
  if (Window != nullptr) {
    CopyBytes(Buffer, (const VOID *)Window, Length);
    return;
  }
  auto *To = (UINT8 *)Buffer;
  for (UINT64 i = 0; i < Length; ++i) To[i] = hw::MmioLoad8(Address + i);
}
