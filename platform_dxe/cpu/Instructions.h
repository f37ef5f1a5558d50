// The hardware seam: one function per processor instruction (or memory-mapped access) that
// module code needs. The firmware build implements them with inline assembly and volatile
// accesses (InstructionsX86.cpp); the host build links the simulated board's implementation
// instead. Everything above this line - the primitives, the drivers - is module code.
#pragma once

#include "../../uefi/UefiBase.h"

namespace hw {

// IN / OUT.
UINT8 In8(UINT16 Port);
UINT16 In16(UINT16 Port);
UINT32 In32(UINT16 Port);
void Out8(UINT16 Port, UINT8 Value);
void Out16(UINT16 Port, UINT16 Value);
void Out32(UINT16 Port, UINT32 Value);

// MOV from / to CR0.
UINTN ReadCr0();
void WriteCr0(UINTN Value);

// Cache control.
void Wbinvd();
void Invd();

// RDMSR / WRMSR: the register pair EDX:EAX as two halves, as the instructions use it.
void Rdmsr(UINT32 Index, UINT32 *Eax, UINT32 *Edx);
void Wrmsr(UINT32 Index, UINT32 Eax, UINT32 Edx);

// CLI / STI / PUSHF.
void Cli();
void Sti();
UINTN ReadFlags();

// RDTSC: EDX:EAX as two halves.
void Rdtsc(UINT32 *Eax, UINT32 *Edx);

// CPUID with EAX = Leaf and ECX = Subleaf; Registers receives EAX, EBX, ECX, EDX.
void Cpuid(UINT32 Leaf, UINT32 Subleaf, UINT32 Registers[4]);

// HLT.
void Hlt();

// Loads and stores at a physical address (boot-time memory is identity-mapped).
UINT8 MmioLoad8(UINT64 Address);
UINT16 MmioLoad16(UINT64 Address);
UINT32 MmioLoad32(UINT64 Address);
void MmioStore8(UINT64 Address, UINT8 Value);
void MmioStore16(UINT64 Address, UINT16 Value);
void MmioStore32(UINT64 Address, UINT32 Value);

// A pointer through which Length bytes at a physical address can be read in bulk (a flash
// window). Null when the range is not memory the processor can read.
const volatile UINT8 *PhysicalToPointer(UINT64 Address, UINTN Length);

}  // namespace hw
