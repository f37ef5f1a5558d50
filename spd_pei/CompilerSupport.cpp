// The routines the compiler may call for block copies and fills (initialising the local data
// blocks). This image links nothing else, so it carries its own. Volatile byte accesses keep
// the optimiser from turning the loops back into calls to themselves.
#include "../uefi/UefiBase.h"

extern "C" {

void *memcpy(void *Destination, const void *Source, size_t Length) {
  volatile UINT8 *To = (volatile UINT8 *)Destination;
  const volatile UINT8 *From = (const volatile UINT8 *)Source;
  for (size_t i = 0; i < Length; ++i) To[i] = From[i];
  return Destination;
}

void *memset(void *Buffer, int Value, size_t Length) {
  volatile UINT8 *To = (volatile UINT8 *)Buffer;
  for (size_t i = 0; i < Length; ++i) To[i] = (UINT8)Value;
  return Buffer;
}

}  // extern "C"
