/* Stands in for the UEFI headers a client of PlatformServicesDxe already has (a flash update
 * tool, a boot manager): the base types, and just enough of the system table, boot services
 * and text output protocol for the example to find the protocol and print. Written from the
 * public UEFI specification for this example; a real client uses its own headers instead.
 *
 * Unused table members are kept as untyped pointers so that the members used sit at their
 * proper offsets.
 */
#ifndef CLIENT_UEFI_H
#define CLIENT_UEFI_H

typedef unsigned char UINT8;
typedef unsigned short UINT16;
typedef unsigned int UINT32;
typedef unsigned long long UINT64;
typedef long long INT64;
#if defined(__x86_64__) || defined(_M_X64)
typedef unsigned long long UINTN;
typedef long long INTN;
#else
typedef unsigned int UINTN;
typedef int INTN;
#endif
typedef unsigned char BOOLEAN;
typedef unsigned short CHAR16;
typedef void VOID;
#define TRUE ((BOOLEAN)1)
#define FALSE ((BOOLEAN)0)

#if defined(__x86_64__) && !defined(_WIN32)
#define EFIAPI __attribute__((ms_abi))
#else
#define EFIAPI
#endif

typedef UINTN EFI_STATUS;
typedef VOID *EFI_HANDLE;
typedef UINT64 EFI_PHYSICAL_ADDRESS;
#define EFI_SUCCESS ((EFI_STATUS)0)
#define CLIENT_ERROR_BIT ((UINTN)1 << (sizeof(UINTN) * 8 - 1))
#define EFI_ERROR(Status) (((INTN)(Status)) < 0)
#define EFI_NOT_FOUND (CLIENT_ERROR_BIT | 14)
#define EFI_ABORTED (CLIENT_ERROR_BIT | 21)

typedef struct {
  UINT32 Data1;
  UINT16 Data2;
  UINT16 Data3;
  UINT8 Data4[8];
} EFI_GUID;

typedef struct {
  UINT16 HobType;
  UINT16 HobLength;
  UINT32 Reserved;
} EFI_HOB_GENERIC_HEADER;

typedef struct {
  EFI_HOB_GENERIC_HEADER Header;
  EFI_GUID Name;
} EFI_HOB_GUID_TYPE;

typedef struct {
  UINT64 Signature;
  UINT32 Revision;
  UINT32 HeaderSize;
  UINT32 CRC32;
  UINT32 Reserved;
} EFI_TABLE_HEADER;

typedef struct EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL;
struct EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL {
  VOID *Reset;
  EFI_STATUS(EFIAPI *OutputString)(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *This, CHAR16 *String);
  /* The rest is not used here. */
};

typedef struct {
  EFI_TABLE_HEADER Hdr;
  /* RaiseTPL ... ProtocolsPerHandle, LocateHandleBuffer: 37 services not used here. */
  VOID *Unused[37];
  EFI_STATUS(EFIAPI *LocateProtocol)(EFI_GUID *Protocol, VOID *Registration, VOID **Interface);
} EFI_BOOT_SERVICES;

typedef struct {
  EFI_TABLE_HEADER Hdr;
  CHAR16 *FirmwareVendor;
  UINT32 FirmwareRevision;
  EFI_HANDLE ConsoleInHandle;
  VOID *ConIn;
  EFI_HANDLE ConsoleOutHandle;
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *ConOut;
  EFI_HANDLE StandardErrorHandle;
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *StdErr;
  VOID *RuntimeServices;
  EFI_BOOT_SERVICES *BootServices;
  /* Configuration table members are not used here. */
} EFI_SYSTEM_TABLE;

#endif /* CLIENT_UEFI_H */
