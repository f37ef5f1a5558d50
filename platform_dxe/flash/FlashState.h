// Module-wide state of the flash subsystem. It lives inside DxeModule, so a test that puts the
// module back into its just-loaded state resets it too.
#pragma once

#include "../../include/FlashPartRecord.h"

// Command context of a JEDEC operation set (LPC parts driven by unlock sequences).
struct JEDEC_FLASH_CONTEXT {
  UINT8 Initialized;
  UINT8 Converted;
  UINT64 UnlockAddress1;  // receives the 0xAA of every unlock pair and the command bytes
  UINT64 UnlockAddress2;  // receives the 0x55 of every unlock pair
  UINT64 IdAddress;       // the identification word is read here
};

// Command context of the firmware-hub operation set.
struct FWH_FLASH_CONTEXT {
  UINT8 Initialized;
  UINT8 Converted;
  UINT64 BaseAddress;  // identification commands and word
};

// The loader leaves LastSpiPartIndex at "no part yet", not 0.
constexpr UINT64 kNoSpiPart = 0xFF;

struct FlashModuleState {
  // Index into SpiPartList of the part found by the last full walk of the list.
  UINT64 LastSpiPartIndex = kNoSpiPart;

  // SPI controller state set by SpiInit and by the SpiIdentify that accepted a part.
  UINT64 SpiBase = 0;  // address of the SPI register block
  SPI_PART_CONFIG ActiveConfig = {};
  UINT8 HardwareSequencing = 0;
  UINT8 SpiConverted = 0;
  // 1 once an SpiIdentify has accepted a part: erase, program and read work from its state.
  UINT8 SpiPartReady = 0;
  UINT64 WriteLowerBound = 0;
  UINT64 WriteUpperBound = 0;

  // Bound at start-up when the platform has them; null otherwise, and then never called.
  VOID *DxeServices = nullptr;     // EFI_DXE_SERVICES
  VOID *BootScriptSave = nullptr;  // EFI_BOOT_SCRIPT_SAVE_PROTOCOL

  // One context per LPC operation set: the pointer Init sets, and the static context used
  // when Init has no SMM table (or the SMM pool cannot supply one).
  JEDEC_FLASH_CONTEXT *JedecLpcContext = nullptr;
  FWH_FLASH_CONTEXT *FwhContext = nullptr;
  JEDEC_FLASH_CONTEXT *JedecArrayContext = nullptr;
  JEDEC_FLASH_CONTEXT JedecLpcStaticContext = {};
  FWH_FLASH_CONTEXT FwhStaticContext = {};
  JEDEC_FLASH_CONTEXT JedecArrayStaticContext = {};
};

// Puts the part records back as the image was built (detection rewrites the size fields of
// an SPI record when the flash descriptor reports two components).
void ResetFlashPartRecords();
