// Graphics Output Blt (buffer to video) of a whole picture against memcpy of the same bytes
// into a buffer of the screen's size, both measured in the same iteration so that drift in the
// machine's speed hits both. Time is the thread's processor time, so other work on a shared
// machine does not land on one side only. Counters: microseconds per transfer for each, and
// blt_time_vs_memcpy (Blt time / memcpy time; 1 means no overhead over the plain copy). The
// Blt time includes the device's record of the call, as every test that draws pays it.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "sim/uefi/display/GraphicsOutputDevice.h"

namespace {

double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> Picture(uint32_t width, uint32_t height) {
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> pixels(size_t(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = EFI_GRAPHICS_OUTPUT_BLT_PIXEL{uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16), 0};
  }
  return pixels;
}

// Args: picture width, picture height; the screen is 800 x 600 and the picture is centred.
void BufferToVideo(benchmark::State &state) {
  const uint32_t width = uint32_t(state.range(0)), height = uint32_t(state.range(1));
  sim::GraphicsOutputDevice gop({{800, 600}});
  EFI_GRAPHICS_OUTPUT_PROTOCOL *protocol = gop.Protocol();
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> picture = Picture(width, height);
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> copy(picture.size());
  const size_t bytes = picture.size() * sizeof picture[0];
  const UINTN x = (800 - width) / 2, y = (600 - height) / 2;

  double bltSeconds = 0, memcpySeconds = 0;
  for (auto _ : state) {
    double start = ThreadSeconds();
    EFI_STATUS status = protocol->Blt(protocol, picture.data(), EfiBltBufferToVideo, 0, 0, x, y,
                                      width, height, 0);
    benchmark::DoNotOptimize(status);
    benchmark::ClobberMemory();
    double middle = ThreadSeconds();
    std::memcpy(copy.data(), picture.data(), bytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    double end = ThreadSeconds();
    bltSeconds += middle - start;
    memcpySeconds += end - middle;
    if (status != EFI_SUCCESS) state.SkipWithError("Blt refused the picture");
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["blt_us"] = bltSeconds * 1e6 / n;
  state.counters["memcpy_us"] = memcpySeconds * 1e6 / n;
  state.counters["blt_time_vs_memcpy"] = bltSeconds / memcpySeconds;
}

BENCHMARK(BufferToVideo)->Args({800, 600})->Args({200, 100})->Unit(benchmark::kMicrosecond);

}  // namespace
