// GUID text in the registry form, upper-case digits.
#include "FormatString.h"

UINTN FormatGuid(const EFI_GUID *Guid, CHAR16 *Buffer, UINTN BufferSize) {
  if (Guid == nullptr) {
    // No GUID, no text: just the terminator when there is room for it.
    if (Buffer != nullptr && BufferSize >= 2) Buffer[0] = 0;
    return 0;
  }
  const UINT8 *Tail = Guid->Data4;
  UINTN Count = FormatStringVarArgs(
      Buffer, BufferSize, u"%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", (UINTN)Guid->Data1,
      (UINTN)Guid->Data2, (UINTN)Guid->Data3, (UINTN)Tail[0], (UINTN)Tail[1], (UINTN)Tail[2],
      (UINTN)Tail[3], (UINTN)Tail[4], (UINTN)Tail[5], (UINTN)Tail[6], (UINTN)Tail[7]);
  return Count != 0 ? Count - 1 : 0;
}
