// Erase, program and read of an SPI part, addressed by processor address (the flash ending at
// 0xFFFFFFFF). Writes stay inside the bounds SpiIdentify set, with the part's write
// protection lifted only around them; reads use the BIOS region's memory window where they
// can and controller cycles elsewhere.
#include "../ModuleState.h"
#include "FlashParts.h"
#include "FlashWindow.h"
#include "MemoryRoutines.h"
#include "SpiRegisters.h"

namespace {

using namespace spi;

FlashModuleState &Flash() { return DxeModule.Flash; }

constexpr UINT64 kWriteBlock = 64;  // hardware writes never cross a 64-byte boundary

// Last address of Start + Length - 1 bytes, saturating instead of wrapping.
UINT64 LastAddress(UINT64 Start, UINT64 Length) {
  return Length - 1 > ~(UINT64)0 - Start ? ~(UINT64)0 : Start + Length - 1;
}

UINT64 FdataAddress(UINT64 Byte) { return Flash().SpiBase + kFdataOffset + Byte; }

EFI_STATUS FailRestoringProtection(EFI_STATUS Status, UINT64 Linear, UINT64 Length) {
  SpiSetWriteProtection(Linear, Length, kProtectionRestore);
  return Status;
}

EFI_STATUS ProgramRange(UINT64 Linear, const UINT8 *Buffer, UINT64 Count) {
  if (Flash().HardwareSequencing == 0) {
    for (UINT64 i = 0; i < Count; ++i) {
      reg::Store(FdataAddress(0), Buffer[i]);
      EFI_STATUS Status = SpiCycle(0, (UINT32)(Linear + i), 0, SPI_MENU_PROGRAM, 0, 1, 1);
      if (EFI_ERROR(Status)) return Status;
    }
    return EFI_SUCCESS;
  }
  UINT64 Taken = 0;
  while (Taken < Count) {
    UINT64 Cycle = Linear + Taken;
    UINT64 BlockRoom = (Cycle | (kWriteBlock - 1)) - Cycle + 1;
    UINT64 Chunk = Count - Taken < BlockRoom ? Count - Taken : BlockRoom;
    for (UINT64 k = 0; k < Chunk; ++k) reg::Store(FdataAddress(k), Buffer[Taken + k]);
    EFI_STATUS Status = SpiCycle(1, (UINT32)Cycle, (UINT8)(Chunk - 1), kFcycleWrite, 0, 0, 0);
    if (EFI_ERROR(Status)) return Status;
    Taken += Chunk;
  }
  return EFI_SUCCESS;
}

// Reads Length (1 to 64) bytes at a linear address through one hardware cycle.
EFI_STATUS ReadChunk(UINT64 Linear, UINT8 *Buffer, UINT64 Length) {
  EFI_STATUS Status = SpiCycle(1, (UINT32)Linear, (UINT8)(Length - 1), kFcycleRead, 0, 0, 0);
  if (EFI_ERROR(Status)) return Status;
  for (UINT64 k = 0; k < Length; ++k) Buffer[k] = reg::Load(FdataAddress(k), UINT8{});
  return EFI_SUCCESS;
}

EFI_STATUS ReadPiece(const READ_PIECE &Piece) {
  for (UINT64 Done = 0; Done < Piece.Length; Done += kFdataBytes) {
    UINT64 Chunk = Piece.Length - Done < kFdataBytes ? Piece.Length - Done : kFdataBytes;
    EFI_STATUS Status = ReadChunk(Piece.Address + Done, Piece.Buffer + Done, Chunk);
    if (EFI_ERROR(Status)) return Status;
  }
  return EFI_SUCCESS;
}

// The processor-address range [Address, Address + Length) as linear addresses, when it lies
// wholly inside the flash.
bool InsideFlash(UINT64 Address, UINT64 Length, UINT64 *Linear) {
  UINT64 Size = Flash().ActiveConfig.Size;
  if (Address >= kFourGiB || Address < kFourGiB - Size) return false;
  *Linear = SpiLinearAddress(Address);
  return Length <= Size - *Linear;
}

}  // namespace

UINT64 SpiLinearAddress(UINT64 Address) {
  return Address + Flash().ActiveConfig.Size - kFourGiB;
}

