// The three operation sets of the LPC part table: JEDEC parts (sets A and C) driven by unlock
// sequences and the toggle bit, firmware hubs (set B) by their command and status register.
// Every command is one byte-wide store into the flash window.
#include "../../uefi/SmmSystemTable.h"
#include "../ModuleState.h"
#include "FlashParts.h"
#include "FlashWindow.h"
#include "MemoryRoutines.h"

namespace {

constexpr UINT64 kJedecUnlockAddress1 = 0xFFF05555;
constexpr UINT64 kJedecUnlockAddress2 = 0xFFF02AAA;
constexpr UINT64 kJedecLpcIdAddress = 0xFFBC0000;
constexpr UINT64 kJedecArrayIdAddress = 0xFFF00000;
constexpr UINT64 kFwhBaseAddress = 0xFFF00000;

// JEDEC command bytes.
constexpr UINT8 kJedecUnlock1 = 0xAA;
constexpr UINT8 kJedecUnlock2 = 0x55;
constexpr UINT8 kJedecIdentify = 0x90;
constexpr UINT8 kJedecReadArray = 0xF0;
constexpr UINT8 kJedecEraseSetup = 0x80;
constexpr UINT8 kJedecSectorErase = 0x30;
constexpr UINT8 kJedecBlockErase = 0x50;
constexpr UINT8 kJedecByteProgram = 0xA0;
constexpr UINT8 kJedecToggleBit = 0x40;

// Firmware-hub command bytes and status.
constexpr UINT8 kFwhIdentify = 0x90;
constexpr UINT8 kFwhBlockEraseSetup = 0x20;
constexpr UINT8 kFwhEraseConfirm = 0xD0;
constexpr UINT8 kFwhByteProgram = 0x40;
constexpr UINT8 kFwhReadStatus = 0x70;
constexpr UINT8 kFwhClearStatus = 0x50;
constexpr UINT8 kFwhReadArray = 0xFF;
constexpr UINT8 kFwhReady = 0x80;
// Read array after an erase goes to this offset of the erased block's 1 MiB-aligned window.
constexpr UINT64 kFwhEraseResetOffset = 0xC0000;
constexpr UINT64 kFwhEraseResetWindowMask = ~(UINT64)0xFFFFF;

constexpr UINT64 kSectorSize = 0x1000;
constexpr UINT64 kBlockSize = 0x10000;
constexpr UINTN kPollMicroseconds = 2;

// Where a set's Init takes its context from: the caller's SMM pool when it hands in a table
// that can supply one, else the set's static context.
template <typename Context>
void AllocateContext(Context *&Pointer, Context &Static, VOID *Table) {
  if (Table != nullptr) {
    auto *Smm = (EFI_SMM_SYSTEM_TABLE *)Table;
    VOID *Allocated = nullptr;
    if (Smm->SmmAllocatePool != nullptr &&
        !EFI_ERROR(Smm->SmmAllocatePool(EfiRuntimeServicesData, sizeof(Context), &Allocated)) &&
        Allocated != nullptr) {
      Pointer = (Context *)Allocated;
      ZeroBytes(Pointer, sizeof(Context));
      return;
    }
  }
  Pointer = &Static;
}

EFI_STATUS JedecInit(JEDEC_FLASH_CONTEXT *&Pointer, JEDEC_FLASH_CONTEXT &Static, VOID *Table,
                     UINT64 IdAddress) {
  if (Pointer != nullptr && Pointer->Initialized != 0) return EFI_SUCCESS;
  AllocateContext(Pointer, Static, Table);
  Pointer->Initialized = 1;
  Pointer->UnlockAddress1 = kJedecUnlockAddress1;
  Pointer->UnlockAddress2 = kJedecUnlockAddress2;
  Pointer->IdAddress = IdAddress;
  return EFI_SUCCESS;
}

void JedecUnlock(const JEDEC_FLASH_CONTEXT *Context) {
  FlashCommand(Context->UnlockAddress1, kJedecUnlock1);
  FlashCommand(Context->UnlockAddress2, kJedecUnlock2);
}

EFI_STATUS JedecIdentify(const JEDEC_FLASH_CONTEXT *Context, UINT64 PartId) {
  if (Context == nullptr) return EFI_NOT_READY;
  JedecUnlock(Context);
  FlashCommand(Context->UnlockAddress1, kJedecIdentify);
  UINT16 Word = FlashRead16(Context->IdAddress);
  FlashCommand(Context->UnlockAddress1, kJedecReadArray);
  return Word == (UINT16)PartId ? EFI_SUCCESS : EFI_UNSUPPORTED;
}

bool LeadingBytesErased(UINT64 Address, UINT64 Count) {
  for (UINT64 i = 0; i < Count; ++i) {
    if (FlashRead8(Address + i) != 0xFF) return false;
  }
  return true;
}

// One sector or block: done when the toggle bit stops toggling and the unit's first bytes
// read erased. A part that is still busy, or that ignored the command, after the poll bound
// gives Device Error.
EFI_STATUS JedecEraseUnit(const JEDEC_FLASH_CONTEXT *Context, UINT64 Address, UINT8 Command,
                          UINT64 CheckedBytes) {
  JedecUnlock(Context);
  FlashCommand(Context->UnlockAddress1, kJedecEraseSetup);
  JedecUnlock(Context);
  FlashCommand(Address, Command);

  UINT8 Previous = FlashRead8(Address) & kJedecToggleBit;
  EFI_STATUS Status = EFI_DEVICE_ERROR;
  for (UINT32 Poll = 0; Poll < kJedecErasePolls; ++Poll) {
    PollDelay(kPollMicroseconds);
    UINT8 Toggle = FlashRead8(Address) & kJedecToggleBit;
    if (Toggle == Previous && LeadingBytesErased(Address, CheckedBytes)) {
      Status = EFI_SUCCESS;
      break;
    }
    Previous = Toggle;
  }
  PollDelay(kPollMicroseconds);
  return Status;
}

// Programming is over when two successive reads agree (the toggle bit has stopped).
bool JedecWaitProgrammed(UINT64 Address) {
  PollDelay(kPollMicroseconds);
  UINT8 Previous = FlashRead8(Address);
  for (UINT32 Comparison = 0; Comparison < kJedecProgramPolls; ++Comparison) {
    PollDelay(kPollMicroseconds);
    UINT8 Current = FlashRead8(Address);
    if (Current == Previous) return true;
    Previous = Current;
  }
  return false;
}

EFI_STATUS JedecConvert(JEDEC_FLASH_CONTEXT *&Pointer) {
  if (Pointer == nullptr) return EFI_NOT_READY;
  if (Pointer->Converted != 0) return EFI_SUCCESS;
  UINT64 *Addresses[] = {&Pointer->UnlockAddress1, &Pointer->UnlockAddress2,
                         &Pointer->IdAddress};
  for (UINT64 *Address : Addresses) {
    VOID *Converted = (VOID *)(UINTN)*Address;
    ConvertRuntimePointer(&Converted);
    *Address = (UINT64)(UINTN)Converted;
  }
  // Marked while the context is still reached through its physical address.
  Pointer->Converted = 1;
  ConvertRuntimePointer((VOID **)&Pointer);
  return EFI_SUCCESS;
}

// Waits for bit 7 of the status byte at Address; false after Polls reads without it.
bool FwhWaitReady(UINT64 Address, UINT32 Polls) {
  for (UINT32 Poll = 0; Poll < Polls; ++Poll) {
    UINT8 Status = FlashRead8(Address);
    PollDelay(kPollMicroseconds);
    if ((Status & kFwhReady) != 0) return true;
  }
  return false;
}

EFI_STATUS FwhBlockErase(UINT64 Address) {
  FlashCommand(Address, kFwhBlockEraseSetup);
  FlashCommand(Address, kFwhEraseConfirm);
  FlashCommand(Address, kFwhReadStatus);
  bool Ready = FwhWaitReady(Address, kFwhErasePolls);
  FlashCommand(Address, kFwhClearStatus);
  FlashCommand((Address & kFwhEraseResetWindowMask) + kFwhEraseResetOffset, kFwhReadArray);
  return Ready ? EFI_SUCCESS : EFI_DEVICE_ERROR;
}

}  // namespace

