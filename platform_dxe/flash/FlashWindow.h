// Access to a flash part through its mapping below 4 GiB: every command is one byte-wide
// store, every status or data read a load, all through the hardware seam.
#pragma once

#include "../../uefi/UefiBase.h"

inline constexpr UINT64 kFourGiB = 0x100000000ull;

void FlashCommand(UINT64 Address, UINT8 Command);
UINT8 FlashRead8(UINT64 Address);
UINT16 FlashRead16(UINT64 Address);
// Length bytes from the processor address Address into Buffer: a bulk copy where the
// address range is plain readable memory, one load per byte otherwise.
void FlashCopyOut(VOID *Buffer, UINT64 Address, UINT64 Length);
