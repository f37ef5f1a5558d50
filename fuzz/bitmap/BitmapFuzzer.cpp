// libFuzzer target for DecodeBitmap. An input is two bytes choosing the size of a caller's
// buffer, then the bitmap file. Each input is decoded twice: once into a buffer the decoder
// allocates, once into a caller's buffer of the chosen size. The file, the caller's buffer and
// every pool block are exact-size heap blocks, so AddressSanitizer catches any access outside
// them; the checks below catch a wrong status, a leak, a bad free or a size that does not add
// up. The boot services are a small pool of their own that tracks its blocks: building the
// whole simulated environment for each input would cost more than the decoding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform_dxe/ModuleState.h"
#include "platform_dxe/logo/BitmapDecoder.h"

namespace {

// Pictures whose buffer would exceed this are decoded only into a caller's buffer (at most
// 64 KiB): a valid run-length file of a few bytes may describe 4 GiB of pixels, and large
// buffers would only slow the search down.
constexpr uint64_t kLargestOwnBuffer = 64ull << 10;
constexpr uint8_t kCallerFill = 0xC3;
uint8_t CallerFillPattern[0x10000];

[[noreturn]] void Fail(const char *What) {
  std::fprintf(stderr, "bitmap fuzzer: %s\n", What);
  std::abort();
}

// The pool: live blocks and their sizes. The decoder holds at most one block at a time.
struct PoolBlock {
  void *Address;
  size_t Size;
};
PoolBlock Live[4];
size_t LiveCount = 0;

EFI_STATUS EFIAPI PoolAllocate(EFI_MEMORY_TYPE Type, UINTN Size, VOID **Buffer) {
  if (Type != EfiBootServicesData) Fail("pool of an unexpected memory type");
  if (LiveCount == sizeof(Live) / sizeof(Live[0])) Fail("more pool blocks than the decoder needs");
  *Buffer = std::malloc(Size == 0 ? 1 : Size);
  if (*Buffer == nullptr) return EFI_OUT_OF_RESOURCES;
  Live[LiveCount++] = PoolBlock{*Buffer, Size};
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI PoolFree(VOID *Buffer) {
  for (size_t i = 0; i < LiveCount; ++i) {
    if (Live[i].Address == Buffer) {
      std::free(Buffer);
      Live[i] = Live[--LiveCount];
      return EFI_SUCCESS;
    }
  }
  Fail("FreePool of a pointer that is not a live pool block");
}

VOID EFIAPI FillMemory(VOID *Buffer, UINTN Size, UINT8 Value) { std::memset(Buffer, Value, Size); }

const PoolBlock *FindBlock(const void *Address) {
  for (size_t i = 0; i < LiveCount; ++i)
    if (Live[i].Address == Address) return &Live[i];
  return nullptr;
}

EFI_BOOT_SERVICES FuzzBootServices;

uint64_t ClaimedBufferSize(const uint8_t *File, size_t Size) {
  if (Size < 26) return 0;
  uint32_t Width, Height;
  std::memcpy(&Width, File + 18, 4);
  std::memcpy(&Height, File + 22, 4);
  return (uint64_t)Width * Height * 4;
}

void DecodeAllocating(const uint8_t *File, size_t Size) {
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels = nullptr;
  UINTN BufferSize = 0, Height = 0, Width = 0;
  EFI_STATUS Status = DecodeBitmap(File, Size, &Pixels, &BufferSize, &Height, &Width);
  if (Status == EFI_SUCCESS) {
    const PoolBlock *Block = FindBlock(Pixels);
    if (Block == nullptr || Block->Size != Width * Height * 4 || BufferSize != Block->Size)
      Fail("decoded buffer is not a pool block of Width x Height x 4 bytes");
    PoolFree(Pixels);
  } else if (Status != EFI_UNSUPPORTED && Status != EFI_OUT_OF_RESOURCES) {
    Fail("unexpected status with the decoder's own buffer");
  } else if (Pixels != nullptr) {
    Fail("a refusal handed back a buffer");
  }
  if (LiveCount != 0) Fail("pool memory left behind");
}

void DecodeIntoCallersBuffer(const uint8_t *File, size_t Size, size_t CallerSize) {
  std::unique_ptr<uint8_t[]> Caller(new uint8_t[CallerSize == 0 ? 1 : CallerSize]);
  std::memset(Caller.get(), kCallerFill, CallerSize);
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels = (EFI_GRAPHICS_OUTPUT_BLT_PIXEL *)Caller.get();
  UINTN BufferSize = CallerSize, Height = 0, Width = 0;
  EFI_STATUS Status = DecodeBitmap(File, Size, &Pixels, &BufferSize, &Height, &Width);
  if (Pixels != (EFI_GRAPHICS_OUTPUT_BLT_PIXEL *)Caller.get()) Fail("caller's buffer replaced");
  if (Status == EFI_SUCCESS) {
    if (Width * Height * 4 > CallerSize || BufferSize != CallerSize)
      Fail("success with a buffer too small, or its size changed");
  } else if (Status == EFI_BUFFER_TOO_SMALL) {
    if (BufferSize <= CallerSize) Fail("too small, yet the size needed fits");
  } else if (Status != EFI_UNSUPPORTED) {
    Fail("unexpected status with a caller's buffer");
  }
  if (Status != EFI_SUCCESS && std::memcmp(Caller.get(), CallerFillPattern, CallerSize) != 0)
    Fail("a refusal wrote into the caller's buffer");
  if (LiveCount != 0) Fail("pool used for a caller's buffer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  if (Size < 2) return 0;
  const size_t CallerSize = (size_t)(Data[0] | (Data[1] << 8));
  // The file alone, in its own block, so that a read one byte past it is caught.
  const size_t FileSize = Size - 2;
  std::unique_ptr<uint8_t[]> File(new uint8_t[FileSize == 0 ? 1 : FileSize]);
  if (FileSize != 0) std::memcpy(File.get(), Data + 2, FileSize);

  if (CallerFillPattern[0] != kCallerFill)
    std::memset(CallerFillPattern, kCallerFill, sizeof CallerFillPattern);
  FuzzBootServices.AllocatePool = PoolAllocate;
  FuzzBootServices.FreePool = PoolFree;
  FuzzBootServices.SetMem = FillMemory;
  ResetPlatformDxeState();
  DxeModule.BootServices = &FuzzBootServices;

  if (ClaimedBufferSize(File.get(), FileSize) <= kLargestOwnBuffer)
    DecodeAllocating(File.get(), FileSize);
  DecodeIntoCallersBuffer(File.get(), FileSize, CallerSize);
  return 0;
}
