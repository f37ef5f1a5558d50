// Every benchmark measures its reference in the same run and reports the ratio:
//   SPI read/program/erase on a 4 MiB part with a descriptor (BIOS region 0x1000 to the end):
//     controller cycles per MiB beside the fewest the controller allows (reads: none inside
//     the 2.5 MiB window, one per 64 bytes below it; programs: one per 64-byte block;
//     erases: one per 4 KiB unit), and host time per MiB;
//   CopyBytes and CompareBytes beside memcpy and memcmp on the same buffers.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "include/BoardProtocols.h"
#include "include/FlashPartRecord.h"
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "platform_dxe/flash/MemoryRoutines.h"
#include "sim/hw/Board.h"
#include "sim/hw/flash/FlashBoard.h"
#include "sim/uefi/UefiEnvironment.h"

namespace {

constexpr UINT64 kMiB = 0x100000;
constexpr UINT64 kPartSize = 4 * kMiB;
constexpr UINT64 kReadWindow = 0x280000;

EFI_STATUS EFIAPI UnusedBoardCall(BOARD_SUPPORT_PROTOCOL *, UINTN, UINT64, UINT32, UINT64) {
  return EFI_UNSUPPORTED;
}

// A board with a 4 MiB SPI part, the driver started and the part detected.
struct SpiBench {
  SpiBench() {
    ResetPlatformDxeState();
    sim::FlashBoardOptions Options;
    Options.part = "GD25Q32B";
    Flash = std::make_unique<sim::FlashBoard>(Board, Options);
    Operations.Entry[BOARD_SUPPORT_ENTRY_PLATFORM_CALL] = (BOARD_SUPPORT_ENTRY)UnusedBoardCall;
    BoardSupport.Operations = &Operations;
    const EFI_GUID BoardGuid = BOARD_SUPPORT_PROTOCOL_GUID;
    Env.InstallProtocolOnNewHandle(BoardGuid, &BoardSupport);
    PlatformServicesDxeEntry(Env.CreateImageHandle(), Env.SystemTable());
    Services = DxeModule.Interface;
    Services->SetFlashWriteEnable(TRUE);
    Services->DetectFlashPart(&Part, 0);
    Base = Flash->FlashBase();
  }

