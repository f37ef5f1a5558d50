// Runs the formatter the way a hostile caller would see it: the output buffer is exactly
// BufferSize bytes inside a guard-filled block, the format is an exact-size heap copy and the
// argument slots an exact-size heap array, so a write past the buffer shows in the guard and
// a read past the format's NUL or the last slot shows under AddressSanitizer.
#pragma once

#include <string>
#include <vector>

#include "platform_dxe/logo/FormatString.h"

namespace format_test {

struct FormatRun {
  UINTN Returned = 0;
  std::u16string Text;       // characters before the NUL, when a NUL was written
  bool NulWritten = false;   // the character at Returned - 1 is the terminator
  bool OnlyTextWritten = false;  // every byte from character Returned on is untouched
};

FormatRun RunFormat(UINTN BufferSize, const std::u16string &Format,
                    const std::vector<UINT64> &Slots);

// A pointer as the content of an argument slot.
inline UINT64 Slot(const void *Pointer) { return (UINT64)(UINTN)Pointer; }

// Readable form of a 16-bit text for assertion messages: ASCII as is, the rest escaped.
std::string Show(const std::u16string &Text);

}  // namespace format_test
