// Number text for the formatter. Digits are produced from the least significant end into a
// small array on the stack, right to left, so fill and cutting are plain index moves.
#include "FormatString.h"

namespace {

// Room for the widest field (29) with slack; the longest natural text, a negative 64-bit
// value with grouping, is 20 digits, 6 commas and a sign.
constexpr UINTN TextChars = 32;

const CHAR16 HexDigits[16] = {u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7',
                              u'8', u'9', u'A', u'B', u'C', u'D', u'E', u'F'};

// Fills on the left up to Width (unless left-aligned), keeps the last Width characters of a
// longer text, and copies the result with its NUL. Text occupies Scratch[Start, TextChars).
UINTN FinishField(CHAR16 *Buffer, CHAR16 *Scratch, UINTN Start, UINTN Flags, UINTN Width,
                  CHAR16 Fill) {
  if ((Flags & FLAG_LEFT_ALIGN) == 0) {
    while (TextChars - Start < Width) Scratch[--Start] = Fill;
  }
  UINTN Length = TextChars - Start;
  if (Width != 0 && Length > Width) {
    Start += Length - Width;
    Length = Width;
  }
  for (UINTN i = 0; i < Length; ++i) Buffer[i] = Scratch[Start + i];
  Buffer[Length] = 0;
  return Length;
}

}  // namespace

UINT64 ShiftRight64(UINT64 Value, UINTN Count) { return Value >> (Count & 63); }

// A zero divisor answers all ones with the dividend as remainder instead of faulting.
UINT64 DivideWithRemainder(UINT64 Dividend, UINT64 Divisor, UINT64 *Remainder) {
  if (Divisor == 0) {
    if (Remainder != nullptr) *Remainder = Dividend;
    return ~(UINT64)0;
  }
  UINT64 Quotient = Dividend / Divisor;
  if (Remainder != nullptr) *Remainder = Dividend - Quotient * Divisor;
  return Quotient;
}

UINTN FormatHexValue(CHAR16 *Buffer, UINT64 Value, UINTN Flags, UINTN Width) {
  if (Width > FORMAT_NUMBER_MAX_WIDTH) Width = FORMAT_NUMBER_MAX_WIDTH;
  CHAR16 Scratch[TextChars];
  UINTN Start = TextChars;
  do {
    Scratch[--Start] = HexDigits[Value & 0xF];
    Value = ShiftRight64(Value, 4);
  } while (Value != 0);
  CHAR16 Fill = (Flags & FLAG_ZERO_PAD) != 0 ? u'0' : u' ';
  return FinishField(Buffer, Scratch, Start, Flags, Width, Fill);
}

UINTN FormatDecimalValue(CHAR16 *Buffer, INT64 Value, UINTN Flags, UINTN Width) {
  if (Width > FORMAT_NUMBER_MAX_WIDTH) Width = FORMAT_NUMBER_MAX_WIDTH;
  bool Negative = Value < 0;
  // Two's complement negation on the unsigned value: the most negative value keeps its
  // magnitude 2^63.
  UINT64 Magnitude = Negative ? (UINT64)0 - (UINT64)Value : (UINT64)Value;
  bool Group = (Flags & FLAG_GROUP_THOUSANDS) != 0;
  CHAR16 Scratch[TextChars];
  UINTN Start = TextChars;
  UINTN Digits = 0;
  do {
    UINT64 Digit;
    Magnitude = DivideWithRemainder(Magnitude, 10, &Digit);
    Scratch[--Start] = (CHAR16)(u'0' + Digit);
    ++Digits;
    if (Group && Digits % 3 == 0 && Magnitude != 0) Scratch[--Start] = u',';
  } while (Magnitude != 0);
  if (Negative) Scratch[--Start] = u'-';
  CHAR16 Fill = (Flags & FLAG_ZERO_PAD) != 0 && !Negative ? u'0' : u' ';
  return FinishField(Buffer, Scratch, Start, Flags, Width, Fill);
}
