// Variable argument lists of EFIAPI functions. Arguments travel in the x64 model: one 8-byte
// slot per argument, consecutive in memory, the first four spilled by the callee next to the
// ones its caller pushed. A value narrower than 8 bytes sits in the low bytes of its slot and
// the rest of the slot is undefined, so the reader picks the width it expects.
//
// VA_LIST is a byte pointer to the next slot in both trees: the firmware target's own list
// type, and the Microsoft list type of the Linux host compilers for EFIAPI functions. A caller
// may therefore also hand over an array of slots it filled itself (VaListFromSlots).
#pragma once

#include "UefiBase.h"

UEFI_STATIC_ASSERT(sizeof(void *) == 8, "argument slots are the x64 model");

#if defined(__x86_64__) && !defined(_WIN32)
typedef __builtin_ms_va_list VA_LIST;
#define VA_START(List, LastNamed) __builtin_ms_va_start(List, LastNamed)
#define VA_END(List) __builtin_ms_va_end(List)
#else
typedef __builtin_va_list VA_LIST;
#define VA_START(List, LastNamed) __builtin_va_start(List, LastNamed)
#define VA_END(List) __builtin_va_end(List)
#endif

// Reads the next slot whole and moves the list on by one slot.
static inline UINT64 VaNextSlot(VA_LIST *List) {
  UINT64 Slot;
  __builtin_memcpy(&Slot, *List, sizeof(Slot));
  *List += sizeof(Slot);
  return Slot;
}

// An argument list over slots the caller filled: one UINT64 per argument, pointers stored as
// their address value.
static inline VA_LIST VaListFromSlots(const UINT64 *Slots) { return (VA_LIST)(UINTN)Slots; }
