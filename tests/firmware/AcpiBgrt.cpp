#include "AcpiBgrt.h"

namespace {

const EFI_GUID kAcpi20TableGuid = {
    0x8868E871, 0xE4F1, 0x11D3, {0xBC, 0x22, 0x00, 0x80, 0xC7, 0x3C, 0x88, 0x81}};

const UINTN kAcpiHeaderBytes = 36;
const UINTN kRsdpXsdtAddressOffset = 24;
const UINTN kRsdpRevisionOffset = 15;
const UINTN kBgrtBytes = 56;

bool SignatureIs(const UINT8 *At, const char *Signature) {
  for (UINTN Index = 0; Signature[Index] != '\0'; ++Index) {
    if (At[Index] != static_cast<UINT8>(Signature[Index])) return false;
  }
  return true;
}

}  // namespace

UINT32 ReadLe32(const UINT8 *At) {
  return static_cast<UINT32>(At[0]) | (static_cast<UINT32>(At[1]) << 8) |
         (static_cast<UINT32>(At[2]) << 16) | (static_cast<UINT32>(At[3]) << 24);
}

UINT64 ReadLe64(const UINT8 *At) {
  return static_cast<UINT64>(ReadLe32(At)) | (static_cast<UINT64>(ReadLe32(At + 4)) << 32);
}

bool AcpiChecksumOk(const UINT8 *Table, UINT32 Length) {
  UINT8 Sum = 0;
  for (UINT32 Index = 0; Index < Length; ++Index) Sum = static_cast<UINT8>(Sum + Table[Index]);
  return Sum == 0;
}

EFI_STATUS FindBgrt(EFI_SYSTEM_TABLE *SystemTable, BgrtTable *Found, TextLine &Why) {
  const UINT8 *Rsdp = nullptr;
  for (UINTN Index = 0; Index < SystemTable->NumberOfTableEntries; ++Index) {
    if (GuidsEqual(SystemTable->ConfigurationTable[Index].VendorGuid, kAcpi20TableGuid)) {
      Rsdp = static_cast<const UINT8 *>(SystemTable->ConfigurationTable[Index].VendorTable);
    }
  }
  if (Rsdp == nullptr) {
    Why.Add("no ACPI 2.0 entry in the configuration table");
    return EFI_NOT_FOUND;
  }
  if (!SignatureIs(Rsdp, "RSD PTR ") || Rsdp[kRsdpRevisionOffset] < 2) {
    Why.Add("the ACPI 2.0 entry is not an RSDP of revision 2 or later");
    return EFI_NOT_FOUND;
  }
  const UINT8 *Xsdt =
      reinterpret_cast<const UINT8 *>(ReadLe64(Rsdp + kRsdpXsdtAddressOffset));
  if (Xsdt == nullptr || !SignatureIs(Xsdt, "XSDT")) {
    Why.Add("the RSDP names no XSDT");
    return EFI_NOT_FOUND;
  }
  const UINT32 XsdtLength = ReadLe32(Xsdt + 4);
  const UINTN Entries = XsdtLength < kAcpiHeaderBytes ? 0 : (XsdtLength - kAcpiHeaderBytes) / 8;
  BgrtTable Result;
  for (UINTN Entry = 0; Entry < Entries; ++Entry) {
    const UINT8 *Table =
        reinterpret_cast<const UINT8 *>(ReadLe64(Xsdt + kAcpiHeaderBytes + 8 * Entry));
    if (Table == nullptr || !SignatureIs(Table, "BGRT")) continue;
    ++Result.Count;
    Result.Table = Table;
    Result.Length = ReadLe32(Table + 4);
    if (Result.Length < kBgrtBytes) continue;
    Result.Version = static_cast<UINT16>(Table[36] | (Table[37] << 8));
    Result.Status = Table[38];
    Result.ImageType = Table[39];
    Result.ImageAddress = ReadLe64(Table + 40);
    Result.OffsetX = ReadLe32(Table + 48);
    Result.OffsetY = ReadLe32(Table + 52);
  }
  if (Result.Count == 0) {
    Why.Add("the XSDT lists ").Dec(Entries).Add(" tables, none of them BGRT");
    return EFI_NOT_FOUND;
  }
  *Found = Result;
  return EFI_SUCCESS;
}
