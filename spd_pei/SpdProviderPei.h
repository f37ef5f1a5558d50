// SpdProviderPei: publishes the SPD image of the soldered memory for memory initialisation.
#pragma once

#include "../uefi/PeiServices.h"

// LPC bridge GPIOBASE (0:31.0, register 0x48) through the PCI Express configuration window.
constexpr UINT64 kGpioBaseConfigAddress = 0xF00F8048;
constexpr UINT32 kGpioBaseMask = 0xFF80;
// GP_LVL2: levels of GPIO 32 to 63. GPIO 34 tells which memory configuration is fitted.
constexpr UINT16 kGpioLevel2Offset = 0x38;
constexpr UINT32 kMemoryStrapBit = 1u << 2;

extern "C" EFI_STATUS EFIAPI SpdProviderPeiEntry(EFI_PEI_FILE_HANDLE FileHandle,
                                                 const EFI_PEI_SERVICES **PeiServices);
