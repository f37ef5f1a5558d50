// boardsim flash: a whole firmware update on the simulated board, done as a flash update tool
// does it through PLATFORM_SERVICES_PROTOCOL: open the flash for writes, detect the part, erase,
// program, read back and compare, close.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "include/BoardProtocols.h"
#include "include/FlashPartRecord.h"
#include "include/PlatformServicesProtocol.h"
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "sim/hw/Board.h"
#include "sim/hw/flash/FlashBoard.h"
#include "sim/uefi/UefiEnvironment.h"
#include "tools/boardsim/Commands.h"

namespace boardsim {

namespace {

constexpr UINT64 kEraseStep = 0x10000;  // one request per 64 KiB: every table part's block
constexpr UINT64 kProgramUnit = 0x1000;
constexpr UINT64 kReadStep = 0x10000;

struct FlashOptions {
  std::string Part;
  std::string Image;
  bool NoDescriptor = false;
  std::string BiosRegion;
};

// Thrown nowhere: every failure returns through Fail with its reason.
int Fail(const std::string &Reason) {
  std::fprintf(stderr, "boardsim flash: %s\n", Reason.c_str());
  return 1;
}

std::string StatusText(EFI_STATUS Status) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "status 0x%" PRIX64, (uint64_t)Status);
  return Text;
}

// A progress bar on standard error for work that takes a while, when someone watches it.
class Progress {
 public:
  Progress(const char *Label, UINT64 Total)
      : Label_(Label), Total_(Total), Shown_(isatty(fileno(stderr)) ? 101 : 100) {
    Show(0);
  }
  void Show(UINT64 Done) {
    if (Done > Total_) Done = Total_;
    unsigned Percent = Total_ == 0 ? 100 : (unsigned)(Done * 100 / Total_);
    if (Percent == Shown_ || Shown_ == 100) return;
    Shown_ = Percent;
    std::string Bar(Percent / 4, '#');
    Bar.resize(25, ' ');
    std::fprintf(stderr, "\r%-8s [%s] %3u%%", Label_, Bar.c_str(), Percent);
    if (Percent == 100) std::fprintf(stderr, "\n");
    std::fflush(stderr);
  }

 private:
  const char *Label_;
  UINT64 Total_;
  unsigned Shown_;  // 100 when nobody watches: nothing is drawn
};

