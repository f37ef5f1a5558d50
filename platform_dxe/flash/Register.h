// Typed register access: a register is its width and offset from a block base; a field is its
// bit range inside the register. Each register and field of a controller is named once, and
// call sites read as "set FDBC of HSFC", not as masks.
#pragma once

#include "../../uefi/UefiBase.h"
#include "../cpu/Instructions.h"

namespace reg {

inline UINT8 Load(UINT64 Address, UINT8) { return hw::MmioLoad8(Address); }
inline UINT16 Load(UINT64 Address, UINT16) { return hw::MmioLoad16(Address); }
inline UINT32 Load(UINT64 Address, UINT32) { return hw::MmioLoad32(Address); }
inline void Store(UINT64 Address, UINT8 Value) { hw::MmioStore8(Address, Value); }
inline void Store(UINT64 Address, UINT16 Value) { hw::MmioStore16(Address, Value); }
inline void Store(UINT64 Address, UINT32 Value) { hw::MmioStore32(Address, Value); }

template <typename T, UINT32 kOffset>
struct Register {
  using Value = T;
  static constexpr UINT32 Offset = kOffset;
  static T Read(UINT64 Base) { return Load(Base + kOffset, T{}); }
  static void Write(UINT64 Base, T Value) { Store(Base + kOffset, Value); }
};

// Bits kHigh..kLow of a register of type T.
template <typename T, unsigned kHigh, unsigned kLow>
struct Field {
  static_assert(kHigh >= kLow && kHigh < sizeof(T) * 8, "field inside its register");
  static constexpr T Mask = (T)((((UINT64)2 << (kHigh - kLow)) - 1) << kLow);
  static constexpr T Get(T Register) { return (T)((Register & Mask) >> kLow); }
  static constexpr T Set(T Register, UINT64 Value) {
    return (T)((Register & (T)~Mask) | (((T)Value << kLow) & Mask));
  }
  static constexpr T Of(UINT64 Value) { return Set(0, Value); }
};

template <typename T, unsigned kBit>
struct Bit : Field<T, kBit, kBit> {
  static constexpr bool IsSet(T Register) { return (Register & Bit::Mask) != 0; }
};

}  // namespace reg