  sim::Board Board;
  sim::UefiEnvironment Env;
  std::unique_ptr<sim::FlashBoard> Flash;
  BOARD_SUPPORT_OPERATIONS Operations{};
  BOARD_SUPPORT_PROTOCOL BoardSupport{};
  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  FLASH_PART_RECORD *Part = nullptr;
  UINT64 Base = 0;
};

void ReportCycles(benchmark::State &State, UINT64 Cycles, UINT64 MinimumCycles, UINT64 Bytes) {
  double Iterations = (double)State.iterations();
  double MiB = (double)Bytes / kMiB;
  State.counters["cycles_per_MiB"] = (double)Cycles / Iterations / MiB;
  State.counters["min_cycles_per_MiB"] = (double)MinimumCycles / MiB;
  State.counters["cycles_over_min"] = MinimumCycles == 0 ? 0.0 : (double)Cycles / Iterations / MinimumCycles;
  State.SetBytesProcessed((int64_t)(Bytes * State.iterations()));
  State.counters["host_s_per_MiB"] = benchmark::Counter(
      MiB, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SpiReadWholePart(benchmark::State &State) {
  SpiBench Bench;
  std::vector<UINT8> Buffer(kPartSize);
  UINT64 Cycles = 0;
  for (auto _ : State) {
    Bench.Flash->Controller()->ClearCycleCounts();
    Bench.Part->Read(Buffer.data(), Bench.Base, kPartSize);
    Cycles += Bench.Flash->Cycles().Total();
    State.PauseTiming();
    Bench.Board.Log().Clear();
    State.ResumeTiming();
  }
  ReportCycles(State, Cycles, (kPartSize - kReadWindow) / 64, kPartSize);
}
BENCHMARK(BM_SpiReadWholePart)->Unit(benchmark::kMillisecond);

void BM_SpiProgram1MiB(benchmark::State &State) {
  SpiBench Bench;
  std::vector<UINT8> Data(kMiB);
  for (size_t i = 0; i < Data.size(); ++i) Data[i] = (UINT8)(i * 13 + 7);
  const UINT64 At = Bench.Base + kMiB;
  UINT64 Cycles = 0;
  for (auto _ : State) {
    State.PauseTiming();
    Bench.Part->Erase(At, kMiB);
    Bench.Board.Log().Clear();
    Bench.Flash->Controller()->ClearCycleCounts();
    State.ResumeTiming();
    UINT64 Count = kMiB;
    Bench.Part->Program(At, Data.data(), &Count, 0);
    Cycles += Bench.Flash->Cycles().Total();
    State.PauseTiming();
    Bench.Board.Log().Clear();
    State.ResumeTiming();
  }
  ReportCycles(State, Cycles, kMiB / 64, kMiB);
}
BENCHMARK(BM_SpiProgram1MiB)->Unit(benchmark::kMillisecond);

void BM_SpiErase1MiB(benchmark::State &State) {
  SpiBench Bench;
  const UINT64 At = Bench.Base + kMiB;
  UINT64 Cycles = 0;
  for (auto _ : State) {
    Bench.Flash->Controller()->ClearCycleCounts();
    Bench.Part->Erase(At, kMiB);
    Cycles += Bench.Flash->Cycles().Total();
    State.PauseTiming();
    Bench.Board.Log().Clear();
    State.ResumeTiming();
  }
  ReportCycles(State, Cycles, kMiB / 0x1000, kMiB);
}
BENCHMARK(BM_SpiErase1MiB)->Unit(benchmark::kMillisecond);

// The routine and its reference run on the same buffers in every iteration; the iteration's
// time is the routine's, and the reference's total is kept for the ratio.
template <typename Routine, typename Reference>
void RunAgainstReference(benchmark::State &State, Routine Mine, Reference Theirs) {
  using Clock = std::chrono::steady_clock;
  double MineSeconds = 0, TheirsSeconds = 0;
  for (auto _ : State) {
    auto Start = Clock::now();
    Mine();
    auto Middle = Clock::now();
    Theirs();
    auto End = Clock::now();
    double MineTime = std::chrono::duration<double>(Middle - Start).count();
    MineSeconds += MineTime;
    TheirsSeconds += std::chrono::duration<double>(End - Middle).count();
    State.SetIterationTime(MineTime);
  }
  State.SetBytesProcessed((int64_t)State.range(0) * State.iterations());
  State.counters["reference_GiBps"] =
      (double)State.range(0) * State.iterations() / TheirsSeconds / (1u << 30);
  State.counters["time_over_reference"] = MineSeconds / TheirsSeconds;
}

void BM_CopyBytesVsMemcpy(benchmark::State &State) {
  std::vector<UINT8> Source(State.range(0), 0x5A), Destination(State.range(0));
  RunAgainstReference(
      State,
      [&] {
        CopyBytes(Destination.data(), Source.data(), Source.size());
        benchmark::ClobberMemory();
      },
      [&] {
        std::memcpy(Destination.data(), Source.data(), Source.size());
        benchmark::ClobberMemory();
      });
}
BENCHMARK(BM_CopyBytesVsMemcpy)->Arg(4096)->Arg(65536)->Arg(1 << 20)->UseManualTime();

void BM_CompareBytesVsMemcmp(benchmark::State &State) {
  std::vector<UINT8> First(State.range(0), 0xA5), Second(State.range(0), 0xA5);
  RunAgainstReference(
      State,
      [&] { benchmark::DoNotOptimize(CompareBytes(First.data(), Second.data(), First.size())); },
      [&] { benchmark::DoNotOptimize(std::memcmp(First.data(), Second.data(), First.size())); });
}
BENCHMARK(BM_CompareBytesVsMemcmp)->Arg(4096)->Arg(65536)->Arg(1 << 20)->UseManualTime();

}  // namespace
