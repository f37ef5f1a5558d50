// The driver's small memory routines and hooks, shared by the LPC and SPI flash operations.
#pragma once

#include "../../uefi/UefiBase.h"

// Overlap-safe copy: forwards in four-byte units when that cannot overwrite source bytes
// before they are read, otherwise backwards one byte at a time.
void CopyBytes(VOID *Destination, const VOID *Source, UINT64 Length);

// Count byte-wide stores of Value in ascending order; a Value of 0 goes to ZeroBytes.
void SetBytes(VOID *Address, UINT64 Count, UINT8 Value);
void ZeroBytes(VOID *Address, UINT64 Count);

// 0 when equal; otherwise First[k] - Second[k] of the first differing pair, both taken as
// signed 8-bit values.
INT64 CompareBytes(const VOID *First, const VOID *Second, UINT64 Length);

// The delay between two polls of a busy part. Polls are bounded by count, not by a clock, so
// this hook does not wait; every poll passes 2.
UINTN PollDelay(UINTN Microseconds);

// Converts a saved pointer for use after the switch to virtual addresses, through the
// runtime services the driver was started with (nothing happens without them).
void ConvertRuntimePointer(VOID **Address);
