// Base types, calling convention, status codes and GUIDs of the UEFI specification,
// declared from the UEFI specification. Plain C-compatible declarations.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef uint8_t UINT8;
typedef uint16_t UINT16;
typedef uint32_t UINT32;
typedef uint64_t UINT64;
typedef int8_t INT8;
typedef int16_t INT16;
typedef int32_t INT32;
typedef int64_t INT64;
typedef uintptr_t UINTN;
typedef intptr_t INTN;
typedef uint8_t BOOLEAN;
typedef char CHAR8;
#ifdef __cplusplus
typedef char16_t CHAR16;
#else
typedef uint16_t CHAR16;
#endif
typedef void VOID;

#define TRUE ((BOOLEAN)1)
#define FALSE ((BOOLEAN)0)

// Firmware calls use the Microsoft x64 convention. The firmware target uses it by default;
// the Linux host build has to ask for it. IA-32 firmware uses the plain C convention.
#if defined(__x86_64__) && !defined(_WIN32)
#define EFIAPI __attribute__((ms_abi))
#else
#define EFIAPI
#endif

#ifdef __cplusplus
#define UEFI_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define UEFI_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

// Asserts a member offset for both supported widths: x64 (8-byte pointers) and IA-32.
#define UEFI_ASSERT_OFFSET(type, member, x64, ia32)                                   \
  UEFI_STATIC_ASSERT(offsetof(type, member) == (sizeof(void *) == 8 ? (x64) : (ia32)), \
                     "offset of " #type "." #member)
#define UEFI_ASSERT_SIZE(type, x64, ia32) \
  UEFI_STATIC_ASSERT(sizeof(type) == (sizeof(void *) == 8 ? (x64) : (ia32)), "size of " #type)

typedef UINTN EFI_STATUS;
typedef VOID *EFI_HANDLE;
typedef VOID *EFI_EVENT;
typedef UINTN EFI_TPL;
typedef UINT64 EFI_PHYSICAL_ADDRESS;
typedef UINT64 EFI_VIRTUAL_ADDRESS;

// Error codes have the highest bit of UINTN set: bit 63 on x64, bit 31 on IA-32.
#define EFI_HIGH_BIT ((UINTN)1 << (sizeof(UINTN) * 8 - 1))
#define EFIERR(code) (EFI_HIGH_BIT | (UINTN)(code))
#define EFI_ERROR(status) (((INTN)(EFI_STATUS)(status)) < 0)

#define EFI_SUCCESS ((EFI_STATUS)0)
#define EFI_LOAD_ERROR EFIERR(1)
#define EFI_INVALID_PARAMETER EFIERR(2)
#define EFI_UNSUPPORTED EFIERR(3)
#define EFI_BAD_BUFFER_SIZE EFIERR(4)
#define EFI_BUFFER_TOO_SMALL EFIERR(5)
#define EFI_NOT_READY EFIERR(6)
#define EFI_DEVICE_ERROR EFIERR(7)
#define EFI_WRITE_PROTECTED EFIERR(8)
#define EFI_OUT_OF_RESOURCES EFIERR(9)
#define EFI_VOLUME_CORRUPTED EFIERR(10)
#define EFI_VOLUME_FULL EFIERR(11)
#define EFI_NO_MEDIA EFIERR(12)
#define EFI_MEDIA_CHANGED EFIERR(13)
#define EFI_NOT_FOUND EFIERR(14)
#define EFI_ACCESS_DENIED EFIERR(15)
#define EFI_NO_RESPONSE EFIERR(16)
#define EFI_NO_MAPPING EFIERR(17)
#define EFI_TIMEOUT EFIERR(18)
#define EFI_NOT_STARTED EFIERR(19)
#define EFI_ALREADY_STARTED EFIERR(20)
#define EFI_ABORTED EFIERR(21)
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

typedef struct {
  UINT32 Data1;
  UINT16 Data2;
  UINT16 Data3;
  UINT8 Data4[8];
} EFI_GUID;
UEFI_STATIC_ASSERT(sizeof(EFI_GUID) == 16, "EFI_GUID is 16 bytes");

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
