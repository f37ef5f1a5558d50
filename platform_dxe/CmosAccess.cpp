// CMOS and index/data port pairs (slots 4 to 9). Each access runs with interrupts off so
// that an interrupt handler cannot move the index register between index write and data
// access; the caller's interrupt state is restored, not assumed.
#include "PlatformServices.h"
#include "cpu/ProcessorPrimitives.h"

namespace {

constexpr UINT16 kCmosIndexPort = 0x70;
constexpr UINT16 kCmosDataPort = 0x71;
// Bit 7 of the CMOS index port masks NMIs; selecting a register must not change it.
constexpr UINT8 kCmosNmiMask = 0x80;

class InterruptGuard {
 public:
  // The flags are read before interrupts go off, so the caller's state is what we keep.
  InterruptGuard() : SavedFlags(FlagsRead16()) { InterruptsDisable(); }
  ~InterruptGuard() {
    if ((SavedFlags & kFlagsInterruptEnable) != 0) InterruptsEnable();
  }
  InterruptGuard(const InterruptGuard &) = delete;
  InterruptGuard &operator=(const InterruptGuard &) = delete;

 private:
  UINT16 SavedFlags;
};

// The index is not masked: an index of 0x80 or above sets the NMI mask bit itself.
void SelectCmosRegister(UINT8 Index) {
  UINT8 Current = PortRead8(kCmosIndexPort);
  PortWrite8(kCmosIndexPort, (UINT8)((Current & kCmosNmiMask) | Index));
}

}  // namespace

UINT8 EFIAPI CmosRead8(UINT8 Index) {
  InterruptGuard Guard;
  SelectCmosRegister(Index);
  return PortRead8(kCmosDataPort);
}

VOID EFIAPI CmosWrite8(UINT8 Index, UINT8 Value) {
  InterruptGuard Guard;
  SelectCmosRegister(Index);
  PortWrite8(kCmosDataPort, Value);
}

// High byte first; each byte has its own guard, so interrupts may be taken in between.
UINT16 EFIAPI CmosRead16(UINT8 Index) {
  UINT8 High = CmosRead8((UINT8)(Index + 1));
  UINT8 Low = CmosRead8(Index);
  return (UINT16)((High << 8) | Low);
}

// Low byte first.
VOID EFIAPI CmosWrite16(UINT8 Index, UINT16 Value) {
  CmosWrite8(Index, (UINT8)Value);
  CmosWrite8((UINT8)(Index + 1), (UINT8)(Value >> 8));
}

// Unlike CMOS, a generic index port has no bit worth keeping: the index is written as given.
UINT8 EFIAPI IndexedIoRead8(UINT8 IndexPort, UINT8 DataPort, UINT8 Index) {
  InterruptGuard Guard;
  PortWrite8(IndexPort, Index);
  return PortRead8(DataPort);
}

VOID EFIAPI IndexedIoWrite8(UINT8 IndexPort, UINT8 DataPort, UINT8 Index, UINT8 Value) {
  InterruptGuard Guard;
  PortWrite8(IndexPort, Index);
  PortWrite8(DataPort, Value);
}