EFI_STATUS EFIAPI SpiErase(UINT64 Address, UINT64 LengthBits) {
  if (Flash().SpiPartReady == 0) return EFI_NOT_READY;
  INT64 Length = (INT64)LengthBits;
  UINT32 EraseSize = Flash().ActiveConfig.EraseSize;
  if (EraseSize == 0 || (EraseSize & (EraseSize - 1)) != 0) return EFI_DEVICE_ERROR;

  UINT64 Aligned = (UINT32)Address & ~(EraseSize - 1);
  UINT64 Start = SpiLinearAddress(Aligned);
  // Units past the top of the 4 GiB space cannot be flash: stop counting there.
  UINT64 Units = Length > 0 ? ((UINT64)Length + EraseSize - 1) / EraseSize : 0;
  UINT64 UnitsBelowTop = (kFourGiB - Aligned) / EraseSize;
  if (Units > UnitsBelowTop) Units = UnitsBelowTop;
  UINT64 Covered = Units * EraseSize;
  SpiSetWriteProtection(Start, Covered, kProtectionLift);

  UINT64 Linear = Start;
  for (UINT64 Unit = 0; Unit < Units; ++Unit, Linear += EraseSize) {
    if (Linear < Flash().WriteLowerBound || Linear + EraseSize - 1 > Flash().WriteUpperBound) {
      continue;
    }
    UINT8 Sequencing = Flash().HardwareSequencing;
    EFI_STATUS Status =
        SpiCycle(Sequencing, (UINT32)Linear, 0, Sequencing != 0 ? kFcycleErase : SPI_MENU_ERASE,
                 0, 1, 0);
    if (EFI_ERROR(Status)) return FailRestoringProtection(Status, Start, Covered);
  }
  SpiSetWriteProtection(Start, Covered, kProtectionRestore);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI SpiProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes, UINT64) {
  if (Flash().SpiPartReady == 0) return EFI_NOT_READY;
  if (NumBytes == nullptr) return EFI_INVALID_PARAMETER;
  UINT64 Count = *NumBytes;
  if (Count == 0) return EFI_SUCCESS;
  if (Buffer == nullptr) return EFI_INVALID_PARAMETER;

  // Only the part of the range inside the write bounds is written, as erase does it.
  UINT64 Linear = SpiLinearAddress(Address);
  UINT64 Last = LastAddress(Linear, Count);
  UINT64 First = Linear > Flash().WriteLowerBound ? Linear : Flash().WriteLowerBound;
  if (Last > Flash().WriteUpperBound) Last = Flash().WriteUpperBound;
  if (First > Last || Last < Linear) return EFI_SUCCESS;
  UINT64 Length = Last - First + 1;
  const UINT8 *Source = Buffer + (First - Linear);

  SpiSetWriteProtection(First, Length, kProtectionLift);
  EFI_STATUS Status = ProgramRange(First, Source, Length);
  SpiSetWriteProtection(First, Length, kProtectionRestore);
  return Status;
}

SPI_READ_WINDOW SpiReadWindow() {
  UINT32 Region = Freg1::Read(Flash().SpiBase);
  UINT64 Base = (UINT64)Freg1Base::Get(Region) << 12;
  UINT64 Limit = ((UINT64)Freg1Limit::Get(Region) << 12) | 0xFFF;
  if (Base > Limit) return SPI_READ_WINDOW{0, 0};  // no BIOS region: no window
  UINT64 RegionSize = Limit - Base + 1;
  UINT64 Size = RegionSize < kSpiMaxReadWindow ? RegionSize : kSpiMaxReadWindow;
  return SPI_READ_WINDOW{Limit + 1 - Size, Size};
}

EFI_STATUS SpiSplitRead(UINT64 Linear, UINT8 *Buffer, UINT64 Length, READ_PIECE Pieces[2]) {
  if (Length == 0) return EFI_SUCCESS;
  SPI_READ_WINDOW Window = SpiReadWindow();
  UINT64 Last = Linear + Length - 1;
  if (Window.WindowSize == 0) {
    Pieces[0] = READ_PIECE{Linear, Buffer, Length};
    return EFI_SUCCESS;
  }
  UINT64 WindowFirst = Window.WindowStart;
  UINT64 WindowLast = Window.WindowStart + Window.WindowSize - 1;
  UINT64 WindowAddress = kFourGiB - Window.WindowSize;

  if (Last < WindowFirst || Linear > WindowLast) {
    Pieces[0] = READ_PIECE{Linear, Buffer, Length};
    return EFI_SUCCESS;
  }
  // The overlap with the window is copied now; what lies below and above becomes pieces.
  UINT64 CopyFirst = Linear > WindowFirst ? Linear : WindowFirst;
  UINT64 CopyLast = Last < WindowLast ? Last : WindowLast;
  FlashCopyOut(Buffer + (CopyFirst - Linear), WindowAddress + (CopyFirst - WindowFirst),
               CopyLast - CopyFirst + 1);
  int Next = 0;
  if (Linear < WindowFirst) Pieces[Next++] = READ_PIECE{Linear, Buffer, WindowFirst - Linear};
  if (Last > WindowLast) {
    Pieces[Next] = READ_PIECE{WindowLast + 1, Buffer + (WindowLast + 1 - Linear), Last - WindowLast};
  }
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI SpiRead(UINT8 *Buffer, UINT64 Address, UINT64 Length) {
  if (Flash().SpiPartReady == 0) return EFI_NOT_READY;
  if (Length == 0) return EFI_SUCCESS;
  if (Buffer == nullptr) return EFI_INVALID_PARAMETER;
  UINT64 Linear = 0;
  if (!InsideFlash(Address, Length, &Linear)) return EFI_INVALID_PARAMETER;

  if (Flash().HardwareSequencing != 1) {
    FlashCopyOut(Buffer, Address, Length);
    return EFI_SUCCESS;
  }
  READ_PIECE Pieces[2] = {};
  SpiSplitRead(Linear, Buffer, Length, Pieces);
  for (const READ_PIECE &Piece : Pieces) {
    if (Piece.Length == 0) break;
    EFI_STATUS Status = ReadPiece(Piece);
    if (EFI_ERROR(Status)) return Status;
  }
  return EFI_SUCCESS;
}
