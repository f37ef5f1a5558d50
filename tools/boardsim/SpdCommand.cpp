// boardsim spd: SpdProviderPei on the simulated board with the memory strap set as asked.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "include/SpdDataHob.h"
#include "sim/hw/Board.h"
#include "sim/uefi/PeiEnvironment.h"
#include "spd_pei/SpdProviderPei.h"
#include "tools/boardsim/Commands.h"
#include "tools/boardsim/SpdDecode.h"

namespace boardsim {

namespace {

// Where the board's early firmware has put the GPIO block before PEI modules run.
constexpr uint16_t kBoardGpioBase = 0x0480;
constexpr unsigned kMemoryStrapGpio = 34;

struct SpdOptions {
  int Strap = -1;
  std::string Output;
};

void PrintHexDump(const uint8_t *Bytes, size_t Length) {
  for (size_t Row = 0; Row < Length; Row += 16) {
    std::printf("  %03zx:", Row);
    for (size_t i = Row; i < Row + 16 && i < Length; ++i) std::printf(" %02x", Bytes[i]);
    std::printf("\n");
  }
}

void PrintSummary(const spd::Image &Image) {
  spd::Ddr3Summary S = spd::DecodeDdr3(Image);
  std::printf("Memory type:   %s\n", S.MemoryType.c_str());
  std::printf("Module type:   %s\n", S.ModuleType.c_str());
  std::printf("Capacity:      %llu MiB (%u rank(s) of x%u devices, %u-bit bus)\n",
              (unsigned long long)S.CapacityMiB, S.Ranks, S.DeviceWidthBits, S.BusWidthBits);
  std::printf("Speed grade:   DDR3-%u (tCKmin %.3f ns)\n", S.SpeedGrade, S.CycleTimeNs);
  std::printf("Part number:   \"%s\"\n", S.PartNumber.c_str());
  std::printf("CRC:           stored 0x%04X, computed 0x%04X over bytes 0-%u: %s\n", S.StoredCrc,
              S.ComputedCrc, S.CrcCoveredBytes - 1, S.CrcMatches() ? "OK" : "MISMATCH");
}

int RunSpdCommand(const SpdOptions &Options) {
  sim::Board Board;
  Board.Lpc().PresetGpioBase(kBoardGpioBase);
  Board.Gpio().SetPinLevel(kMemoryStrapGpio, Options.Strap == 1);
  sim::PeiEnvironment Pei;

  EFI_STATUS Status = SpdProviderPeiEntry(nullptr, Pei.PeiServices());
  if (!Board.Faults().Empty()) {
    std::fprintf(stderr, "boardsim spd: the board saw faults:\n%s",
                 Board.Faults().Describe().c_str());
    return 1;
  }
  if (EFI_ERROR(Status)) {
    std::fprintf(stderr, "boardsim spd: SpdProviderPei returned 0x%llX\n",
                 (unsigned long long)Status);
    return 1;
  }
  const EFI_GUID Name = SPD_DATA_HOB_GUID;
  auto Found = Pei.GuidHobs(Name);
  if (Found.size() != 1) {
    std::fprintf(stderr, "boardsim spd: expected one SPD block, found %zu\n", Found.size());
    return 1;
  }
  const auto *Hob = (const SPD_DATA_HOB *)Found[0];

  std::printf("SPD block published for strap %d (HOB length %u):\n", Options.Strap,
              Hob->Header.Header.HobLength);
  std::printf(" header: %02x %02x\n image:\n", Hob->SpdHobHeader[0], Hob->SpdHobHeader[1]);
  PrintHexDump(Hob->SpdData, SPD_IMAGE_SIZE);
  spd::Image Image;
  std::memcpy(Image.data(), Hob->SpdData, Image.size());
  PrintSummary(Image);

  if (!Options.Output.empty()) {
    FILE *Out = std::fopen(Options.Output.c_str(), "wb");
    bool Written = Out != nullptr && std::fwrite(Image.data(), 1, Image.size(), Out) == Image.size();
    if (Out != nullptr && std::fclose(Out) != 0) Written = false;
    if (!Written) {
      std::fprintf(stderr, "boardsim spd: cannot write %s\n", Options.Output.c_str());
      return 1;
    }
    std::printf("Wrote the 256-byte SPD image to %s\n", Options.Output.c_str());
  }
  return 0;
}

}  // namespace

void RegisterSpdCommand(CLI::App &App, int &ExitStatus) {
  auto Options = std::make_shared<SpdOptions>();
  CLI::App *Command = App.add_subcommand(
      "spd", "Run SpdProviderPei with the memory strap (GPIO 34) at the given level, print the "
             "published SPD block and a decoded summary.");
  Command->add_option("--strap", Options->Strap, "memory strap level: 1 image A, 0 image B")
      ->required()
      ->check(CLI::Range(0, 1));
  Command->add_option("--output", Options->Output, "write the 256-byte SPD image to this file");
  Command->callback([Options, &ExitStatus] { ExitStatus = RunSpdCommand(*Options); });
}

}  // namespace boardsim
