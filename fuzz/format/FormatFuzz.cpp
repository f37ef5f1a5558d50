// Fuzzes FormatString with format text, argument slots and buffer sizes taken from the input.
//
// Input: 2 bytes buffer size (little-endian, below 2048), 8 slot selectors, three argument
// objects of 24 bytes each, then the format as 16-bit little-endian characters.
//
// Every slot holds a null pointer or the address of an argument object, so that it is valid
// whatever directive consumes it: each object is its own exact-size heap block, 16-byte
// aligned, long enough for an EFI_GUID or an EFI_TIME, and ends in a 16-bit NUL so that it is
// also a terminated 8-bit and 16-bit string. One more object is a long string, to run into the
// end of the buffer. The format, the slots (one per format character, more than any format
// can consume) and the output buffer are exact-size heap blocks too, so AddressSanitizer sees
// any access past them. Beyond memory safety the run checks what the caller relies on: the
// count fits the buffer, the NUL ends the text, and nothing after the NUL is touched.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform_dxe/logo/FormatString.h"

namespace {

constexpr size_t HeaderBytes = 2;
constexpr size_t SelectorCount = 8;
constexpr size_t ObjectCount = 3;
constexpr size_t ObjectContentBytes = 24;
constexpr size_t PreambleBytes = HeaderBytes + SelectorCount + ObjectCount * ObjectContentBytes;
constexpr size_t LongStringChars = 300;
constexpr UINT8 Untouched = 0xA5;

void Check(bool Condition) {
  if (!Condition) __builtin_trap();
}

struct Object {
  UINT8 *Bytes;
  size_t Size;
};

Object NewObject(size_t Size) {
  // operator new of a 16-byte multiple gives 16-byte alignment; the block is exactly Size.
  return Object{static_cast<UINT8 *>(::operator new(Size)), Size};
}

void CheckOutput(const std::vector<UINT8> &Before, const UINT8 *Buffer, size_t BufferSize,
                 UINTN Count) {
  if (BufferSize < 2) {
    Check(Count == 0);
    for (size_t i = 0; i < BufferSize; ++i) Check(Buffer[i] == Before[i]);
    return;
  }
  Check(Count >= 1 && Count <= BufferSize / 2);
  CHAR16 Last;
  std::memcpy(&Last, Buffer + (Count - 1) * 2, 2);
  Check(Last == 0);
  for (size_t i = Count * 2; i < BufferSize; ++i) Check(Buffer[i] == Untouched);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  if (Size < PreambleBytes) return 0;
  size_t BufferSize = (Data[0] | (size_t)Data[1] << 8) % 2048;
  const uint8_t *Selectors = Data + HeaderBytes;
  const uint8_t *ObjectContent = Selectors + SelectorCount;

  // Argument objects: fuzzed content, then a 16-bit NUL.
  Object Objects[ObjectCount + 1];
  for (size_t i = 0; i < ObjectCount; ++i) {
    Objects[i] = NewObject(ObjectContentBytes + 8);
    std::memset(Objects[i].Bytes, 0, Objects[i].Size);
    std::memcpy(Objects[i].Bytes, ObjectContent + i * ObjectContentBytes, ObjectContentBytes);
  }
  Objects[ObjectCount] = NewObject((LongStringChars + 1) * 2);
  for (size_t i = 0; i < LongStringChars; ++i) {
    Objects[ObjectCount].Bytes[2 * i] = (UINT8)('A' + i % 26);
    Objects[ObjectCount].Bytes[2 * i + 1] = (UINT8)(i % 3 == 0 ? 0x01 : 0x00);
  }
  Objects[ObjectCount].Bytes[2 * LongStringChars] = 0;
  Objects[ObjectCount].Bytes[2 * LongStringChars + 1] = 0;

  // The format: the rest of the input as 16-bit characters, then a NUL.
  size_t FormatChars = (Size - PreambleBytes) / 2;
  std::unique_ptr<CHAR16[]> Format(new CHAR16[FormatChars + 1]);
  std::memcpy(Format.get(), Data + PreambleBytes, FormatChars * 2);
  Format[FormatChars] = 0;

  // One slot per format character and one more: no format can consume more.
  size_t SlotCount = FormatChars + 1;
  std::unique_ptr<UINT64[]> Slots(new UINT64[SlotCount]);
  for (size_t i = 0; i < SlotCount; ++i) {
    UINT8 Pick = Selectors[i % SelectorCount] >> (i / SelectorCount % 2 * 4);
    size_t Which = Pick % (ObjectCount + 2);
    Slots[i] = Which == 0 ? 0 : (UINT64)(UINTN)Objects[Which - 1].Bytes;
  }

  std::unique_ptr<UINT8[]> Buffer(new UINT8[BufferSize]);
  std::memset(Buffer.get(), Untouched, BufferSize);
  std::vector<UINT8> Before(Buffer.get(), Buffer.get() + BufferSize);
  CHAR16 *Text = reinterpret_cast<CHAR16 *>(Buffer.get());

  UINTN Count = FormatString(Text, BufferSize, Format.get(), VaListFromSlots(Slots.get()));
  CheckOutput(Before, Buffer.get(), BufferSize, Count);

  // The named-value routines on their own, at the same size: a GUID and a status taken from
  // the first object.
  std::memset(Buffer.get(), Untouched, BufferSize);
  UINTN Length = FormatGuid(reinterpret_cast<const EFI_GUID *>(Objects[0].Bytes), Text, BufferSize);
  CheckOutput(Before, Buffer.get(), BufferSize, BufferSize < 2 ? 0 : Length + 1);
  UINT64 Status;
  std::memcpy(&Status, Objects[0].Bytes, sizeof(Status));
  std::memset(Buffer.get(), Untouched, BufferSize);
  Length = FormatStatus(Status, Text, BufferSize);
  CheckOutput(Before, Buffer.get(), BufferSize, BufferSize < 2 ? 0 : Length + 1);

  for (Object &Each : Objects) ::operator delete(Each.Bytes);
  return 0;
}
