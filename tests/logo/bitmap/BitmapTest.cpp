#include "tests/logo/bitmap/BitmapTest.h"

#include <cstring>
#include <memory>

#include "platform_dxe/ModuleState.h"

namespace bitmap_test {

namespace {

std::vector<uint32_t> PixelWords(const void *Buffer, UINTN Width, UINTN Height) {
  std::vector<uint32_t> Words(Width * Height);
  if (!Words.empty()) std::memcpy(Words.data(), Buffer, Words.size() * 4);
  return Words;
}

}  // namespace

void BitmapTest::SetUp() {
  sim::UefiTest::SetUp();
  // What the driver's entry point stores before any part of it runs.
  ResetPlatformDxeState();
  DxeModule.SystemTable = SystemTable();
  DxeModule.BootServices = BootServices();
  DxeModule.RuntimeServices = RuntimeServices();
}

Decoded BitmapTest::DecodeAllocating(const std::vector<uint8_t> &File) {
  return DecodeAllocating(File, File.size());
}

Decoded BitmapTest::DecodeAllocating(const std::vector<uint8_t> &File, size_t ImageSize) {
  // Exactly ImageSize bytes on the heap: one byte more read is a heap overflow.
  std::unique_ptr<uint8_t[]> Image(new uint8_t[ImageSize == 0 ? 1 : ImageSize]);
  if (ImageSize != 0) std::memcpy(Image.get(), File.data(), ImageSize);
  size_t LiveBefore = Env().Pool().LiveCount();

  Decoded Out;
  Out.Status =
      DecodeBitmap(Image.get(), ImageSize, &Out.Buffer, &Out.BufferSize, &Out.Height, &Out.Width);
  if (Out.Status != EFI_SUCCESS) {
    EXPECT_EQ(Env().Pool().LiveCount(), LiveBefore) << "a refused decode kept pool memory";
    return Out;
  }
  EXPECT_EQ(Env().Pool().LiveCount(), LiveBefore + 1);
  const sim::PoolAllocation *Block = Env().Pool().Find(Out.Buffer);
  if (Block == nullptr) {
    ADD_FAILURE() << "the decoded buffer is not pool memory";
    return Out;
  }
  EXPECT_EQ(Block->size, Out.Width * Out.Height * 4);
  EXPECT_EQ(Block->size, Out.BufferSize);
  EXPECT_EQ(Block->type, EfiBootServicesData);
  Out.Pixels = PixelWords(Out.Buffer, Out.Width, Out.Height);
  EXPECT_EQ(BootServices()->FreePool(Out.Buffer), EFI_SUCCESS);
  return Out;
}

Decoded BitmapTest::DecodeInto(const std::vector<uint8_t> &File, size_t BufferBytes) {
  std::unique_ptr<uint8_t[]> Image(new uint8_t[File.empty() ? 1 : File.size()]);
  if (!File.empty()) std::memcpy(Image.get(), File.data(), File.size());
  std::unique_ptr<uint8_t[]> Caller(new uint8_t[BufferBytes == 0 ? 1 : BufferBytes]);
  std::memset(Caller.get(), kCallerFill, BufferBytes);
  size_t LiveBefore = Env().Pool().LiveCount();

  Decoded Out;
  Out.Buffer = (EFI_GRAPHICS_OUTPUT_BLT_PIXEL *)Caller.get();
  Out.BufferSize = BufferBytes;
  Out.Status =
      DecodeBitmap(Image.get(), File.size(), &Out.Buffer, &Out.BufferSize, &Out.Height, &Out.Width);
  EXPECT_EQ(Env().Pool().LiveCount(), LiveBefore) << "decoding into a caller's buffer used pool";
  EXPECT_EQ((void *)Out.Buffer, (void *)Caller.get()) << "the caller's buffer pointer changed";
  if (Out.Status == EFI_SUCCESS && Out.Width * Out.Height * 4 <= BufferBytes)
    Out.Pixels = PixelWords(Caller.get(), Out.Width, Out.Height);
  Out.CallerBytes.assign(Caller.get(), Caller.get() + BufferBytes);
  return Out;
}

}  // namespace bitmap_test
