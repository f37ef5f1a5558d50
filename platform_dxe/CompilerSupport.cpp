// Memory routines the compiler may call on its own even in freestanding code (structure
// copies, zero-initialisation). Firmware build only: the host build uses its C library.
// Byte accesses through volatile pointers keep the optimiser from turning these loops back
// into calls to themselves.
#include "../uefi/UefiBase.h"

extern "C" {

void *memcpy(void *Destination, const void *Source, size_t Length) {
  volatile UINT8 *To = (volatile UINT8 *)Destination;
  const volatile UINT8 *From = (const volatile UINT8 *)Source;
  for (size_t i = 0; i < Length; ++i) To[i] = From[i];
  return Destination;
}

void *memmove(void *Destination, const void *Source, size_t Length) {
  volatile UINT8 *To = (volatile UINT8 *)Destination;
  const volatile UINT8 *From = (const volatile UINT8 *)Source;
  if (To < From) {
    for (size_t i = 0; i < Length; ++i) To[i] = From[i];
  } else {
    for (size_t i = Length; i > 0; --i) To[i - 1] = From[i - 1];
  }
  return Destination;
}

void *memset(void *Buffer, int Value, size_t Length) {
  volatile UINT8 *To = (volatile UINT8 *)Buffer;
  for (size_t i = 0; i < Length; ++i) To[i] = (UINT8)Value;
  return Buffer;
}

int memcmp(const void *Left, const void *Right, size_t Length) {
  const volatile UINT8 *A = (const volatile UINT8 *)Left;
  const volatile UINT8 *B = (const volatile UINT8 *)Right;
  for (size_t i = 0; i < Length; ++i) {
    if (A[i] != B[i]) return A[i] < B[i] ? -1 : 1;
  }
  return 0;
}

}  // extern "C"
