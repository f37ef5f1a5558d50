#include "Console.h"

namespace console {

void Clear(EFI_SYSTEM_TABLE *SystemTable) {
  if (SystemTable->ConOut == nullptr) return;
  SystemTable->ConOut->ClearScreen(SystemTable->ConOut);
}

void WriteLine(EFI_SYSTEM_TABLE *SystemTable, const TextLine &Line) {
  if (SystemTable->ConOut == nullptr) return;
  // The console takes UCS-2; our text is plain ASCII, so widening each byte is enough.
  CHAR16 Wide[256];
  UINTN Length = 0;
  for (const char *Text = Line.Text(); *Text != '\0' && Length < 253; ++Text) {
    Wide[Length++] = static_cast<CHAR16>(static_cast<UINT8>(*Text));
  }
  Wide[Length++] = u'\r';
  Wide[Length++] = u'\n';
  Wide[Length] = u'\0';
  SystemTable->ConOut->OutputString(SystemTable->ConOut, Wide);
}

}  // namespace console
