// Runs execute-in-place from flash before memory exists: it writes nothing of its own image.
// The data blocks are built in local storage, and the only memory it writes is the hand-off
// block the PEI core hands out.
#include "SpdProviderPei.h"

#include "../include/SpdDataHob.h"
#include "../uefi/Hob.h"
#include "../platform_dxe/cpu/Instructions.h"
#include "SpdBlocks.h"

namespace {

bool MemoryStrapIsHigh() {
  UINT32 GpioBase = hw::MmioLoad32(kGpioBaseConfigAddress) & kGpioBaseMask;
  UINT16 LevelPort = (UINT16)((GpioBase + kGpioLevel2Offset) & 0xFFFF);
  return (hw::In32(LevelPort) & kMemoryStrapBit) != 0;
}

}  // namespace

extern "C" EFI_STATUS EFIAPI SpdProviderPeiEntry(EFI_PEI_FILE_HANDLE,
                                                 const EFI_PEI_SERVICES **PeiServices) {
  const UINT8 StrapHighBlock[SPD_HOB_DATA_SIZE] = {SPD_BLOCK_STRAP_HIGH};
  const UINT8 StrapLowBlock[SPD_HOB_DATA_SIZE] = {SPD_BLOCK_STRAP_LOW};
  const UINT8 *Chosen = MemoryStrapIsHigh() ? StrapHighBlock : StrapLowBlock;

  SPD_DATA_HOB *Hob = nullptr;
  EFI_STATUS Status = (*PeiServices)->CreateHob(PeiServices, EFI_HOB_TYPE_GUID_EXTENSION,
                                                (UINT16)sizeof(SPD_DATA_HOB), (VOID **)&Hob);
  if (EFI_ERROR(Status)) return Status;

  const EFI_GUID Name = SPD_DATA_HOB_GUID;
  Hob->Header.Name = Name;
  (*PeiServices)->CopyMem(Hob->SpdHobHeader, Chosen, SPD_HOB_DATA_SIZE);
  return EFI_SUCCESS;
}
