// A fixed-size line of ASCII text built piece by piece: the images have no printf.
// Text that does not fit is cut; a result line is never worth a buffer overrun.
#pragma once

#include "uefi/UefiBase.h"

class TextLine {
 public:
  TextLine() { Text_[0] = '\0'; }

  TextLine &Add(const char *Text);
  TextLine &Add(char Character);
  TextLine &Dec(UINT64 Value);
  TextLine &Dec(UINT64 Value, UINTN MinimumDigits);  // zero-padded on the left
  TextLine &Hex(UINT64 Value);                       // 0x prefix, no leading zeros
  TextLine &HexDigits(UINT64 Value, UINTN Digits);   // exactly Digits digits, no prefix
  TextLine &Pad(UINTN Column);                       // spaces up to Column

  const char *Text() const { return Text_; }
  UINTN Length() const { return Length_; }

 private:
  static const UINTN kCapacity = 240;
  char Text_[kCapacity + 1];
  UINTN Length_ = 0;
};
