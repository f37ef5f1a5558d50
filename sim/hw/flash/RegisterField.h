// A bit field of a hardware register, named once and used everywhere the register is read or
// written, so no call site carries a bare mask.
#pragma once

#include <cstdint>

namespace sim {

struct RegisterField {
  unsigned shift;
  unsigned width;

  constexpr uint32_t Mask() const {
    return (width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u)) << shift;
  }
  constexpr uint32_t Get(uint32_t reg) const { return (reg & Mask()) >> shift; }
  constexpr uint32_t Set(uint32_t reg, uint32_t value) const {
    return (reg & ~Mask()) | ((value << shift) & Mask());
  }
  // The field's value in place, for building a register value: Field.Of(3) | Other.Of(1).
  constexpr uint32_t Of(uint32_t value) const { return (value << shift) & Mask(); }
  constexpr bool IsSet(uint32_t reg) const { return (reg & Mask()) != 0; }
};

}  // namespace sim
