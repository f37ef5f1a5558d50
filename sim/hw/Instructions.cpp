// The host build's side of the instruction seam: every instruction is performed on the
// current simulated board.
#include "platform_dxe/cpu/Instructions.h"

#include "sim/hw/Board.h"

namespace hw {

using sim::Board;

UINT8 In8(UINT16 Port) { return static_cast<UINT8>(Board::Current().In(Port, 8)); }
UINT16 In16(UINT16 Port) { return static_cast<UINT16>(Board::Current().In(Port, 16)); }
UINT32 In32(UINT16 Port) { return Board::Current().In(Port, 32); }
void Out8(UINT16 Port, UINT8 Value) { Board::Current().Out(Port, 8, Value); }
void Out16(UINT16 Port, UINT16 Value) { Board::Current().Out(Port, 16, Value); }
void Out32(UINT16 Port, UINT32 Value) { Board::Current().Out(Port, 32, Value); }

UINTN ReadCr0() { return Board::Current().ReadCr0(); }
void WriteCr0(UINTN Value) { Board::Current().WriteCr0(Value); }

void Wbinvd() { Board::Current().Wbinvd(); }
void Invd() { Board::Current().Invd(); }

void Rdmsr(UINT32 Index, UINT32 *Eax, UINT32 *Edx) {
  const UINT64 value = Board::Current().Rdmsr(Index);
  *Eax = static_cast<UINT32>(value);
  *Edx = static_cast<UINT32>(value >> 32);
}

void Wrmsr(UINT32 Index, UINT32 Eax, UINT32 Edx) {
  Board::Current().Wrmsr(Index, (static_cast<UINT64>(Edx) << 32) | Eax);
}

void Cli() { Board::Current().Cli(); }
void Sti() { Board::Current().Sti(); }
UINTN ReadFlags() { return Board::Current().ReadFlags(); }

void Rdtsc(UINT32 *Eax, UINT32 *Edx) {
  const UINT64 value = Board::Current().Rdtsc();
  *Eax = static_cast<UINT32>(value);
  *Edx = static_cast<UINT32>(value >> 32);
}

void Cpuid(UINT32 Leaf, UINT32 Subleaf, UINT32 Registers[4]) {
  const auto result = Board::Current().Cpuid(Leaf, Subleaf);
  for (int i = 0; i < 4; ++i) Registers[i] = result[i];
}

void Hlt() { Board::Current().Hlt(); }

UINT8 MmioLoad8(UINT64 Address) { return static_cast<UINT8>(Board::Current().MmioLoad(Address, 8)); }
UINT16 MmioLoad16(UINT64 Address) {
  return static_cast<UINT16>(Board::Current().MmioLoad(Address, 16));
}
UINT32 MmioLoad32(UINT64 Address) { return Board::Current().MmioLoad(Address, 32); }
void MmioStore8(UINT64 Address, UINT8 Value) { Board::Current().MmioStore(Address, 8, Value); }
void MmioStore16(UINT64 Address, UINT16 Value) { Board::Current().MmioStore(Address, 16, Value); }
void MmioStore32(UINT64 Address, UINT32 Value) { Board::Current().MmioStore(Address, 32, Value); }

const volatile UINT8 *PhysicalToPointer(UINT64 Address, UINTN Length) {
  return Board::Current().PhysicalToPointer(Address, Length);
}

}  // namespace hw
