// Processor and port primitives: the few-instruction routines the driver's operations are built
// on. They reach the processor only through the instruction seam (Instructions.h), so their
// logic - joining register halves, testing CR0 bits - runs under test on the host.
#pragma once

#include "../../uefi/UefiBase.h"

// CR0 cache control bits.
constexpr UINTN kCr0CacheDisable = 1u << 30;  // CD
constexpr UINTN kCr0NotWriteThrough = 1u << 29;  // NW
constexpr UINTN kCr0CacheBits = kCr0CacheDisable | kCr0NotWriteThrough;

// Interrupt enable flag in the flags register.
constexpr UINT64 kFlagsInterruptEnable = 0x200;

void CpuHalt();
void CpuWriteBackInvalidate();
void CpuInvalidateCaches();

// CPUID with EAX = ECX = Leaf; Output, when not null, receives EAX, EBX, ECX, EDX.
void CpuIdRead(UINT32 Leaf, UINT32 *Output);
// CPUID with EAX = Leaf, ECX = Subleaf; Output always receives EAX, EBX, ECX, EDX.
void CpuIdReadSubleaf(UINT32 Leaf, UINT32 Subleaf, UINT32 *Output);

UINT64 MsrRead64(UINT32 Index);
void MsrWrite64(UINT32 Index, UINT64 Value);

// Slot 16 of the service protocol points here directly, hence the firmware calling convention.
UINT64 EFIAPI ReadTimeStampCounter();

// Sets CR0.CD and CR0.NW and writes the caches back, but only when both bits are clear: a
// processor that already runs uncached, or in a mode somebody else chose, is left alone.
void CacheDisable();
// Writes the caches back, then clears CR0.CD and CR0.NW.
void CacheEnable();

UINT64 FlagsRead();
UINT16 FlagsRead16();
void InterruptsDisable();
void InterruptsEnable();

UINT8 PortRead8(UINT16 Port);
UINT16 PortRead16(UINT16 Port);
UINT32 PortRead32(UINT16 Port);
void PortWrite8(UINT16 Port, UINT8 Value);
void PortWrite16(UINT16 Port, UINT16 Value);
void PortWrite32(UINT16 Port, UINT32 Value);
