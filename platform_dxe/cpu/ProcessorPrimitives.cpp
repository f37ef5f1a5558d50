#include "ProcessorPrimitives.h"

#include "Instructions.h"

namespace {

UINT64 JoinHalves(UINT32 Low, UINT32 High) { return ((UINT64)High << 32) | Low; }

}  // namespace

void CpuHalt() { hw::Hlt(); }

void CpuWriteBackInvalidate() { hw::Wbinvd(); }

void CpuInvalidateCaches() { hw::Invd(); }

void CpuIdRead(UINT32 Leaf, UINT32 *Output) {
  UINT32 Registers[4];
  hw::Cpuid(Leaf, Leaf, Registers);
  if (Output == nullptr) return;
  for (int i = 0; i < 4; ++i) Output[i] = Registers[i];
}

void CpuIdReadSubleaf(UINT32 Leaf, UINT32 Subleaf, UINT32 *Output) {
  UINT32 Registers[4];
  hw::Cpuid(Leaf, Subleaf, Registers);
  for (int i = 0; i < 4; ++i) Output[i] = Registers[i];
}

UINT64 MsrRead64(UINT32 Index) {
  UINT32 Low, High;
  hw::Rdmsr(Index, &Low, &High);
  return JoinHalves(Low, High);
}

void MsrWrite64(UINT32 Index, UINT64 Value) {
  hw::Wrmsr(Index, (UINT32)Value, (UINT32)(Value >> 32));
}

UINT64 EFIAPI ReadTimeStampCounter() {
  UINT32 Low, High;
  hw::Rdtsc(&Low, &High);
  return JoinHalves(Low, High);
}

void CacheDisable() {
  UINTN Cr0 = hw::ReadCr0();
  if ((Cr0 & kCr0CacheBits) != 0) return;
  hw::WriteCr0(Cr0 | kCr0CacheBits);
  hw::Wbinvd();
}

void CacheEnable() {
  hw::Wbinvd();
  hw::WriteCr0(hw::ReadCr0() & ~kCr0CacheBits);
}

UINT64 FlagsRead() { return (UINT64)hw::ReadFlags(); }

UINT16 FlagsRead16() { return (UINT16)hw::ReadFlags(); }

void InterruptsDisable() { hw::Cli(); }

void InterruptsEnable() { hw::Sti(); }

UINT8 PortRead8(UINT16 Port) { return hw::In8(Port); }
UINT16 PortRead16(UINT16 Port) { return hw::In16(Port); }
UINT32 PortRead32(UINT16 Port) { return hw::In32(Port); }
void PortWrite8(UINT16 Port, UINT8 Value) { hw::Out8(Port, Value); }
void PortWrite16(UINT16 Port, UINT16 Value) { hw::Out16(Port, Value); }
void PortWrite32(UINT16 Port, UINT32 Value) { hw::Out32(Port, Value); }
