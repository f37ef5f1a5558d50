// UEFI base declarations the modules use beyond those of the client headers: task priority
// levels, memory types and the table header. Declared from the
// UEFI specification; plain C-compatible.
#pragma once

#include <stddef.h>

// The base types (integers, BOOLEAN, EFIAPI, EFI_STATUS and its codes, EFI_GUID, the GUID HOB
// header) are the ones the client headers are written in; they have a single definition.
#include "../include/PlatformServicesTypes.h"

// UEFI_STATIC_ASSERT, UEFI_ASSERT_OFFSET and UEFI_ASSERT_SIZE come with the base types too.

typedef UINTN EFI_TPL;

// The remaining status codes, which only the module's own code names (the formatter prints
// every one of them by name).
#define EFI_VOLUME_CORRUPTED EFIERR(10)
#define EFI_VOLUME_FULL EFIERR(11)
#define EFI_NO_MEDIA EFIERR(12)
#define EFI_MEDIA_CHANGED EFIERR(13)
#define EFI_NO_RESPONSE EFIERR(16)
#define EFI_NO_MAPPING EFIERR(17)
#define EFI_NOT_STARTED EFIERR(19)
#define EFI_ALREADY_STARTED EFIERR(20)
#define EFI_ICMP_ERROR EFIERR(22)
#define EFI_TFTP_ERROR EFIERR(23)
#define EFI_PROTOCOL_ERROR EFIERR(24)

// Warnings: the high bit clear, not zero.
#define EFI_WARN_UNKNOWN_GLYPH ((EFI_STATUS)1)
#define EFI_WARN_DELETE_FAILURE ((EFI_STATUS)2)
#define EFI_WARN_WRITE_FAILURE ((EFI_STATUS)3)
#define EFI_WARN_BUFFER_TOO_SMALL ((EFI_STATUS)4)

UEFI_STATIC_ASSERT(EFI_PROTOCOL_ERROR ==
                       (sizeof(void *) == 8 ? (UINTN)0x8000000000000018ULL : (UINTN)0x80000018UL),
                   "error codes carry the high bit of UINTN");
UEFI_STATIC_ASSERT(!EFI_ERROR(EFI_WARN_BUFFER_TOO_SMALL) && EFI_ERROR(EFI_LOAD_ERROR),
                   "warnings are not errors");

// Task priority levels.
#define TPL_APPLICATION ((EFI_TPL)4)
#define TPL_CALLBACK ((EFI_TPL)8)
#define TPL_NOTIFY ((EFI_TPL)16)
#define TPL_HIGH_LEVEL ((EFI_TPL)31)

// Memory types (EFI_MEMORY_TYPE is an enumeration, 32 bits wide).
typedef UINT32 EFI_MEMORY_TYPE;
#define EfiReservedMemoryType ((EFI_MEMORY_TYPE)0)
#define EfiLoaderCode ((EFI_MEMORY_TYPE)1)
#define EfiLoaderData ((EFI_MEMORY_TYPE)2)
#define EfiBootServicesCode ((EFI_MEMORY_TYPE)3)
#define EfiBootServicesData ((EFI_MEMORY_TYPE)4)
#define EfiRuntimeServicesCode ((EFI_MEMORY_TYPE)5)
#define EfiRuntimeServicesData ((EFI_MEMORY_TYPE)6)
#define EfiConventionalMemory ((EFI_MEMORY_TYPE)7)

#define EFI_MEMORY_RUNTIME 0x8000000000000000ULL

typedef struct {
  UINT64 Signature;
  UINT32 Revision;
  UINT32 HeaderSize;
  UINT32 CRC32;
  UINT32 Reserved;
} EFI_TABLE_HEADER;
UEFI_ASSERT_SIZE(EFI_TABLE_HEADER, 24, 24);

#ifdef __cplusplus
// True when two GUIDs are byte-for-byte equal.
inline bool GuidsEqual(const EFI_GUID &a, const EFI_GUID &b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}
#endif
