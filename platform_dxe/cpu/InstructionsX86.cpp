// Firmware implementation of the hardware seam: x86 instructions (x64 and IA-32) and volatile
// memory accesses. Built only into the firmware images; the host build links sim/ instead.
#include "Instructions.h"

namespace hw {

UINT8 In8(UINT16 Port) {
  UINT8 Value;
  __asm__ __volatile__("inb %w1, %b0" : "=a"(Value) : "Nd"(Port));
  return Value;
}

UINT16 In16(UINT16 Port) {
  UINT16 Value;
  __asm__ __volatile__("inw %w1, %w0" : "=a"(Value) : "Nd"(Port));
  return Value;
}

UINT32 In32(UINT16 Port) {
  UINT32 Value;
  __asm__ __volatile__("inl %w1, %0" : "=a"(Value) : "Nd"(Port));
  return Value;
}

void Out8(UINT16 Port, UINT8 Value) {
  __asm__ __volatile__("outb %b0, %w1" : : "a"(Value), "Nd"(Port));
}

void Out16(UINT16 Port, UINT16 Value) {
  __asm__ __volatile__("outw %w0, %w1" : : "a"(Value), "Nd"(Port));
}

void Out32(UINT16 Port, UINT32 Value) {
  __asm__ __volatile__("outl %0, %w1" : : "a"(Value), "Nd"(Port));
}

UINTN ReadCr0() {
  UINTN Value;
  __asm__ __volatile__("mov %%cr0, %0" : "=r"(Value));
  return Value;
}

void WriteCr0(UINTN Value) { __asm__ __volatile__("mov %0, %%cr0" : : "r"(Value) : "memory"); }

void Wbinvd() { __asm__ __volatile__("wbinvd" : : : "memory"); }

void Invd() { __asm__ __volatile__("invd" : : : "memory"); }

void Rdmsr(UINT32 Index, UINT32 *Eax, UINT32 *Edx) {
  UINT32 Low, High;
  __asm__ __volatile__("rdmsr" : "=a"(Low), "=d"(High) : "c"(Index));
  *Eax = Low;
  *Edx = High;
}

void Wrmsr(UINT32 Index, UINT32 Eax, UINT32 Edx) {
  __asm__ __volatile__("wrmsr" : : "c"(Index), "a"(Eax), "d"(Edx) : "memory");
}

void Cli() { __asm__ __volatile__("cli" : : : "memory"); }

void Sti() { __asm__ __volatile__("sti" : : : "memory"); }

UINTN ReadFlags() {
  UINTN Flags;
  __asm__ __volatile__("pushf\n\tpop %0" : "=r"(Flags) : : "memory");
  return Flags;
}

void Rdtsc(UINT32 *Eax, UINT32 *Edx) {
  UINT32 Low, High;
  __asm__ __volatile__("rdtsc" : "=a"(Low), "=d"(High));
  *Eax = Low;
  *Edx = High;
}

void Cpuid(UINT32 Leaf, UINT32 Subleaf, UINT32 Registers[4]) {
  UINT32 A, B, C, D;
  __asm__ __volatile__("cpuid" : "=a"(A), "=b"(B), "=c"(C), "=d"(D) : "a"(Leaf), "c"(Subleaf));
  Registers[0] = A;
  Registers[1] = B;
  Registers[2] = C;
  Registers[3] = D;
}

void Hlt() { __asm__ __volatile__("hlt" : : : "memory"); }

UINT8 MmioLoad8(UINT64 Address) { return *(volatile UINT8 *)(UINTN)Address; }
UINT16 MmioLoad16(UINT64 Address) { return *(volatile UINT16 *)(UINTN)Address; }
UINT32 MmioLoad32(UINT64 Address) { return *(volatile UINT32 *)(UINTN)Address; }
void MmioStore8(UINT64 Address, UINT8 Value) { *(volatile UINT8 *)(UINTN)Address = Value; }
void MmioStore16(UINT64 Address, UINT16 Value) { *(volatile UINT16 *)(UINTN)Address = Value; }
void MmioStore32(UINT64 Address, UINT32 Value) { *(volatile UINT32 *)(UINTN)Address = Value; }

const volatile UINT8 *PhysicalToPointer(UINT64 Address, UINTN Length) {
  // Only the 32-bit physical space is reachable from IA-32, and nothing may wrap past its end.
  if (Length != 0 && Address + Length - 1 < Address) return nullptr;
  if (sizeof(UINTN) == 4 && Address + Length > 0x100000000ULL) return nullptr;
  return (const volatile UINT8 *)(UINTN)Address;
}

}  // namespace hw
