/* Base types of the client headers in this folder (PlatformServicesProtocol.h,
 * BoardProtocols.h, SpdDataHob.h): fixed-width integers, BOOLEAN, EFIAPI, EFI_STATUS and its
 * codes, EFI_GUID, EFI_HANDLE, EFI_PHYSICAL_ADDRESS and the GUID hand-off block header.
 * Every header of this folder includes this one first; none needs anything else.
 *
 * Used alone, this header declares those names itself, from <stdint.h>.
 *
 * A client that already has UEFI headers of its own includes them first and defines
 *
 *     #define PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES
 *
 * before including any header of this folder. Nothing is then declared here except the
 * PLATFORM_SERVICES_* helper macros below; the client's headers must provide:
 *   UINT8 UINT16 UINT32 UINT64 UINTN BOOLEAN VOID TRUE FALSE EFIAPI
 *   EFI_STATUS EFI_GUID EFI_HANDLE EFI_PHYSICAL_ADDRESS
 *   and, for SpdDataHob.h only, EFI_HOB_GUID_TYPE (the PI GUID extension HOB header).
 * The layout checks of each header then run against the client's types, so a client whose
 * UINTN or EFI_GUID has the wrong size finds out at compile time.
 *
 * Plain C (C11 for the layout checks; older C compiles without them) and C++.
 */
#ifndef PLATFORM_SERVICES_TYPES_H
#define PLATFORM_SERVICES_TYPES_H

/* ---- Helpers, always defined: layout checks that work with either set of types ---- */

#if defined(__GNUC__) || defined(__clang__)
#define PLATFORM_SERVICES_OFFSETOF(type, member) __builtin_offsetof(type, member)
#else
#include <stddef.h>
#define PLATFORM_SERVICES_OFFSETOF(type, member) offsetof(type, member)
#endif

#if defined(__cplusplus)
#define PLATFORM_SERVICES_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define PLATFORM_SERVICES_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#else
#define PLATFORM_SERVICES_STATIC_ASSERT(cond, msg)
#endif

/* A member offset or a size on both firmware widths: x64 (8-byte pointers) and IA-32. */
#define PLATFORM_SERVICES_ASSERT_OFFSET(type, member, x64, ia32)                       \
  PLATFORM_SERVICES_STATIC_ASSERT(                                                     \
      PLATFORM_SERVICES_OFFSETOF(type, member) == (sizeof(void *) == 8 ? (x64) : (ia32)), \
      "offset of " #type "." #member)
#define PLATFORM_SERVICES_ASSERT_SIZE(type, x64, ia32)                                  \
  PLATFORM_SERVICES_STATIC_ASSERT(sizeof(type) == (sizeof(void *) == 8 ? (x64) : (ia32)), \
                                  "size of " #type)

/* The same checks under the names the project's own declarations use; defined only when no
 * one has taken the names, so a client's headers keep theirs. */
#ifndef UEFI_STATIC_ASSERT
#define UEFI_STATIC_ASSERT(cond, msg) PLATFORM_SERVICES_STATIC_ASSERT(cond, msg)
#endif
#ifndef UEFI_ASSERT_OFFSET
#define UEFI_ASSERT_OFFSET(type, member, x64, ia32) \
  PLATFORM_SERVICES_ASSERT_OFFSET(type, member, x64, ia32)
#endif
#ifndef UEFI_ASSERT_SIZE
#define UEFI_ASSERT_SIZE(type, x64, ia32) PLATFORM_SERVICES_ASSERT_SIZE(type, x64, ia32)
#endif

/* ---- The base types, unless the client brings its own ---- */

#ifndef PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES

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

/* Firmware calls use the Microsoft x64 convention. A Windows target uses it by default; a
 * Linux-hosted x64 build has to ask for it. IA-32 firmware uses the plain C convention. */
#if defined(__x86_64__) && !defined(_WIN32)
#define EFIAPI __attribute__((ms_abi))
#else
#define EFIAPI
#endif

typedef UINTN EFI_STATUS;
typedef VOID *EFI_HANDLE;
typedef VOID *EFI_EVENT;
typedef UINT64 EFI_PHYSICAL_ADDRESS;
typedef UINT64 EFI_VIRTUAL_ADDRESS;

/* Error codes have the highest bit of UINTN set: bit 63 on x64, bit 31 on IA-32. */
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
#define EFI_NOT_FOUND EFIERR(14)
#define EFI_ACCESS_DENIED EFIERR(15)
#define EFI_TIMEOUT EFIERR(18)
#define EFI_ABORTED EFIERR(21)

typedef struct {
  UINT32 Data1;
  UINT16 Data2;
  UINT16 Data3;
  UINT8 Data4[8];
} EFI_GUID;

/* Hand-off blocks: the generic header and the GUID extension HOB that SPD_DATA_HOB extends. */
typedef struct {
  UINT16 HobType;
  UINT16 HobLength; /* whole HOB, header included; a multiple of 8 */
  UINT32 Reserved;
} EFI_HOB_GENERIC_HEADER;

typedef struct {
  EFI_HOB_GENERIC_HEADER Header;
  EFI_GUID Name;
  /* Data follows. */
} EFI_HOB_GUID_TYPE;

#endif /* PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES */

PLATFORM_SERVICES_STATIC_ASSERT(sizeof(EFI_GUID) == 16, "EFI_GUID is 16 bytes");
PLATFORM_SERVICES_ASSERT_SIZE(UINTN, 8, 4);
PLATFORM_SERVICES_ASSERT_SIZE(EFI_STATUS, 8, 4);
PLATFORM_SERVICES_STATIC_ASSERT(sizeof(BOOLEAN) == 1, "BOOLEAN is one byte");

#endif /* PLATFORM_SERVICES_TYPES_H */
