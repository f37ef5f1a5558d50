// The directive walker. Every character goes through one bounds check against the room left
// before the NUL, so output that does not fit is dropped and the walk stops as soon as the
// buffer is full: no later argument is read and no later format character is looked at.
#include "FormatString.h"

namespace {

constexpr UINTN MaxWidth = ~(UINTN)0;

struct Output {
  CHAR16 *Buffer;
  UINTN BufferSize;  // bytes, as the caller gave them
  UINTN Limit;       // text characters that fit before the NUL
  UINTN Index;

  bool HasRoom() const { return Index < Limit; }
  void Put(CHAR16 Character) {
    if (Index < Limit) Buffer[Index++] = Character;
  }
  CHAR16 *Cursor() const { return Buffer + Index; }
  UINTN BytesLeft() const { return BufferSize - 2 * Index; }
};

CHAR16 Widen(CHAR16 Character) { return Character; }
CHAR16 Widen(CHAR8 Character) { return (CHAR16)(UINT8)Character; }

// Characters of a NUL-terminated string, then blanks until the field holds Width characters.
// Reading stops when the buffer is full, so a long string is not walked to its end.
template <typename CharType>
void PutString(Output &Out, const CharType *Text, UINTN Width) {
  UINTN Written = 0;
  for (; *Text != 0 && Out.HasRoom(); ++Text, ++Written) {
    Out.Buffer[Out.Index++] = Widen(*Text);
  }
  for (; Written < Width && Out.HasRoom(); ++Written) Out.Buffer[Out.Index++] = u' ';
}

// Number text goes straight into the buffer when the whole of the number routine's output
// (at most FORMAT_NUMBER_BUFFER_CHARS characters with its NUL) fits before the last
// character; near the end it is made aside and cut.
template <typename ValueType>
void PutNumber(Output &Out, UINTN (*Routine)(CHAR16 *, ValueType, UINTN, UINTN), ValueType Value,
               UINTN Flags, UINTN Width) {
  if (Out.Limit - Out.Index >= FORMAT_NUMBER_BUFFER_CHARS - 1) {
    Out.Index += Routine(Out.Cursor(), Value, Flags, Width);
    return;
  }
  CHAR16 Number[FORMAT_NUMBER_BUFFER_CHARS];
  UINTN Length = Routine(Number, Value, Flags, Width);
  for (UINTN i = 0; i < Length && Out.HasRoom(); ++i) Out.Buffer[Out.Index++] = Number[i];
}

bool IsDigit(CHAR16 Character) { return Character >= u'0' && Character <= u'9'; }

// Writes one directive whose type character is Type; flags and width are already read.
void PutDirective(Output &Out, CHAR16 Type, UINTN Flags, UINTN Width, VA_LIST &Arguments) {
  switch (Type) {
    case u'd': {
      UINT64 Slot = VaNextSlot(&Arguments);
      INT64 Value = (Flags & FLAG_LONG) != 0 ? (INT64)Slot : (INT64)(INT32)(UINT32)Slot;
      PutNumber(Out, FormatDecimalValue, Value, Flags, Width);
      return;
    }
    case u'X':
      Flags |= FLAG_ZERO_PAD;
      Width = 16;
      [[fallthrough]];
    case u'x': {
      UINT64 Slot = VaNextSlot(&Arguments);
      UINT64 Value = (Flags & FLAG_LONG) != 0 ? Slot : (UINT32)Slot;
      PutNumber(Out, FormatHexValue, Value, Flags, Width);
      return;
    }
    case u's':
    case u'S': {
      const CHAR16 *Text = (const CHAR16 *)(UINTN)VaNextSlot(&Arguments);
      PutString(Out, Text != nullptr ? Text : u"<null string>", Width);
      return;
    }
    case u'a': {
      const CHAR8 *Text = (const CHAR8 *)(UINTN)VaNextSlot(&Arguments);
      PutString(Out, Text != nullptr ? Text : "<null string>", Width);
      return;
    }
    case u'c':
      Out.Put((CHAR16)VaNextSlot(&Arguments));
      return;
    case u'g': {
      const EFI_GUID *Guid = (const EFI_GUID *)(UINTN)VaNextSlot(&Arguments);
      if (Guid != nullptr) Out.Index += FormatGuid(Guid, Out.Cursor(), Out.BytesLeft());
      return;
    }
    case u'r':
      Out.Index += FormatStatus(VaNextSlot(&Arguments), Out.Cursor(), Out.BytesLeft());
      return;
    case u't': {
      const EFI_TIME *Time = (const EFI_TIME *)(UINTN)VaNextSlot(&Arguments);
      if (Time == nullptr) return;
      UINTN Count = FormatStringVarArgs(Out.Cursor(), Out.BytesLeft(), u"%02d/%02d/%04d  %02d:%02d",
                                        (UINTN)Time->Month, (UINTN)Time->Day, (UINTN)Time->Year,
                                        (UINTN)Time->Hour, (UINTN)Time->Minute);
      if (Count != 0) Out.Index += Count - 1;
      return;
    }
    default:
      // '%' and every character that is not a directive stand for themselves.
      Out.Put(Type);
      return;
  }
}

}  // namespace

