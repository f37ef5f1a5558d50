// A text console behind EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL: everything written is kept as a
// transcript, and the mode record tracks attribute and cursor like an 80x25 screen.
#pragma once

#include <string>

#include "uefi/SimpleTextOutput.h"

namespace sim {

class TextConsole {
 public:
  static constexpr INT32 kColumns = 80;
  static constexpr INT32 kRows = 25;
  static constexpr INT32 kDefaultAttribute = 0x07;  // light grey on black

  TextConsole();
  TextConsole(const TextConsole &) = delete;
  TextConsole &operator=(const TextConsole &) = delete;

  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *Protocol() { return &binding_.protocol; }
  const EFI_SIMPLE_TEXT_OUTPUT_MODE &Mode() const { return mode_; }

  // Everything passed to OutputString since creation (or the last ClearTranscript).
  const std::u16string &Transcript() const { return transcript_; }
  // The transcript narrowed to ASCII ('?' for anything else), for readable assertions.
  std::string TranscriptAscii() const;
  void ClearTranscript() { transcript_.clear(); }
  unsigned ClearScreenCount() const { return clearScreenCount_; }

 private:
  // The protocol is the first member so a This pointer leads back to its console.
  struct Binding {
    EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL protocol;
    TextConsole *owner;
  };
  static TextConsole &From(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self);

  static EFI_STATUS EFIAPI Reset(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, BOOLEAN extended);
  static EFI_STATUS EFIAPI OutputString(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self,
                                        const CHAR16 *text);
  static EFI_STATUS EFIAPI TestString(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, const CHAR16 *text);
  static EFI_STATUS EFIAPI QueryMode(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, UINTN modeNumber,
                                     UINTN *columns, UINTN *rows);
  static EFI_STATUS EFIAPI SetMode(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, UINTN modeNumber);
  static EFI_STATUS EFIAPI SetAttribute(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, UINTN attribute);
  static EFI_STATUS EFIAPI ClearScreen(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self);
  static EFI_STATUS EFIAPI SetCursorPosition(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, UINTN column,
                                             UINTN row);
  static EFI_STATUS EFIAPI EnableCursor(EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *self, BOOLEAN visible);

  void Clear();
  void Advance(char16_t c);

  Binding binding_;
  EFI_SIMPLE_TEXT_OUTPUT_MODE mode_;
  std::u16string transcript_;
  unsigned clearScreenCount_ = 0;
};

}  // namespace sim