bool ParseRegion(const std::string &Text, sim::FlashRegion &Region) {
  size_t Colon = Text.find(':');
  if (Colon == std::string::npos) return false;
  try {
    size_t Used = 0;
    unsigned long long Base = std::stoull(Text.substr(0, Colon), &Used, 0);
    if (Used != Colon) return false;
    std::string LimitText = Text.substr(Colon + 1);
    unsigned long long Limit = std::stoull(LimitText, &Used, 0);
    if (Used != LimitText.size() || Base > 0xFFFFFFFFull || Limit > 0xFFFFFFFFull) return false;
    Region = sim::FlashRegion{(uint32_t)Base, (uint32_t)Limit};
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

// The board support protocol the driver needs at start-up; the update never calls it.
EFI_STATUS EFIAPI UnusedBoardCall(BOARD_SUPPORT_PROTOCOL *, UINTN, UINT64, UINT32, UINT64) {
  return EFI_UNSUPPORTED;
}

int RunFlashCommand(const FlashOptions &Options) {
  std::ifstream In(Options.Image, std::ios::binary);
  if (!In) return Fail("cannot read " + Options.Image);
  std::vector<UINT8> Image((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());

  sim::FlashBoardOptions BoardOptions;
  BoardOptions.part = Options.Part;
  bool Spi = sim::FindSpiPart(Options.Part).has_value();
  if (!Spi && (Options.NoDescriptor || !Options.BiosRegion.empty())) {
    return Fail(Options.Part + " is an LPC part: --no-descriptor and --bios-region are for SPI");
  }
  BoardOptions.descriptor = !Options.NoDescriptor;
  if (!Options.BiosRegion.empty()) {
    sim::FlashRegion Region{};
    if (!ParseRegion(Options.BiosRegion, Region)) {
      return Fail("--bios-region wants BASE:LIMIT (linear, inclusive), got " + Options.BiosRegion);
    }
    if (Options.NoDescriptor) return Fail("--bios-region needs a descriptor");
    UINT64 Size = Spi ? sim::FindSpiPart(Options.Part)->size : 0;
    if (Region.base < 0x1000 || Region.base > Region.limit || Region.limit >= Size ||
        Region.base % 0x1000 != 0 || (Region.limit + 1) % 0x1000 != 0) {
      return Fail("--bios-region must lie in 4 KiB units between 0x1000 and the part's end");
    }
    BoardOptions.biosRegion = Region;
  }

  sim::Board Board;
  sim::FlashBoard Flash(Board, BoardOptions);
  const UINT64 Size = Flash.FlashSize();
  if (Image.size() != Size) {
    return Fail("the image holds " + std::to_string(Image.size()) + " bytes; " + Options.Part +
                " holds " + std::to_string(Size));
  }
  // What the board held before: the image's complement, so that every byte has to change.
  std::vector<UINT8> Old(Image.size());
  std::transform(Image.begin(), Image.end(), Old.begin(), [](UINT8 B) { return (UINT8)~B; });
  Flash.LoadImage(Old);
  const std::vector<UINT8> Before = Flash.Contents();

  sim::UefiEnvironment Env;
  BOARD_SUPPORT_OPERATIONS Operations{};
  Operations.Entry[BOARD_SUPPORT_ENTRY_PLATFORM_CALL] = (BOARD_SUPPORT_ENTRY)UnusedBoardCall;
  BOARD_SUPPORT_PROTOCOL BoardSupport{};
  BoardSupport.Operations = &Operations;
  const EFI_GUID BoardGuid = BOARD_SUPPORT_PROTOCOL_GUID;
  Env.InstallProtocolOnNewHandle(BoardGuid, &BoardSupport);
  Env.InstallDxeServices();
  Env.InstallBootScriptSave();
  EFI_STATUS Status = PlatformServicesDxeEntry(Env.CreateImageHandle(), Env.SystemTable());
  if (EFI_ERROR(Status)) return Fail("driver start-up failed: " + StatusText(Status));

  // From here on, what a flash update tool does.
  const EFI_GUID ServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  Status = Env.BootServices()->LocateProtocol((EFI_GUID *)&ServicesGuid, nullptr,
                                              (VOID **)&Services);
  if (EFI_ERROR(Status)) return Fail("no platform services protocol: " + StatusText(Status));

  Services->SetFlashWriteEnable(TRUE);
  FLASH_PART_RECORD *Part = nullptr;
  Status = Services->DetectFlashPart(&Part, 0);
  if (EFI_ERROR(Status) || Part == nullptr) {
    Services->SetFlashWriteEnable(FALSE);
    return Fail("no flash part detected: " + StatusText(Status));
  }
  UINT64 PartSize = (UINT64)Part->BlockSize * FLASH_BLOCK_SIZE_UNIT * Part->BlockCount;
  std::printf("Part found:      %s %s, %" PRIu64 " KiB (%u blocks of %u KiB), id 0x%" PRIX64 "\n",
              (const char *)Part->VendorName, (const char *)Part->PartName, PartSize / 1024, (unsigned)Part->BlockCount,
              (unsigned)Part->BlockSize / 4, Part->PartId);

  UINT64 Lower = 0, Upper = Size - 1;
  if (Spi) {
    Lower = DxeModule.Flash.WriteLowerBound;
    Upper = DxeModule.Flash.WriteUpperBound;
    std::printf("Sequencing:      %s\n",
                DxeModule.Flash.HardwareSequencing ? "hardware (descriptor valid)"
                                                   : "software (no descriptor)");
  }
  std::printf("Write bounds:    linear 0x%06" PRIX64 " - 0x%06" PRIX64 "\n", Lower, Upper);
  const UINT64 Base = Flash.FlashBase();
  auto Cleanup = [&](const std::string &Reason) {
    Services->SetFlashWriteEnable(FALSE);
    return Fail(Reason);
  };

  Progress EraseBar("erase", Size);
  for (UINT64 Done = 0; Done < Size; Done += kEraseStep) {
    Status = Part->Erase(Base + Done, kEraseStep);
    Board.Log().Clear();
    if (EFI_ERROR(Status)) return Cleanup("erase at linear 0x" + std::to_string(Done) + ": " + StatusText(Status));
    EraseBar.Show(Done + kEraseStep);
  }

  UINT64 Sent = 0, SkippedErased = 0;
  Progress ProgramBar("program", Size);
  for (UINT64 Done = 0; Done < Size; Done += kProgramUnit) {
    const UINT8 *Unit = Image.data() + Done;
    if (std::all_of(Unit, Unit + kProgramUnit, [](UINT8 B) { return B == 0xFF; })) {
      SkippedErased += kProgramUnit;  // erased already: a tool sends nothing
    } else {
      UINT64 Count = kProgramUnit;
      Status = Part->Program(Base + Done, Unit, &Count, Base);
      Board.Log().Clear();
      if (EFI_ERROR(Status)) return Cleanup("program at linear 0x" + std::to_string(Done) + ": " + StatusText(Status));
      Sent += kProgramUnit;
    }
    ProgramBar.Show(Done + kProgramUnit);
  }

  std::vector<UINT8> ReadBack(Size);
  Progress ReadBar("verify", Size);
  for (UINT64 Done = 0; Done < Size; Done += kReadStep) {
    Status = Part->Read(ReadBack.data() + Done, Base + Done, kReadStep);
    Board.Log().Clear();
    if (EFI_ERROR(Status)) return Cleanup("read at linear 0x" + std::to_string(Done) + ": " + StatusText(Status));
    ReadBar.Show(Done + kReadStep);
  }
  Services->SetFlashWriteEnable(FALSE);

  // Inside the bounds the flash must hold the image; outside them it must not have changed.
  const std::vector<UINT8> After = Flash.Contents();
  UINT64 Mismatches = 0, Changed = 0, OutsideBounds = 0;
  for (UINT64 i = 0; i < Size; ++i) {
    if (i >= Lower && i <= Upper) {
      if (ReadBack[i] != Image[i] || After[i] != Image[i]) ++Mismatches;
    } else {
      ++OutsideBounds;
      if (After[i] != Before[i]) ++Changed;
    }
  }
  UINT64 SentInBounds = 0;
  for (UINT64 Done = 0; Done < Size; Done += kProgramUnit) {
    if (std::all_of(Image.begin() + Done, Image.begin() + Done + kProgramUnit,
                    [](UINT8 B) { return B == 0xFF; })) {
      continue;
    }
    UINT64 First = std::max(Done, Lower), Last = std::min(Done + kProgramUnit - 1, Upper);
    if (First <= Last) SentInBounds += Last - First + 1;
  }

  sim::SpiHostController::CycleCounts Cycles = Flash.Cycles();
  std::printf("Bytes written:   %" PRIu64 "\n", SentInBounds);
  std::printf("Bytes skipped:   %" PRIu64 " already erased, %" PRIu64
              " outside the write bounds\n",
              SkippedErased, Sent - SentInBounds);
  if (Spi) {
    std::printf("Controller:      %u cycles (%u reads, %u writes, %u erases, %u software)\n",
                Cycles.Total(), Cycles.hardwareReads, Cycles.hardwareWrites,
                Cycles.hardwareErases, Cycles.software);
  } else {
    std::printf("Controller:      none (LPC part, driven through its memory window)\n");
  }
  if (!Board.Faults().Empty()) {
    return Fail("the board saw faults:\n" + Board.Faults().Describe());
  }
  if (Mismatches != 0 || Changed != 0) {
    std::printf("Verification:    FAILED: %" PRIu64 " bytes differ from the image, %" PRIu64
                " bytes outside the bounds changed\n",
                Mismatches, Changed);
    return 1;
  }
  std::printf("Verification:    OK: %" PRIu64 " bytes equal the image, %" PRIu64
              " bytes outside the bounds unchanged\n",
              Upper - Lower + 1, OutsideBounds);
  return 0;
}

}  // namespace

void RegisterFlashCommand(CLI::App &App, int &ExitStatus) {
  auto Options = std::make_shared<FlashOptions>();
  CLI::App *Command = App.add_subcommand(
      "flash", "Update the simulated board's flash through PLATFORM_SERVICES_PROTOCOL as a flash "
               "tool does: write-enable, detect, erase, program, read back and compare, "
               "write-disable.");
  Command->add_option("--part", Options->Part, "PartName of either part table (sets the strap)")
      ->required()
      ->check(CLI::IsMember(sim::AllFlashPartNames()));
  Command->add_option("--image", Options->Image, "the whole flash image; its size is the part's")
      ->required()
      ->check(CLI::ExistingFile);
  Command->add_flag("--no-descriptor", Options->NoDescriptor,
                    "SPI: no flash descriptor (software sequencing, no BIOS-region bounds)");
  Command->add_option("--bios-region", Options->BiosRegion,
                      "SPI: the descriptor's BIOS region as BASE:LIMIT, linear and inclusive "
                      "(default 0x1000 to the end)");
  Command->callback([Options, &ExitStatus] { ExitStatus = RunFlashCommand(*Options); });
}

}  // namespace boardsim
