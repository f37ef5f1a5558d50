// The ACPI boot graphics resource table (BGRT) the firmware publishes for the operating system:
// found through the ACPI 2.0 entry of the system table's configuration table (RSDP -> XSDT).
#pragma once

#include "TextLine.h"
#include "uefi/Uefi.h"

struct BgrtTable {
  const UINT8 *Table = nullptr;  // the whole table, header included
  UINT32 Length = 0;
  UINT16 Version = 0;
  UINT8 Status = 0;
  UINT8 ImageType = 0;
  UINT64 ImageAddress = 0;
  UINT32 OffsetX = 0;
  UINT32 OffsetY = 0;
  UINTN Count = 0;  // BGRT tables the XSDT lists; the last one is described above
};

// EFI_SUCCESS with *Found filled, or EFI_NOT_FOUND with Why saying which step failed.
EFI_STATUS FindBgrt(EFI_SYSTEM_TABLE *SystemTable, BgrtTable *Found, TextLine &Why);

// True when the table's bytes add up to zero, as every ACPI table's must.
bool AcpiChecksumOk(const UINT8 *Table, UINT32 Length);

// Little-endian reads at any alignment.
UINT32 ReadLe32(const UINT8 *At);
UINT64 ReadLe64(const UINT8 *At);
