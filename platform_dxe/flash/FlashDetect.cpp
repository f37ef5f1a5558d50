// Slot 15: which flash part is fitted. The boot strap picks the table; the first record whose
// Init and Identify answer is handed to the client.
#include "../ModuleState.h"
#include "../cpu/ProcessorPrimitives.h"
#include "FlashParts.h"
#include "SpiRegisters.h"

UINT64 ReadRcba() {
  return reg::Load(spi::kLpcRcbaAddress, UINT32{}) & ~(UINT64)spi::kRcbaEnable;
}

EFI_STATUS ReadBootStrap(BootStrap *Strap) {
  UINT32 Bbs = spi::GcsBbs::Get(spi::Gcs::Read(ReadRcba()));
  if (Bbs == spi::kBootStrapLpc) {
    *Strap = BootStrap::Lpc;
  } else if (Bbs == spi::kBootStrapSpi) {
    *Strap = BootStrap::Spi;
  } else {
    *Strap = BootStrap::Neither;
    return EFI_UNSUPPORTED;
  }
  return EFI_SUCCESS;
}

bool IsLpcBoot() {
  BootStrap Strap;
  return !EFI_ERROR(ReadBootStrap(&Strap)) && Strap == BootStrap::Lpc;
}

bool IsSpiBoot() {
  BootStrap Strap;
  return !EFI_ERROR(ReadBootStrap(&Strap)) && Strap == BootStrap::Spi;
}

namespace {

// Init's status is not examined: Identify tells whether the part answers.
bool SpiRecordAnswers(SPI_FLASH_PART_RECORD *Record, UINT64 Table) {
  Record->Part.Init((VOID *)(UINTN)Table);
  return !EFI_ERROR(Record->Part.Identify((UINT64)(UINTN)Record));
}

}  // namespace

EFI_STATUS EFIAPI DetectFlashPart(FLASH_PART_RECORD **PartRecord, UINT64 Table) {
  if (PartRecord == nullptr) return EFI_INVALID_PARAMETER;
  *PartRecord = nullptr;
  FlashModuleState &Flash = DxeModule.Flash;

  if (IsLpcBoot()) {
    for (FLASH_PART_RECORD *Record : LpcPartList) {
      Record->Init((VOID *)(UINTN)Table);
      if (!EFI_ERROR(Record->Identify(Record->PartId))) {
        *PartRecord = Record;
        return EFI_SUCCESS;
      }
    }
  }

  if (IsSpiBoot()) {
    // The part found last time is asked first; the walk then starts again from the top.
    if (Flash.LastSpiPartIndex < kSpiPartCount) {
      SPI_FLASH_PART_RECORD *Remembered = SpiPartList[Flash.LastSpiPartIndex];
      if (SpiRecordAnswers(Remembered, Table)) {
        *PartRecord = &Remembered->Part;
        return EFI_SUCCESS;
      }
    }
    for (UINT64 i = 0; i < kSpiPartCount; ++i) {
      if (SpiRecordAnswers(SpiPartList[i], Table)) {
        *PartRecord = &SpiPartList[i]->Part;
        Flash.LastSpiPartIndex = i;
        return EFI_SUCCESS;
      }
    }
  }

  PortWrite8(kPostCodePort, kPostCodeNoFlashPart);
  return EFI_UNSUPPORTED;
}
