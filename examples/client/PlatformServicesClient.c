/* A C client of PlatformServicesDxe, written the way a flash update tool would be: its own
 * UEFI headers first, then the platform services header told to use their types. It finds
 * the protocol, calls a few operations and prints one line per answer on the console.
 *
 * Built as an EFI application (ClientExample.efi). tools/demo starts it after the board and
 * the driver; its lines are the "C client" part of the demo report.
 */
#include "ClientUefi.h"

#define PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES
#include "include/PlatformServicesProtocol.h"

/* ---- Printing: a line is built into a fixed buffer of UCS-2 characters ---- */

typedef struct {
  CHAR16 Text[160];
  UINTN Length;
} LINE;

static void AddText(LINE *Line, const char *Text) {
  while (*Text != '\0' && Line->Length + 3 < sizeof(Line->Text) / sizeof(Line->Text[0])) {
    Line->Text[Line->Length++] = (CHAR16)*Text++;
  }
}

static void AddHex(LINE *Line, UINT64 Value) {
  char Digits[19] = "0x";
  int Count = 1;
  UINT64 Rest = Value;
  while (Rest >>= 4) ++Count;
  for (int Index = Count - 1; Index >= 0; --Index) {
    Digits[2 + Index] = "0123456789ABCDEF"[Value & 0xF];
    Value >>= 4;
  }
  Digits[2 + Count] = '\0';
  AddText(Line, Digits);
}

static void AddDecimal(LINE *Line, UINT64 Value) {
  char Digits[21];
  int Index = 20;
  Digits[Index] = '\0';
  do {
    Digits[--Index] = (char)('0' + Value % 10);
    Value /= 10;
  } while (Value != 0);
  AddText(Line, &Digits[Index]);
}

static void Print(EFI_SYSTEM_TABLE *SystemTable, LINE *Line) {
  Line->Text[Line->Length++] = '\r';
  Line->Text[Line->Length++] = '\n';
  Line->Text[Line->Length] = 0;
  SystemTable->ConOut->OutputString(SystemTable->ConOut, Line->Text);
  Line->Length = 0;
}

/* ---- The client ---- */

EFI_STATUS EFIAPI ClientExampleEntry(EFI_HANDLE ImageHandle, EFI_SYSTEM_TABLE *SystemTable) {
  EFI_GUID ServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
  PLATFORM_SERVICES_PROTOCOL *Services = 0;
  LINE Line = {{0}, 0};
  (void)ImageHandle;

  EFI_STATUS Status =
      SystemTable->BootServices->LocateProtocol(&ServicesGuid, 0, (VOID **)&Services);
  if (EFI_ERROR(Status) || Services == 0 || Services->Signature != PLATFORM_SERVICES_SIGNATURE) {
    AddText(&Line, "C client: platform services protocol not found (LocateProtocol ");
    AddHex(&Line, Status);
    AddText(&Line, ")");
    Print(SystemTable, &Line);
    return EFI_ERROR(Status) ? Status : EFI_NOT_FOUND;
  }

  /* The disk channel map belongs to the driver: read it, never free it. */
  DISK_CHANNEL_ENTRY *Map = 0;
  UINTN Count = 0;
  Status = Services->GetDiskChannelMap(&Map, &Count);
  AddText(&Line, "C client: GetDiskChannelMap status ");
  AddHex(&Line, Status);
  AddText(&Line, ", ");
  AddDecimal(&Line, Count);
  AddText(&Line, " entries (good: 0x0, 10)");
  Print(SystemTable, &Line);

  UINT64 Address = Services->GetPciExpressAddress(0, 0, 31, 0, 0xDC);
  AddText(&Line, "C client: GetPciExpressAddress(0:31.0, 0xDC) = ");
  AddHex(&Line, Address);
  AddText(&Line, " (good: 0xF00F80DC)");
  Print(SystemTable, &Line);

  UINT64 First = Services->ReadTimeStampCounter();
  UINT64 Second = Services->ReadTimeStampCounter();
  AddText(&Line, "C client: ReadTimeStampCounter twice, second - first = ");
  AddDecimal(&Line, Second - First);
  AddText(&Line, " (good: a small positive number)");
  Print(SystemTable, &Line);
  /* The image's exit status says whether every answer was the expected one. */
  return (Second > First && Count == 10 && Address == 0xF00F80DCull) ? EFI_SUCCESS : EFI_ABORTED;
}
