/* A client that has UEFI headers of its own includes ours after them with
 * PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES set. The declarations below are such a client's,
 * spelled differently from ours on purpose (UINT64 as unsigned long long, not uint64_t): if
 * one of our headers declared a base type again, the two would clash and this would not
 * compile. Built as C and C++ (ClientTypesCheck.cpp); tests also compile it without the switch
 * and expect exactly that clash. */

/* ---- The client's own UEFI declarations ---- */
typedef unsigned char UINT8;
typedef unsigned short UINT16;
typedef unsigned int UINT32;
typedef unsigned long long UINT64;
#if defined(__x86_64__) || defined(_M_X64)
typedef unsigned long long UINTN;
#else
typedef unsigned int UINTN;
#endif
typedef unsigned char BOOLEAN;
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

/* ---- Then ours ---- */
#ifndef CLIENT_CHECK_WITHOUT_SWITCH
#define PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES
#endif
#include "BoardProtocols.h"
#include "FlashPartRecord.h"
#include "PlatformServicesProtocol.h"
#include "SpdDataHob.h"

/* Our declarations are built on the client's types: these assignments only compile when the
 * slot and field types are exactly the client's. */
EFI_STATUS ClientUsesServices(PLATFORM_SERVICES_PROTOCOL *Services, SPD_DATA_HOB *Hob) {
  EFI_GUID Guid = PLATFORM_SERVICES_PROTOCOL_GUID;
  EFI_GUID HobGuid = SPD_DATA_HOB_GUID;
  UINT64(EFIAPI * ReadCounter)(VOID) = Services->ReadTimeStampCounter;
  EFI_STATUS(EFIAPI * Call)(UINT64, UINT32, UINT64) = Services->PlatformCall;
  EFI_HOB_GUID_TYPE *Header = &Hob->Header;
  UINT64 *Base = &Services->ServicesInfo->SharedBase;
  (void)ReadCounter;
  (void)Call;
  return (Guid.Data1 != HobGuid.Data1 && Header != 0 && Base != 0) ? 0 : 1;
}
