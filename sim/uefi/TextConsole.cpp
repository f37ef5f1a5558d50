#include "sim/uefi/TextConsole.h"

namespace sim {

TextConsole::TextConsole() {
  binding_.protocol.Reset = &TextConsole::Reset;
  binding_.protocol.OutputString = &TextConsole::OutputString;
  binding_.protocol.TestString = &TextConsole::TestString;
  binding_.protocol.QueryMode = &TextConsole::QueryMode;
  binding_.protocol.SetMode = &TextConsole::SetMode;
  binding_.protocol.SetAttribute = &TextConsole::SetAttribute;
  binding_.protocol.ClearScreen = &TextConsole::ClearScreen;
  binding_.protocol.SetCursorPosition = &TextConsole::SetCursorPosition;
  binding_.protocol.EnableCursor = &TextConsole::EnableCursor;
  binding_.protocol.Mode = &mode_;
  binding_.owner = this;
  mode_ = EFI_SIMPLE_TEXT_OUTPUT_MODE{};
  mode_.MaxMode = 1;
  mode_.Mode = 0;
  mode_.Attribute = kDefaultAttribute;
  mode_.CursorVisible = TRUE;
}

TextConsole &TextConsole::From(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self) {
  return *reinterpret_cast<Binding *>(self)->owner;
}

std::string TextConsole::TranscriptAscii() const {
  std::string text;
  for (char16_t c : transcript_) text += c < 0x80 ? static_cast<char>(c) : '?';
  return text;
}

void TextConsole::Clear() {
  mode_.CursorColumn = 0;
  mode_.CursorRow = 0;
  ++clearScreenCount_;
}

void TextConsole::Advance(char16_t c) {
  switch (c) {
    case u'\r':
      mode_.CursorColumn = 0;
      return;
    case u'\n':
      // The screen scrolls once the cursor is on the last row.
      if (mode_.CursorRow < kRows - 1) ++mode_.CursorRow;
      return;
    case u'\b':
      if (mode_.CursorColumn > 0) --mode_.CursorColumn;
      return;
    default:
      if (++mode_.CursorColumn == kColumns) {
        mode_.CursorColumn = 0;
        if (mode_.CursorRow < kRows - 1) ++mode_.CursorRow;
      }
  }
}

EFI_STATUS EFIAPI TextConsole::Reset(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, BOOLEAN) {
  TextConsole &console = From(self);
  console.mode_.Attribute = kDefaultAttribute;
  console.mode_.Mode = 0;
  console.Clear();
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::OutputString(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self,
                                            const CHAR16 *text) {
  if (text == nullptr) return EFI_INVALID_PARAMETER;
  TextConsole &console = From(self);
  for (const CHAR16 *c = text; *c != 0; ++c) {
    console.transcript_ += *c;
    console.Advance(*c);
  }
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::TestString(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *,
                                          const CHAR16 *text) {
  return text == nullptr ? EFI_INVALID_PARAMETER : EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::QueryMode(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, UINTN modeNumber,
                                         UINTN *columns, UINTN *rows) {
  if (modeNumber >= static_cast<UINTN>(From(self).mode_.MaxMode)) return EFI_UNSUPPORTED;
  if (columns == nullptr || rows == nullptr) return EFI_INVALID_PARAMETER;
  *columns = kColumns;
  *rows = kRows;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::SetMode(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, UINTN modeNumber) {
  TextConsole &console = From(self);
  if (modeNumber >= static_cast<UINTN>(console.mode_.MaxMode)) return EFI_UNSUPPORTED;
  console.mode_.Mode = static_cast<INT32>(modeNumber);
  console.Clear();
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::SetAttribute(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self,
                                            UINTN attribute) {
  // Foreground in bits 0..3, background in bits 4..6; nothing else is defined.
  if (attribute > 0x7F) return EFI_UNSUPPORTED;
  From(self).mode_.Attribute = static_cast<INT32>(attribute);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::ClearScreen(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self) {
  From(self).Clear();
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::SetCursorPosition(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self,
                                                 UINTN column, UINTN row) {
  if (column >= static_cast<UINTN>(kColumns) || row >= static_cast<UINTN>(kRows)) {
    return EFI_UNSUPPORTED;
  }
  TextConsole &console = From(self);
  console.mode_.CursorColumn = static_cast<INT32>(column);
  console.mode_.CursorRow = static_cast<INT32>(row);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI TextConsole::EnableCursor(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self,
                                            BOOLEAN visible) {
  From(self).mode_.CursorVisible = visible ? TRUE : FALSE;
  return EFI_SUCCESS;
}

}  // namespace sim