// ---- Set A --------------------------------------------------------------------------------

EFI_STATUS EFIAPI JedecLpcInit(VOID *Table) {
  FlashModuleState &Flash = DxeModule.Flash;
  return JedecInit(Flash.JedecLpcContext, Flash.JedecLpcStaticContext, Table, kJedecLpcIdAddress);
}

EFI_STATUS EFIAPI JedecLpcIdentify(UINT64 PartId) {
  return JedecIdentify(DxeModule.Flash.JedecLpcContext, PartId);
}

EFI_STATUS EFIAPI JedecLpcErase(UINT64 Address, UINT64 Length) {
  return JedecErase(DxeModule.Flash.JedecLpcContext, Address, Length);
}

EFI_STATUS EFIAPI JedecLpcProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes,
                                  UINT64) {
  return JedecProgram(DxeModule.Flash.JedecLpcContext, Address, Buffer, NumBytes);
}

EFI_STATUS EFIAPI JedecLpcConvertPointers() { return JedecConvert(DxeModule.Flash.JedecLpcContext); }

// ---- Set C --------------------------------------------------------------------------------

EFI_STATUS EFIAPI JedecArrayInit(VOID *Table) {
  FlashModuleState &Flash = DxeModule.Flash;
  return JedecInit(Flash.JedecArrayContext, Flash.JedecArrayStaticContext, Table,
                   kJedecArrayIdAddress);
}

