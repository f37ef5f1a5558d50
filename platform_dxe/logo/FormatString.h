// Formatted output into a caller's buffer of 16-bit characters. Nothing is allocated, nothing
// fails, and nothing is written past BufferSize bytes; the text always ends in a NUL when the
// buffer has room for one (BufferSize of at least 2).
//
// Directives: '%', then flags, width and size in any order, then the type:
//   flags  '-' no fill for numbers   '+' ' ' accepted   ',' group decimal thousands
//          '0' (leading a width) zero fill   'l' 'L' 64-bit number
//   width  decimal digits or '*' (taken from the next argument); numbers cap it at 29
//   types  d x X s S a c g r t %  (any other character is written as it stands)
#pragma once

#include "../../uefi/UefiBase.h"
#include "../../uefi/UefiSystemTable.h"
#include "../../uefi/VarArgs.h"

#define FLAG_LEFT_ALIGN 0x01
#define FLAG_PLUS 0x02
#define FLAG_SPACE 0x04
#define FLAG_GROUP_THOUSANDS 0x08
#define FLAG_LONG 0x10
#define FLAG_ZERO_PAD 0x20

// Number widths are capped here; the number routines need a buffer of this many characters
// plus the NUL.
#define FORMAT_NUMBER_MAX_WIDTH 29
#define FORMAT_NUMBER_BUFFER_CHARS 30

// Writes at most BufferSize / 2 - 1 characters and the NUL. Returns the characters written
// including the NUL; 0 when nothing could be written (BufferSize below 2 or no buffer).
UINTN FormatString(CHAR16 *Buffer, UINTN BufferSize, const CHAR16 *Format, VA_LIST Arguments);
// The same, with the arguments after the format.
UINTN EFIAPI FormatStringVarArgs(CHAR16 *Buffer, UINTN BufferSize, const CHAR16 *Format, ...);

// XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX, cut to the buffer. Returns the text length.
UINTN FormatGuid(const EFI_GUID *Guid, CHAR16 *Buffer, UINTN BufferSize);
// The status's name, or for a value without a name its low 32 bits as 16 hexadecimal digits,
// cut to the buffer. Returns the text length.
UINTN FormatStatus(UINT64 Status, CHAR16 *Buffer, UINTN BufferSize);

// Upper-case hexadecimal and decimal text of a number into FORMAT_NUMBER_BUFFER_CHARS
// characters, NUL-terminated. A nonzero Width is the exact field: filled on the left up to
// it unless FLAG_LEFT_ALIGN, and cut to its last Width characters when the text is longer.
// Return the text length.
UINTN FormatHexValue(CHAR16 *Buffer, UINT64 Value, UINTN Flags, UINTN Width);
UINTN FormatDecimalValue(CHAR16 *Buffer, INT64 Value, UINTN Flags, UINTN Width);

// Logical shift right by Count modulo 64.
UINT64 ShiftRight64(UINT64 Value, UINTN Count);
// Unsigned quotient; the remainder goes to *Remainder when Remainder is not null.
UINT64 DivideWithRemainder(UINT64 Dividend, UINT64 Divisor, UINT64 *Remainder);
