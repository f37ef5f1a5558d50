// DecodeBitmap on 1920 x 1080 pictures at every depth, beside stb_image on the same file and
// beside a plain copy of the output size (the memory bound), all in one run. The decoder is
// compiled as firmware compiles it (no vector registers); its rows report
//   vs_stb   stb_image time / DecodeBitmap time   (how many times faster we are)
//   vs_copy  DecodeBitmap time / copy time       (how far from the memory bound)
//   vs_8bit  run-length time / 8-bit uncompressed time, same picture (per pixel)
#include <benchmark/benchmark.h>
#include <stb/stb_image.h>
#include <time.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/bitmap/BenchImages.h"
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/logo/BitmapDecoder.h"

namespace bitmap_bench {
namespace {

// Boot services as a firmware pool would give them: the decoder allocates, clears and frees
// through these, so the bench measures the decoder and not a simulation's bookkeeping.
EFI_STATUS EFIAPI PoolAllocate(EFI_MEMORY_TYPE, UINTN Size, VOID **Buffer) {
  *Buffer = std::malloc(Size == 0 ? 1 : Size);
  return *Buffer == nullptr ? EFI_OUT_OF_RESOURCES : EFI_SUCCESS;
}
EFI_STATUS EFIAPI PoolFree(VOID *Buffer) {
  std::free(Buffer);
  return EFI_SUCCESS;
}
VOID EFIAPI FillMemory(VOID *Buffer, UINTN Size, UINT8 Value) { std::memset(Buffer, Value, Size); }

EFI_BOOT_SERVICES BenchBootServices;

void UseBenchBootServices() {
  BenchBootServices.AllocatePool = PoolAllocate;
  BenchBootServices.FreePool = PoolFree;
  BenchBootServices.SetMem = FillMemory;
  DxeModule.BootServices = &BenchBootServices;
}

const std::vector<uint8_t> &File(const std::string &Kind) {
  static std::map<std::string, std::vector<uint8_t>> Files;
  auto Found = Files.find(Kind);
  if (Found != Files.end()) return Found->second;
  std::vector<uint8_t> Bytes = Kind == "rle8" ? RunLengthFile() : UncompressedFile(std::stoi(Kind));
  return Files.emplace(Kind, std::move(Bytes)).first->second;
}

// Seconds per iteration of each benchmark that has run, by name, for the ratios.
std::map<std::string, double> &Measured() {
  static std::map<std::string, double> Times;
  return Times;
}

// Processor time of this thread: the machine may be shared, and waiting for a core is not
// the decoder's cost (Google Benchmark's CPU column measures the same).
double ThreadSeconds() {
  timespec Now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
  return (double)Now.tv_sec + (double)Now.tv_nsec * 1e-9;
}

void Record(const std::string &Name, double Start, benchmark::State &State) {
  if (State.iterations() == 0) return;
  Measured()[Name] = (ThreadSeconds() - Start) / (double)State.iterations();
}

void SetRatio(benchmark::State &State, const char *Counter, const std::string &Numerator,
              const std::string &Denominator) {
  auto &Times = Measured();
  if (Times.count(Numerator) && Times.count(Denominator))
    State.counters[Counter] = Times[Numerator] / Times[Denominator];
}

const size_t kOutputBytes = (size_t)kWidth * kHeight * 4;

void BM_PlainCopy(benchmark::State &State) {
  std::vector<uint8_t> From(kOutputBytes, 1), To(kOutputBytes);
  double Start = ThreadSeconds();
  for (auto _ : State) {
    std::memcpy(To.data(), From.data(), kOutputBytes);
    benchmark::ClobberMemory();
  }
  Record("copy", Start, State);
  State.SetBytesProcessed((int64_t)(State.iterations() * kOutputBytes));
}

void BM_StbImage(benchmark::State &State, std::string Kind) {
  const std::vector<uint8_t> &Bytes = File(Kind);
  double Start = ThreadSeconds();
  for (auto _ : State) {
    int Width = 0, Height = 0, Channels = 0;
    // Four channels: the same output size as ours.
    stbi_uc *Pixels =
        stbi_load_from_memory(Bytes.data(), (int)Bytes.size(), &Width, &Height, &Channels, 4);
    if (Pixels == nullptr) {
      State.SkipWithError(stbi_failure_reason());
      return;
    }
    benchmark::DoNotOptimize(Pixels);
    stbi_image_free(Pixels);
  }
  Record("stb/" + Kind, Start, State);
  State.SetItemsProcessed((int64_t)(State.iterations() * kWidth * kHeight));
}

void BM_DecodeBitmap(benchmark::State &State, std::string Kind) {
  UseBenchBootServices();
  const std::vector<uint8_t> &Bytes = File(Kind);
  double Start = ThreadSeconds();
  for (auto _ : State) {
    EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels = nullptr;
    UINTN Size = 0, Height = 0, Width = 0;
    EFI_STATUS Status = DecodeBitmap(Bytes.data(), Bytes.size(), &Pixels, &Size, &Height, &Width);
    if (Status != EFI_SUCCESS || Width != kWidth || Height != kHeight) {
      State.SkipWithError("DecodeBitmap failed");
      return;
    }
    benchmark::DoNotOptimize(Pixels);
    std::free(Pixels);
  }
  Record("decode/" + Kind, Start, State);
  State.SetItemsProcessed((int64_t)(State.iterations() * kWidth * kHeight));
  SetRatio(State, "vs_stb", "stb/" + Kind, "decode/" + Kind);
  SetRatio(State, "vs_copy", "decode/" + Kind, "copy");
  if (Kind == "rle8") SetRatio(State, "vs_8bit", "decode/rle8", "decode/8");
}

// References first: the decoder rows read their times. Google Benchmark runs in this order.
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StbImage, 24, std::string("24"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StbImage, 8, std::string("8"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StbImage, 4, std::string("4"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StbImage, 1, std::string("1"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeBitmap, 24, std::string("24"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeBitmap, 8, std::string("8"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeBitmap, 4, std::string("4"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeBitmap, 1, std::string("1"))->Unit(benchmark::kMillisecond);
// stb_image reads no run-length bitmaps: this row is compared with the copy and with 8-bit.
BENCHMARK_CAPTURE(BM_DecodeBitmap, rle8, std::string("rle8"))->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bitmap_bench