UINTN FormatString(CHAR16 *Buffer, UINTN BufferSize, const CHAR16 *Format, VA_LIST Arguments) {
  if (Buffer == nullptr || BufferSize < 2) return 0;
  Output Out{Buffer, BufferSize, BufferSize / 2 - 1, 0};
  const CHAR16 *Next = Format != nullptr ? Format : u"";

  for (;;) {
    // Ordinary characters are most of any format: copy a run of them in a tight loop that
    // stops at the next '%', line feed or NUL, or when the buffer is full.
    UINTN Index = Out.Index;
    CHAR16 Character = 0;
    while (Index < Out.Limit) {
      Character = *Next;
      if (Character <= u'%' && (Character == 0 || Character == u'%' || Character == u'\n')) break;
      Out.Buffer[Index++] = Character;
      ++Next;
    }
    Out.Index = Index;
    if (!Out.HasRoom() || Character == 0) break;
    ++Next;
    if (Character == u'\n') {
      // A line feed becomes carriage return plus line feed when both fit.
      if (Out.Index + 1 < Out.Limit) Out.Buffer[Out.Index++] = u'\r';
      Out.Buffer[Out.Index++] = u'\n';
      continue;
    }

    UINTN Flags = 0;
    UINTN Width = 0;
    CHAR16 Type = 0;
    for (bool Reading = true; Reading;) {
      Type = *Next;
      if (Type == 0) break;  // the format ended inside the directive: it is dropped
      ++Next;
      switch (Type) {
        case u'-': Flags |= FLAG_LEFT_ALIGN; break;
        case u'+': Flags |= FLAG_PLUS; break;
        case u' ': Flags |= FLAG_SPACE; break;
        case u',': Flags |= FLAG_GROUP_THOUSANDS; break;
        case u'l':
        case u'L': Flags |= FLAG_LONG; break;
        case u'*': Width = (UINTN)VaNextSlot(&Arguments); break;
        default:
          if (!IsDigit(Type)) {
            Reading = false;
            break;
          }
          // A run of digits; one that starts with '0' also asks for zero fill. Beyond any
          // buffer a width means nothing, so an absurd run saturates instead of wrapping.
          if (Type == u'0') Flags |= FLAG_ZERO_PAD;
          Width = Type - u'0';
          for (; IsDigit(*Next); ++Next) {
            UINTN Digit = *Next - u'0';
            Width = Width > (MaxWidth - Digit) / 10 ? MaxWidth : Width * 10 + Digit;
          }
          break;
      }
    }
    if (Type == 0) break;
    PutDirective(Out, Type, Flags, Width, Arguments);
  }

  Out.Buffer[Out.Index] = 0;
  return Out.Index + 1;
}

UINTN EFIAPI FormatStringVarArgs(CHAR16 *Buffer, UINTN BufferSize, const CHAR16 *Format, ...) {
  VA_LIST Arguments;
  VA_START(Arguments, Format);
  UINTN Count = FormatString(Buffer, BufferSize, Format, Arguments);
  VA_END(Arguments);
  return Count;
}
