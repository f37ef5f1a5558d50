// The few processor instructions the firmware check needs for its own, independent view of
// the hardware. Kept apart from the driver's sources on purpose: the check must not share
// the code it judges.
#pragma once

#include "uefi/UefiBase.h"

namespace x86 {

inline UINT8 In8(UINT16 Port) {
  UINT8 Value;
  __asm__ __volatile__("inb %w1, %b0" : "=a"(Value) : "Nd"(Port));
  return Value;
}

inline void Out8(UINT16 Port, UINT8 Value) {
  __asm__ __volatile__("outb %b0, %w1" : : "a"(Value), "Nd"(Port));
}

inline UINT32 In32(UINT16 Port) {
  UINT32 Value;
  __asm__ __volatile__("inl %w1, %0" : "=a"(Value) : "Nd"(Port));
  return Value;
}

inline void Out32(UINT16 Port, UINT32 Value) {
  __asm__ __volatile__("outl %0, %w1" : : "a"(Value), "Nd"(Port));
}

inline UINT64 ReadMsr(UINT32 Index) {
  UINT32 Low, High;
  __asm__ __volatile__("rdmsr" : "=a"(Low), "=d"(High) : "c"(Index));
  return (static_cast<UINT64>(High) << 32) | Low;
}

inline UINT64 ReadTsc() {
  UINT32 Low, High;
  __asm__ __volatile__("rdtsc" : "=a"(Low), "=d"(High));
  return (static_cast<UINT64>(High) << 32) | Low;
}

// Reads a dword of PCI configuration space through the legacy 0xCF8/0xCFC mechanism.
inline UINT32 PciConfigRead32(UINT8 Bus, UINT8 Device, UINT8 Function, UINT8 Register) {
  UINT32 Address = 0x80000000u | (static_cast<UINT32>(Bus) << 16) |
                   (static_cast<UINT32>(Device & 0x1F) << 11) |
                   (static_cast<UINT32>(Function & 0x07) << 8) | (Register & 0xFCu);
  Out32(0xCF8, Address);
  return In32(0xCFC);
}

inline UINT8 PciConfigRead8(UINT8 Bus, UINT8 Device, UINT8 Function, UINT8 Register) {
  UINT32 Dword = PciConfigRead32(Bus, Device, Function, Register);
  return static_cast<UINT8>(Dword >> ((Register & 3u) * 8));
}

}  // namespace x86

namespace x86 {

inline UINTN ReadCr0() {
  UINTN Value;
  __asm__ __volatile__("mov %%cr0, %0" : "=r"(Value));
  return Value;
}

}  // namespace x86
