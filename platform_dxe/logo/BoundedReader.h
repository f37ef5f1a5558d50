// Reading a file held in memory without ever touching a byte outside it. Image files come
// from the board or the firmware volumes and are treated as hostile: every offset and length
// taken from a header goes through these checks before anything is dereferenced.
#pragma once

#include "../../uefi/UefiBase.h"

// Random access to the bytes [0, Size) of a file. Offsets and lengths are 64-bit so that the
// sums of header fields cannot wrap before they are compared.
class BoundedReader {
 public:
  BoundedReader(const UINT8 *Base, UINTN Size) : Base_(Base), Size_(Size) {}

  UINTN Size() const { return Size_; }

  // True when [Offset, Offset + Length) lies inside the file.
  bool Contains(UINT64 Offset, UINT64 Length) const {
    return Offset <= Size_ && Length <= Size_ - Offset;
  }

  // The bytes [Offset, Offset + Length), or null when any of them is outside the file.
  const UINT8 *Bytes(UINT64 Offset, UINT64 Length) const {
    return Contains(Offset, Length) ? Base_ + Offset : nullptr;
  }

  bool ReadU8(UINT64 Offset, UINT8 &Value) const {
    const UINT8 *At = Bytes(Offset, 1);
    if (At == nullptr) return false;
    Value = At[0];
    return true;
  }

  bool ReadU16(UINT64 Offset, UINT16 &Value) const {
    const UINT8 *At = Bytes(Offset, 2);
    if (At == nullptr) return false;
    Value = (UINT16)(At[0] | (At[1] << 8));
    return true;
  }

  bool ReadU32(UINT64 Offset, UINT32 &Value) const {
    const UINT8 *At = Bytes(Offset, 4);
    if (At == nullptr) return false;
    Value = (UINT32)At[0] | ((UINT32)At[1] << 8) | ((UINT32)At[2] << 16) | ((UINT32)At[3] << 24);
    return true;
  }

 private:
  const UINT8 *Base_;
  UINTN Size_;
};

// Sequential reading of a byte stream that ends at the end of the file.
class ByteCursor {
 public:
  ByteCursor(const BoundedReader &File, UINT64 Start) : File_(File), Position_(Start) {}

  // The next Length bytes, consumed; null (and nothing consumed) when they run past the end.
  const UINT8 *Take(UINT64 Length) {
    const UINT8 *At = File_.Bytes(Position_, Length);
    if (At != nullptr) Position_ += Length;
    return At;
  }

 private:
  const BoundedReader &File_;
  UINT64 Position_;
};
