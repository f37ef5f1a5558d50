// EFI_SIMPLE_TEXT_INPUT_PROTOCOL: the console's keyboard (SystemTable->ConIn).
#pragma once

#include "UefiBase.h"

typedef struct {
  UINT16 ScanCode;
  CHAR16 UnicodeChar;
} EFI_INPUT_KEY;
UEFI_ASSERT_SIZE(EFI_INPUT_KEY, 4, 4);

typedef struct EFI_SIMPLE_TEXT_INPUT_PROTOCOL EFI_SIMPLE_TEXT_INPUT_PROTOCOL;
typedef EFI_STATUS(EFIAPI *EFI_INPUT_RESET)(EFI_SIMPLE_TEXT_INPUT_PROTOCOL *This,
                                            BOOLEAN ExtendedVerification);
// EFI_NOT_READY when no key is waiting.
typedef EFI_STATUS(EFIAPI *EFI_INPUT_READ_KEY)(EFI_SIMPLE_TEXT_INPUT_PROTOCOL *This,
                                               EFI_INPUT_KEY *Key);
struct EFI_SIMPLE_TEXT_INPUT_PROTOCOL {
  EFI_INPUT_RESET Reset;
  EFI_INPUT_READ_KEY ReadKeyStroke;
  VOID *WaitForKey;  // EFI_EVENT
};
UEFI_ASSERT_SIZE(EFI_SIMPLE_TEXT_INPUT_PROTOCOL, 24, 12);