EFI_STATUS EFIAPI JedecArrayIdentify(UINT64 PartId) {
  return JedecIdentify(DxeModule.Flash.JedecArrayContext, PartId);
}

EFI_STATUS EFIAPI JedecArrayErase(UINT64 Address, UINT64 Length) {
  return JedecErase(DxeModule.Flash.JedecArrayContext, Address, Length);
}

EFI_STATUS EFIAPI JedecArrayProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes,
                                    UINT64) {
  return JedecProgram(DxeModule.Flash.JedecArrayContext, Address, Buffer, NumBytes);
}

EFI_STATUS EFIAPI JedecArrayConvertPointers() {
  return JedecConvert(DxeModule.Flash.JedecArrayContext);
}

// ---- Sets A and C -------------------------------------------------------------------------

EFI_STATUS JedecErase(const JEDEC_FLASH_CONTEXT *Context, UINT64 Address, UINT64 Length) {
  if (Context == nullptr) return EFI_NOT_READY;
  if (Length == 0 || Length % kSectorSize != 0) return EFI_INVALID_PARAMETER;
  // Whole 64 KiB blocks only when the length is made of them; otherwise every unit is a sector.
  bool Blocks = Length >= kBlockSize && Length % kBlockSize == 0;
  UINT64 UnitSize = Blocks ? kBlockSize : kSectorSize;
  UINT8 Command = Blocks ? kJedecBlockErase : kJedecSectorErase;
  UINT64 CheckedBytes = Blocks ? 8 : 4;
  for (UINT64 Offset = 0; Offset < Length; Offset += UnitSize) {
    EFI_STATUS Status = JedecEraseUnit(Context, Address + Offset, Command, CheckedBytes);
    if (EFI_ERROR(Status)) return Status;
  }
  return EFI_SUCCESS;
}

