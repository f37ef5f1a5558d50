// boardsim spd: SpdProviderPei on the simulated board with the memory strap set as asked.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// The image file is written to a temporary file beside it and renamed into place, so that a
// failed write never leaves a partial file under the name asked for. The temporary file is
// made before anything is printed: a file that cannot be written is reported first.
class OutputFile {
 public:
  ~OutputFile() { Discard(); }

  // False (with the system's reason in Error) when no file can be made beside Path.
  bool Open(const std::string &Path, std::string &Error) {
    Path_ = Path;
    struct stat Existing;
    if (stat(Path.c_str(), &Existing) == 0 && S_ISDIR(Existing.st_mode)) {
      Error = std::strerror(EISDIR);
      return false;
    }
    std::string Folder = ".";
    size_t Slash = Path.find_last_of('/');
    if (Slash != std::string::npos) Folder = Slash == 0 ? "/" : Path.substr(0, Slash);
    TempPath_ = Folder + "/.boardsim-spd-XXXXXX";
    int Descriptor = mkstemp(&TempPath_[0]);
    if (Descriptor < 0) {
      Error = std::strerror(errno);
      TempPath_.clear();
      return false;
    }
    // mkstemp makes the file private; give it the permissions any new file would get.
    mode_t Mask = umask(0);
    umask(Mask);
    fchmod(Descriptor, 0666 & ~Mask);
    File_ = fdopen(Descriptor, "wb");
    if (File_ == nullptr) {
      Error = std::strerror(errno);
      close(Descriptor);
      return false;
    }
    return true;
  }

  // Writes the bytes and moves the file to its name; false with the system's reason.
  bool Commit(const uint8_t *Bytes, size_t Length, std::string &Error) {
    errno = 0;
    bool Written = std::fwrite(Bytes, 1, Length, File_) == Length;
    if (!Written) Error = std::strerror(errno != 0 ? errno : EIO);
    int Closed = std::fclose(File_);
    File_ = nullptr;
    if (Written && Closed != 0) {
      Error = std::strerror(errno);
      Written = false;
    }
    if (Written && std::rename(TempPath_.c_str(), Path_.c_str()) != 0) {
      Error = std::strerror(errno);
      Written = false;
    }
    if (Written) TempPath_.clear();
    return Written;
  }

 private:
  void Discard() {
    if (File_ != nullptr) std::fclose(File_);
    File_ = nullptr;
    if (!TempPath_.empty()) std::remove(TempPath_.c_str());
    TempPath_.clear();
  }

  std::string Path_;
  std::string TempPath_;
  FILE *File_ = nullptr;
};

int RunSpdCommand(const SpdOptions &Options) {
  OutputFile Output;
  std::string Error;
  if (!Options.Output.empty() && !Output.Open(Options.Output, Error)) {
    std::fprintf(stderr, "boardsim spd: cannot write %s: %s\n", Options.Output.c_str(),
                 Error.c_str());
    return 1;
  }

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

  unsigned Length = Hob->Header.Header.HobLength;
  std::printf("SPD block published for strap %d (image %c)\n", Options.Strap,
              Options.Strap == 1 ? 'A' : 'B');
  if (Length == sizeof(SPD_DATA_HOB)) {
    std::printf(" HOB length: %u bytes\n", Length);
  } else {
    std::printf(" HOB length: %u bytes (%zu asked for; the PEI core rounds every HOB up to a "
                "multiple of 8)\n",
                Length, sizeof(SPD_DATA_HOB));
  }
  std::printf(" header: %02x %02x\n image:\n", Hob->SpdHobHeader[0], Hob->SpdHobHeader[1]);
  PrintHexDump(Hob->SpdData, SPD_IMAGE_SIZE);
  spd::Image Image;
  std::memcpy(Image.data(), Hob->SpdData, Image.size());
  PrintSummary(Image);

  if (!Options.Output.empty()) {
    if (!Output.Commit(Image.data(), Image.size(), Error)) {
      std::fprintf(stderr, "boardsim spd: cannot write %s: %s\n", Options.Output.c_str(),
                   Error.c_str());
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
  // The level is checked as text, before any conversion, so that every wrong value (2, -1,
  // abc, 1.5) gets the same answer naming what is accepted.
  CLI::Validator StrapLevel(
      [](std::string &Value) -> std::string {
        if (Value == "0" || Value == "1") return std::string();
        return "'" + Value + "' is not a strap level; accepted: 0 or 1";
      },
      "");
  Command->add_option("--strap", Options->Strap, "memory strap level: 1 image A, 0 image B")
      ->required()
      ->type_name("0|1")
      ->check(StrapLevel);
  Command->add_option("--output", Options->Output,
                      "also write the 256-byte SPD image to FILE (replaced only when complete)")
      ->type_name("FILE");
  Command->callback([Options, &ExitStatus] { ExitStatus = RunSpdCommand(*Options); });
}

}  // namespace boardsim
