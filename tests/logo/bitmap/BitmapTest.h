// Fixture for the bitmap decoder: a fresh simulated UEFI environment whose boot services the
// module uses, and helpers that run DecodeBitmap on exact-size heap copies of a file and of a
// caller's buffer, so that AddressSanitizer sees any access outside them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform_dxe/logo/BitmapDecoder.h"
#include "tests/logo/bitmap/BmpBuilder.h"
#include "tests/support/UefiTest.h"

namespace bitmap_test {

// Values the outputs hold before the call, so that an output left alone is visible.
constexpr UINTN kUntouchedSize = 0xDEAD0001;
constexpr UINTN kUntouchedHeight = 0xDEAD0002;
constexpr UINTN kUntouchedWidth = 0xDEAD0003;
// Fill of caller buffers: a reserved byte that is kept reads 0xC3.
constexpr uint8_t kCallerFill = 0xC3;
// The decoder's own buffer comes from pool with stale bytes (0xAF in the simulation); its
// reserved bytes come out 0 all the same.
constexpr uint8_t kOwnBufferReserved = 0;

struct Decoded {
  EFI_STATUS Status = 0;
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer = nullptr;
  UINTN BufferSize = kUntouchedSize;
  UINTN Height = kUntouchedHeight;
  UINTN Width = kUntouchedWidth;
  // The first Width x Height pixels as 0xAARRGGBB words (AA the reserved byte), on success.
  std::vector<uint32_t> Pixels;
  // With a caller's buffer: all of its bytes after the call.
  std::vector<uint8_t> CallerBytes;
};

// A pixel as the decoder output reads it: 0xRRGGBB plus the reserved byte on top.
constexpr uint32_t Px(Colour C, uint8_t Reserved) {
  return (C & 0xFFFFFFu) | ((uint32_t)Reserved << 24);
}

class BitmapTest : public sim::UefiTest {
 protected:
  void SetUp() override;

  // Decoder allocates. On success the pixels are copied out and the buffer is checked to be the
  // one live pool block of the right size, then freed as its new owner would.
  Decoded DecodeAllocating(const std::vector<uint8_t> &File);
  Decoded DecodeAllocating(const std::vector<uint8_t> &File, size_t ImageSize);
  // Caller's buffer of BufferBytes bytes, filled with kCallerFill.
  Decoded DecodeInto(const std::vector<uint8_t> &File, size_t BufferBytes);
};

}  // namespace bitmap_test