EFI_STATUS JedecProgram(const JEDEC_FLASH_CONTEXT *Context, UINT64 Address, const UINT8 *Buffer,
                        UINT64 *NumBytes) {
  if (Context == nullptr) return EFI_NOT_READY;
  if (NumBytes == nullptr || (Buffer == nullptr && *NumBytes != 0)) return EFI_INVALID_PARAMETER;
  for (UINT64 i = 0; i < *NumBytes; ++i) {
    UINT8 Held = FlashRead8(Address + i);
    if (CompareBytes(&Held, &Buffer[i], 1) == 0) continue;
    JedecUnlock(Context);
    FlashCommand(Context->UnlockAddress1, kJedecByteProgram);
    FlashCommand(Address + i, Buffer[i]);
    if (!JedecWaitProgrammed(Address + i) || FlashRead8(Address + i) != Buffer[i]) {
      *NumBytes = i;
      return EFI_DEVICE_ERROR;
    }
  }
  return EFI_SUCCESS;
}

// ---- Set B --------------------------------------------------------------------------------

EFI_STATUS EFIAPI FwhInit(VOID *Table) {
  FlashModuleState &Flash = DxeModule.Flash;
  if (Flash.FwhContext != nullptr && Flash.FwhContext->Initialized != 0) return EFI_SUCCESS;
  AllocateContext(Flash.FwhContext, Flash.FwhStaticContext, Table);
  Flash.FwhContext->Initialized = 1;
  Flash.FwhContext->BaseAddress = kFwhBaseAddress;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI FwhIdentify(UINT64 PartId) {
  FWH_FLASH_CONTEXT *Context = DxeModule.Flash.FwhContext;
  if (Context == nullptr) return EFI_NOT_READY;
  FlashCommand(Context->BaseAddress, kFwhIdentify);
  UINT16 Word = FlashRead16(Context->BaseAddress);
  FlashCommand(Context->BaseAddress, kFwhReadArray);
  return Word == (UINT16)PartId ? EFI_SUCCESS : EFI_UNSUPPORTED;
}

EFI_STATUS EFIAPI FwhErase(UINT64 Address, UINT64 Length) {
  if (DxeModule.Flash.FwhContext == nullptr) return EFI_NOT_READY;
  if (Length % kBlockSize != 0) return EFI_INVALID_PARAMETER;
  for (UINT64 Offset = 0; Offset < Length; Offset += kBlockSize) {
    EFI_STATUS Status = FwhBlockErase(Address + Offset);
    if (EFI_ERROR(Status)) return Status;
  }
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI FwhProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes,
                             UINT64 ResetAddress) {
  if (DxeModule.Flash.FwhContext == nullptr) return EFI_NOT_READY;
  if (NumBytes == nullptr || (Buffer == nullptr && *NumBytes != 0)) return EFI_INVALID_PARAMETER;
  EFI_STATUS Result = EFI_SUCCESS;
  for (UINT64 i = 0; i < *NumBytes; ++i) {
    FlashCommand(Address + i, kFwhByteProgram);
    FlashCommand(Address + i, Buffer[i]);
    FlashCommand(Address + i, kFwhReadStatus);
    if (!FwhWaitReady(Address + i, kFwhProgramPolls)) {
      *NumBytes = i;
      Result = EFI_DEVICE_ERROR;
      break;
    }
  }
  FlashCommand(ResetAddress, kFwhClearStatus);
  FlashCommand(ResetAddress, kFwhReadArray);
  return Result;
}

EFI_STATUS EFIAPI FwhConvertPointers() {
  FWH_FLASH_CONTEXT *&Pointer = DxeModule.Flash.FwhContext;
  if (Pointer == nullptr) return EFI_NOT_READY;
  if (Pointer->Converted != 0) return EFI_SUCCESS;
  Pointer->Converted = 1;
  ConvertRuntimePointer((VOID **)&Pointer);
  return EFI_SUCCESS;
}

// ---- All sets -----------------------------------------------------------------------------

EFI_STATUS EFIAPI LpcFlashRead(UINT8 *Buffer, UINT64 Address, UINT64 Length) {
  if (Buffer == nullptr && Length != 0) return EFI_INVALID_PARAMETER;
  FlashCopyOut(Buffer, Address, Length);
  return EFI_SUCCESS;
}
