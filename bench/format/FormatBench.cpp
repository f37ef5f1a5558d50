// FormatString against swprintf on like formats, both measured in the same iteration: each
// iteration formats a batch with one and then the same batch with the other, so drift in the
// machine's speed hits both. Time is the thread's processor time, so that other work on a
// shared machine does not land on one side only. Counters: nanoseconds per call for each, and
// the speed ratio (swprintf time / FormatString time; above 1 means FormatString is faster).
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>
#include <cwchar>

#include "platform_dxe/logo/FormatString.h"

namespace {

constexpr int Batch = 256;

double ThreadSeconds() {
  timespec Now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
  return static_cast<double>(Now.tv_sec) + static_cast<double>(Now.tv_nsec) * 1e-9;
}
constexpr size_t BufferChars = 256;

template <typename Ours, typename Reference>
void RunPair(benchmark::State &State, Ours FormatOurs, Reference FormatReference) {
  CHAR16 OurBuffer[BufferChars];
  wchar_t ReferenceBuffer[BufferChars];
  double OurSeconds = 0;
  double ReferenceSeconds = 0;
  for (auto _ : State) {
    double Start = ThreadSeconds();
    for (int i = 0; i < Batch; ++i) {
      benchmark::DoNotOptimize(FormatOurs(OurBuffer, sizeof(OurBuffer), i));
      benchmark::ClobberMemory();
    }
    double Middle = ThreadSeconds();
    for (int i = 0; i < Batch; ++i) {
      benchmark::DoNotOptimize(FormatReference(ReferenceBuffer, BufferChars, i));
      benchmark::ClobberMemory();
    }
    double End = ThreadSeconds();
    OurSeconds += Middle - Start;
    ReferenceSeconds += End - Middle;
  }
  double Calls = static_cast<double>(State.iterations()) * Batch;
  State.counters["FormatString_ns"] = OurSeconds * 1e9 / Calls;
  State.counters["swprintf_ns"] = ReferenceSeconds * 1e9 / Calls;
  State.counters["speed_vs_swprintf"] = ReferenceSeconds / OurSeconds;
}

const CHAR16 OurName[] = u"PlatformServicesDxe";
const wchar_t ReferenceName[] = L"PlatformServicesDxe";
const CHAR16 OurState[] = u"ready for flash update";
const wchar_t ReferenceState[] = L"ready for flash update";

void Decimal(benchmark::State &State) {
  RunPair(
      State,
      [](CHAR16 *Buffer, UINTN Size, int i) { return FormatStringVarArgs(Buffer, Size, u"%d", 1234567 + i); },
      [](wchar_t *Buffer, size_t Chars, int i) { return std::swprintf(Buffer, Chars, L"%d", 1234567 + i); });
}

void DecimalNegative64(benchmark::State &State) {
  RunPair(
      State,
      [](CHAR16 *Buffer, UINTN Size, int i) {
        return FormatStringVarArgs(Buffer, Size, u"%ld", (INT64)-9000000000000000000LL - i);
      },
      [](wchar_t *Buffer, size_t Chars, int i) {
        return std::swprintf(Buffer, Chars, L"%lld", (long long)-9000000000000000000LL - i);
      });
}

void WidthsDecimalAndHex(benchmark::State &State) {
  RunPair(
      State,
      [](CHAR16 *Buffer, UINTN Size, int i) {
        return FormatStringVarArgs(Buffer, Size, u"%5d %08x %10d %4x", 42 + i, 0xBEEF00u + i, -7 - i, 0xAu);
      },
      [](wchar_t *Buffer, size_t Chars, int i) {
        return std::swprintf(Buffer, Chars, L"%5d %08X %10d %4X", 42 + i, 0xBEEF00u + i, -7 - i, 0xAu);
      });
}

void Hex64(benchmark::State &State) {
  RunPair(
      State,
      [](CHAR16 *Buffer, UINTN Size, int i) {
        return FormatStringVarArgs(Buffer, Size, u"%lX", 0xFEDCBA9876543210ULL + i);
      },
      [](wchar_t *Buffer, size_t Chars, int i) {
        return std::swprintf(Buffer, Chars, L"%016llX", 0xFEDCBA9876543210ULL + i);
      });
}

void Strings(benchmark::State &State) {
  RunPair(
      State,
      [](CHAR16 *Buffer, UINTN Size, int) {
        return FormatStringVarArgs(Buffer, Size, u"%s is %s; %24s|", OurName, OurState, OurName);
      },
      [](wchar_t *Buffer, size_t Chars, int) {
        return std::swprintf(Buffer, Chars, L"%ls is %ls; %-24ls|", ReferenceName, ReferenceState,
                             ReferenceName);
      });
}

void Mixed(benchmark::State &State) {
  RunPair(
      State,
      [](CHAR16 *Buffer, UINTN Size, int i) {
        return FormatStringVarArgs(Buffer, Size, u"Part %a at %08x: %d blocks of %d bytes, %s (%c)",
                                   "SPI flash", 0xFF800000u + i, 128 + i, 65536, OurState, u'Y');
      },
      [](wchar_t *Buffer, size_t Chars, int i) {
        return std::swprintf(Buffer, Chars, L"Part %s at %08X: %d blocks of %d bytes, %ls (%lc)",
                             "SPI flash", 0xFF800000u + i, 128 + i, 65536, ReferenceState, (wint_t)L'Y');
      });
}

void PlainText(benchmark::State &State) {
  RunPair(
      State,
      [](CHAR16 *Buffer, UINTN Size, int) {
        return FormatStringVarArgs(Buffer, Size, u"Press any key to continue booting from the first disk");
      },
      [](wchar_t *Buffer, size_t Chars, int) {
        return std::swprintf(Buffer, Chars, L"Press any key to continue booting from the first disk");
      });
}

BENCHMARK(Decimal);
BENCHMARK(DecimalNegative64);
BENCHMARK(WidthsDecimalAndHex);
BENCHMARK(Hex64);
BENCHMARK(Strings);
BENCHMARK(Mixed);
BENCHMARK(PlainText);

}  // namespace
