#include "TextLine.h"

TextLine &TextLine::Add(char Character) {
  if (Length_ < kCapacity) {
    Text_[Length_++] = Character;
    Text_[Length_] = '\0';
  }
  return *this;
}

TextLine &TextLine::Add(const char *Text) {
  while (*Text != '\0') Add(*Text++);
  return *this;
}

TextLine &TextLine::Dec(UINT64 Value) { return Dec(Value, 1); }

TextLine &TextLine::Dec(UINT64 Value, UINTN MinimumDigits) {
  char Digits[20];
  UINTN Count = 0;
  do {
    Digits[Count++] = static_cast<char>('0' + Value % 10);
    Value /= 10;
  } while (Value != 0);
  for (UINTN Pad = Count; Pad < MinimumDigits; ++Pad) Add('0');
  while (Count > 0) Add(Digits[--Count]);
  return *this;
}

TextLine &TextLine::HexDigits(UINT64 Value, UINTN Digits) {
  static const char kHex[] = "0123456789ABCDEF";
  for (UINTN Index = Digits; Index > 0; --Index) {
    Add(kHex[(Value >> ((Index - 1) * 4)) & 0xF]);
  }
  return *this;
}

TextLine &TextLine::Hex(UINT64 Value) {
  UINTN Digits = 1;
  while (Digits < 16 && (Value >> (Digits * 4)) != 0) ++Digits;
  Add("0x");
  return HexDigits(Value, Digits);
}

TextLine &TextLine::Pad(UINTN Column) {
  while (Length_ < Column && Length_ < kCapacity) Add(' ');
  return *this;
}
