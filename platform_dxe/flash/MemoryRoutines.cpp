#include "MemoryRoutines.h"

#include "../ModuleState.h"

namespace {

constexpr UINTN kConvertPointerDisposition = 4;

UINT32 Load32(const UINT8 *From) {
  UINT32 Value;
  __builtin_memcpy(&Value, From, sizeof Value);
  return Value;
}

void Store32(UINT8 *To, UINT32 Value) { __builtin_memcpy(To, &Value, sizeof Value); }

UINT64 Load64(const UINT8 *From) {
  UINT64 Value;
  __builtin_memcpy(&Value, From, sizeof Value);
  return Value;
}

}  // namespace

void CopyBytes(VOID *Destination, const VOID *Source, UINT64 Length) {
  auto *To = (UINT8 *)Destination;
  auto *From = (const UINT8 *)Source;
  if (To == From || Length == 0) return;

  // Forwards is safe unless the destination starts inside the source run, above its start.
  if (From >= To || (UINTN)From + Length - 1 < (UINTN)To) {
    UINT64 Units = Length / 4;
    for (UINT64 i = 0; i < Units; ++i) Store32(To + 4 * i, Load32(From + 4 * i));
    volatile UINT8 *ToTail = To + 4 * Units;
    const volatile UINT8 *FromTail = From + 4 * Units;
    for (UINT64 i = 0; i < Length % 4; ++i) ToTail[i] = FromTail[i];
    return;
  }
  volatile UINT8 *ToBytes = To;
  const volatile UINT8 *FromBytes = From;
  for (UINT64 i = Length; i > 0; --i) ToBytes[i - 1] = FromBytes[i - 1];
}

void SetBytes(VOID *Address, UINT64 Count, UINT8 Value) {
  if (Value == 0) {
    ZeroBytes(Address, Count);
    return;
  }
  volatile UINT8 *To = (volatile UINT8 *)Address;
  for (UINT64 i = 0; i < Count; ++i) To[i] = Value;
}

void ZeroBytes(VOID *Address, UINT64 Count) {
  volatile UINT8 *To = (volatile UINT8 *)Address;
  for (UINT64 i = 0; i < Count; ++i) To[i] = 0;
}

INT64 CompareBytes(const VOID *First, const VOID *Second, UINT64 Length) {
  auto *A = (const UINT8 *)First;
  auto *B = (const UINT8 *)Second;
  UINT64 k = 0;
  if ((UINTN)A % 8 == 0 && (UINTN)B % 8 == 0 && Length % 8 == 0) {
    while (k < Length && Load64(A + k) == Load64(B + k)) k += 8;
  }
  for (; k < Length; ++k) {
    if (A[k] != B[k]) return (INT64)(INT8)A[k] - (INT64)(INT8)B[k];
  }
  return 0;
}

UINTN PollDelay(UINTN) { return 0; }

void ConvertRuntimePointer(VOID **Address) {
  EFI_RUNTIME_SERVICES *Runtime = DxeModule.RuntimeServices;
  if (Runtime == nullptr || Runtime->ConvertPointer == nullptr) return;
  Runtime->ConvertPointer(kConvertPointerDisposition, Address);
}
