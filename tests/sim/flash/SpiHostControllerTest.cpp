// The chipset's SPI host interface driven through its registers, as the datasheet describes the
// programming model: descriptor observability, hardware and software sequencing, the capability
// registers, region permissions and injected faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform_dxe/cpu/Instructions.h"
#include "sim/hw/Board.h"
#include "sim/hw/flash/FlashBoard.h"
#include "sim/hw/flash/SpiRegisters.h"

namespace {

using sim::Board;
using sim::FlashBoard;
using sim::FlashBoardOptions;
using sim::FlashRegion;
using sim::SpiHostController;
namespace spi = sim::spi;

constexpr uint64_t kRcba = 0xFED1C000;
constexpr uint64_t kSpibar = kRcba + 0x3800;

uint32_t R32(uint16_t offset) { return hw::MmioLoad32(kSpibar + offset); }
uint16_t R16(uint16_t offset) { return hw::MmioLoad16(kSpibar + offset); }
uint8_t R8(uint16_t offset) { return hw::MmioLoad8(kSpibar + offset); }
void W32(uint16_t offset, uint32_t value) { hw::MmioStore32(kSpibar + offset, value); }
void W16(uint16_t offset, uint16_t value) { hw::MmioStore16(kSpibar + offset, value); }
void W8(uint16_t offset, uint8_t value) { hw::MmioStore8(kSpibar + offset, value); }

FlashBoardOptions Options(const std::string &part) {
  FlashBoardOptions options;
  options.part = part;
  return options;
}

// Capability values for the table's three flag sets: 4 KiB erase 20h with 64-byte writes; the
// same with byte writes and a status write enabled by 50h; 64-byte writes and a status write
// enabled by 06h.
constexpr uint32_t kCaps64 = 0x2005, kCapsByteWsr50 = 0x2009, kCaps64Wsr06 = 0x201D;

void SetCapabilities(uint32_t value) {
  W32(spi::kLvscc, value);
  W32(spi::kUvscc, value);
}

// A table entry's software-sequencing set-up: menu 9F 20 02 01 03 05, prefixes 06 and 50.
void LoadOpcodeMenu() {
  W32(spi::kOpmenu, 0x0102209F);
  W32(spi::kOpmenu + 4, 0x00000503);
  W16(spi::kOptype, 0xF27C);
  W16(spi::kPreop, 0x5006);
}

struct CycleResult {
  uint16_t status;      // HSFS or SSFS when the cycle ended (or when polling gave up)
  unsigned busyReads;   // status reads that still showed SCIP
};

CycleResult WaitHardware() {
  CycleResult result{0, 0};
  for (int i = 0; i < 10000; ++i) {
    result.status = R16(spi::kHsfs);
    if (result.status & (spi::hsfs::kFdone.Mask() | spi::hsfs::kFcerr.Mask())) break;
    if (result.status & spi::hsfs::kScip.Mask()) ++result.busyReads;
  }
  W16(spi::kHsfs, spi::hsfs::kWriteOneToClear);
  return result;
}

CycleResult Hardware(uint32_t cycle, uint32_t address, unsigned count) {
  W32(spi::kFaddr, address);
  W16(spi::kHsfc, static_cast<uint16_t>(spi::hsfc::kFdbc.Of(count - 1) |
                                        spi::hsfc::kFcycle.Of(cycle) | spi::hsfc::kFgo.Of(1)));
  return WaitHardware();
}

std::vector<uint8_t> HardwareRead(uint32_t address, unsigned count, uint16_t *status = nullptr) {
  const CycleResult result = Hardware(spi::hsfc::kCycleRead, address, count);
  if (status) *status = result.status;
  std::vector<uint8_t> bytes;
  for (unsigned i = 0; i < count; ++i) bytes.push_back(R8(spi::kFdata0 + i));
  return bytes;
}

CycleResult HardwareWrite(uint32_t address, const std::vector<uint8_t> &bytes) {
  for (unsigned i = 0; i < bytes.size(); ++i) W8(spi::kFdata0 + i, bytes[i]);
  return Hardware(spi::hsfc::kCycleWrite, address, static_cast<unsigned>(bytes.size()));
}

struct SoftwareCycle {
  unsigned menuIndex;
  uint32_t address = 0;
  std::vector<uint8_t> data;  // written bytes (write types)
  unsigned readCount = 0;     // read types with a data phase
  bool atomic = false;
  unsigned prefix = 0;
};

CycleResult Software(const SoftwareCycle &c) {
  for (unsigned i = 0; i < c.data.size(); ++i) W8(spi::kFdata0 + i, c.data[i]);
  W32(spi::kFaddr, c.address);
  const unsigned count = c.readCount ? c.readCount : static_cast<unsigned>(c.data.size());
  const bool dataPhase = count > 0;
  W16(spi::kSsfc, static_cast<uint16_t>(
                      spi::ssfc::kDbc.Of(dataPhase ? count - 1 : 0) | spi::ssfc::kDs.Of(dataPhase) |
                      spi::ssfc::kCop.Of(c.menuIndex) | spi::ssfc::kSpop.Of(c.prefix) |
                      spi::ssfc::kAcs.Of(c.atomic) | spi::ssfc::kScgo.Of(1)));
  CycleResult result{0, 0};
  for (int i = 0; i < 10000; ++i) {
    result.status = R8(spi::kSsfs);
    if (result.status & (spi::ssfs::kCds.Mask() | spi::ssfs::kFcerr.Mask())) break;
    if (result.status & spi::ssfs::kScip.Mask()) ++result.busyReads;
  }
  W8(spi::kSsfs, spi::ssfs::kWriteOneToClear);
  return result;
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
  return bytes;
}

// ---- Descriptor, FDV, regions ----

TEST(SpiDescriptor, FdocFdodReadTheDescriptorWordsOutOfTheFlash) {
  Board board;
  FlashBoardOptions options = Options("GD25Q32B");
  options.twoComponents = true;
  options.biosRegion = FlashRegion{0x180000, 0x7FFFFF};
  options.hostReadAccess = 0x0B;
  options.hostWriteAccess = 0x0A;
  FlashBoard flash(board, options);

  W32(spi::kFdoc, 0x0004);  // map section, dword 1: FLMAP0
  const uint32_t flmap0 = R32(spi::kFdod);
  EXPECT_EQ((flmap0 >> 8) & 3, 1u) << "NC: two components";
  W32(spi::kFdoc, 0x0000);
  EXPECT_EQ(R32(spi::kFdod), 0x0FF0A55Au) << "dword 0 of the map section is the signature";
  W32(spi::kFdoc, 0x1000);  // component section: FLCOMP
  EXPECT_EQ(R32(spi::kFdod) & 0x3F, 0x1Bu) << "both components 4 MiB (density code 3)";
  W32(spi::kFdoc, 0x3000);  // master section: FLMSTR1
  EXPECT_EQ(R32(spi::kFdod) >> 16, 0x0A0Bu);
  W32(spi::kFdoc, 0x2004);  // region section, dword 1: FLREG1
  EXPECT_EQ(R32(spi::kFdod), 0x07FF0180u);

  EXPECT_TRUE(R32(spi::kHsfs) & spi::hsfs::kFdv.Mask());
  EXPECT_EQ(R32(spi::kFreg0 + 4), 0x07FF0180u) << "FREG1";
  EXPECT_EQ(R32(spi::kBfpr), 0x07FF0180u);
  EXPECT_EQ(R32(spi::kFreg0), 0x00000000u) << "FREG0: the descriptor's own 4 KiB";
}

TEST(SpiDescriptor, ValidOnlyWithTheSignatureReadAtReset) {
  Board board;
  FlashBoard flash(board, Options("25Q32"));
  ASSERT_TRUE(R16(spi::kHsfs) & spi::hsfs::kFdv.Mask());

  // A flash image whose signature is damaged: the controller reads it at the next reset.
  std::vector<uint8_t> &array = flash.SpiChip()->Array();
  array[0x10] = 0x5B;
  EXPECT_TRUE(R16(spi::kHsfs) & spi::hsfs::kFdv.Mask()) << "latched until reset";
  flash.Controller()->Reset();
  EXPECT_FALSE(R16(spi::kHsfs) & spi::hsfs::kFdv.Mask());
  EXPECT_EQ(R32(spi::kBfpr), 0x03FF0000u) << "no regions: the BIOS is the whole part";

  uint16_t status = 0;
  HardwareRead(0, 4, &status);
  EXPECT_TRUE(status & spi::hsfs::kFcerr.Mask()) << "hardware sequencing needs a descriptor";
}

TEST(SpiDescriptor, BoardWithoutDescriptorHasNoFdv) {
  Board board;
  FlashBoardOptions options = Options("25Q32");
  options.descriptor = false;
  FlashBoard flash(board, options);
  EXPECT_FALSE(R16(spi::kHsfs) & spi::hsfs::kFdv.Mask());
  EXPECT_EQ(flash.Controller()->FlashSize(), 4u << 20);
  EXPECT_EQ(flash.Window()->Base(), 0xFFC00000u) << "the whole part, top-aligned";
}

// ---- Hardware sequencing ----

TEST(SpiHardwareSequencing, ReadWriteAndEraseThroughTheRegisters) {
  Board board;
  FlashBoard flash(board, Options("GD25Q32B"));
  std::vector<uint8_t> image = Pattern(4u << 20, 3);
  flash.LoadImage(image);
  image = flash.Contents();  // with the board's descriptor
  SetCapabilities(kCaps64);

  EXPECT_EQ(HardwareRead(0x200010, 64),
            std::vector<uint8_t>(image.begin() + 0x200010, image.begin() + 0x200050));
  EXPECT_EQ(HardwareRead(0x3FFFFF, 1)[0], image[0x3FFFFF]);

  const CycleResult erase = Hardware(spi::hsfc::kCycleErase, 0x201234, 1);
  EXPECT_TRUE(erase.status & spi::hsfs::kFdone.Mask());
  EXPECT_GT(erase.busyReads, 0u) << "SCIP while the part erases";
  std::vector<uint8_t> contents = flash.Contents();
  EXPECT_EQ(std::vector<uint8_t>(contents.begin() + 0x201000, contents.begin() + 0x202000),
            std::vector<uint8_t>(0x1000, 0xFF));
  EXPECT_EQ(contents[0x200FFF], image[0x200FFF]);
  EXPECT_EQ(contents[0x202000], image[0x202000]);

  const std::vector<uint8_t> data = Pattern(64, 0x40);
  const CycleResult write = HardwareWrite(0x201040, data);
  EXPECT_TRUE(write.status & spi::hsfs::kFdone.Mask());
  EXPECT_EQ(HardwareRead(0x201040, 64), data);
  EXPECT_EQ(R16(spi::kHsfs) & spi::hsfs::kWriteOneToClear, 0) << "cleared by writing ones";

  const SpiHostController::CycleCounts cycles = flash.Cycles();
  EXPECT_EQ(cycles.hardwareReads, 3u);
  EXPECT_EQ(cycles.hardwareWrites, 1u);
  EXPECT_EQ(cycles.hardwareErases, 1u);
}

TEST(SpiHardwareSequencing, WriteOnlyClearsBitsOfWhatThePartHolds) {
  Board board;
  FlashBoard flash(board, Options("25Q32"));
  SetCapabilities(kCaps64);
  HardwareWrite(0x100000, {0xF0, 0x0F});
  HardwareWrite(0x100000, {0x3C, 0x3C});
  EXPECT_EQ(HardwareRead(0x100000, 2), (std::vector<uint8_t>{0x30, 0x0C}));
}

// A wrong capabilities value shows in the flash, not only in the register.
struct CapabilityCase {
  const char *name;
  const char *part;
  uint32_t capabilities;
  bool writeLands;  // all 64 bytes of a hardware write arrive
  bool eraseLands;
};

class SpiCapabilities : public ::testing::TestWithParam<CapabilityCase> {};

TEST_P(SpiCapabilities, DecideWhetherHardwareWritesAndErasesReachTheArray) {
  const CapabilityCase c = GetParam();
  Board board;
  FlashBoard flash(board, Options(c.part));
  std::vector<uint8_t> image(flash.FlashSize(), 0x00);
  std::fill(image.begin() + 0x300000, image.begin() + 0x300040, 0xFF);
  flash.LoadImage(image);
  SetCapabilities(c.capabilities);

  const std::vector<uint8_t> data = Pattern(64, 0x11);
  HardwareWrite(0x300000, data);
  const bool wrote = HardwareRead(0x300000, 64) == data;
  Hardware(spi::hsfc::kCycleErase, 0x310000, 1);
  const bool erased = HardwareRead(0x310000, 64) == std::vector<uint8_t>(64, 0xFF);
  EXPECT_EQ(wrote, c.writeLands);
  EXPECT_EQ(erased, c.eraseLands);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SpiCapabilities,
    ::testing::Values(
        CapabilityCase{"PagePartWith64ByteWrites", "GD25Q32B", kCaps64, true, true},
        CapabilityCase{"PagePartWithByteWrites", "GD25Q32B", 0x2001, true, true},
        CapabilityCase{"EraseOpcodeThePartLacks", "GD25Q32B", 0x0005, true, false},
        CapabilityCase{"SstWithStatusWriteAndByteWrites", "25VF032B", kCapsByteWsr50, true, true},
        CapabilityCase{"SstWithoutStatusWriteStaysProtected", "25VF032B", kCaps64, false, false},
        CapabilityCase{"SstWith64ByteWritesGetsOneByte", "25VF032B", 0x200D, false, true},
        CapabilityCase{"AtmelWithStatusWriteEnabledBy06", "25DF321", kCaps64Wsr06, true, true},
        CapabilityCase{"AtmelWithStatusWriteEnabledBy50", "25DF321", 0x200D, false, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SpiHardwareSequencing, ByteGranularitySendsOneProgramPerByte) {
  Board board;
  FlashBoard flash(board, Options("25VF032B"));
  SetCapabilities(kCapsByteWsr50);
  flash.Controller()->ClearOpcodeTrace();
  HardwareWrite(0x200000, {1, 2, 3});
  std::vector<uint8_t> commands;
  for (uint8_t opcode : flash.Controller()->OpcodeTrace()) {
    if (opcode != 0x05) commands.push_back(opcode);  // leave out the status polls
  }
  EXPECT_EQ(commands, (std::vector<uint8_t>{0x50, 0x01, 0x06, 0x02, 0x06, 0x02, 0x06, 0x02}));
  EXPECT_EQ(HardwareRead(0x200000, 3), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(SpiHardwareSequencing, RefusesWhatMayNotRun) {
  Board board;
  FlashBoardOptions options = Options("25Q16");
  options.biosRegion = FlashRegion{0x100000, 0x1FFFFF};
  options.hostReadAccess = 0x01;  // descriptor only; the BIOS region is the host's anyway
  FlashBoard flash(board, options);
  SetCapabilities(kCaps64);

  struct Refusal {
    const char *what;
    uint32_t cycle;
    uint32_t address;
    unsigned count;
    bool accessError;
  };
  const Refusal refusals[] = {
      {"reserved cycle type", spi::hsfc::kCycleReserved, 0x100000, 1, false},
      {"beyond the flash", spi::hsfc::kCycleRead, 0x200000, 1, false},
      {"read running off the end", spi::hsfc::kCycleRead, 0x1FFFF0, 32, false},
      {"write to the descriptor", spi::hsfc::kCycleWrite, 0x000100, 4, true},
      {"erase of the ME region", spi::hsfc::kCycleErase, 0x080000, 1, true},
      {"read of the ME region", spi::hsfc::kCycleRead, 0x080000, 4, true},
  };
  const std::vector<uint8_t> before = flash.Contents();
  for (const Refusal &r : refusals) {
    const CycleResult result = Hardware(r.cycle, r.address, r.count);
    EXPECT_TRUE(result.status & spi::hsfs::kFcerr.Mask()) << r.what;
    EXPECT_FALSE(result.status & spi::hsfs::kFdone.Mask()) << r.what;
    EXPECT_EQ((result.status & spi::hsfs::kAel.Mask()) != 0, r.accessError) << r.what;
  }
  EXPECT_EQ(flash.Contents(), before);
  EXPECT_EQ(flash.Cycles().failed, 6u);

  // The descriptor itself stays readable (read grant 0), the BIOS region writable.
  uint16_t status = 0;
  HardwareRead(0x10, 4, &status);
  EXPECT_TRUE(status & spi::hsfs::kFdone.Mask());
  EXPECT_TRUE(HardwareWrite(0x100000, {0x00}).status & spi::hsfs::kFdone.Mask());
}

TEST(SpiHardwareSequencing, CycleRegistersWrittenDuringACycleGiveFcerr) {
  Board board;
  FlashBoard flash(board, Options("25Q32"));
  flash.SpiChip()->SetBusyReads(2, 50, 1);
  SetCapabilities(kCaps64);
  W32(spi::kFaddr, 0x10000);
  W16(spi::kHsfc, static_cast<uint16_t>(spi::hsfc::kFcycle.Of(spi::hsfc::kCycleErase) |
                                        spi::hsfc::kFgo.Of(1)));
  ASSERT_TRUE(R16(spi::kHsfs) & spi::hsfs::kScip.Mask());
  W32(spi::kFaddr, 0x20000);
  EXPECT_TRUE(R16(spi::kHsfs) & spi::hsfs::kFcerr.Mask());
  EXPECT_EQ(R32(spi::kFaddr), 0x10000u) << "the write was refused";
}

// ---- Software sequencing ----

TEST(SpiSoftwareSequencing, IdentifiesBothComponentsByTheAddressChoosingTheChipSelect) {
  Board board;
  FlashBoardOptions options = Options("25Q16");
  options.twoComponents = true;
  FlashBoard flash(board, options);
  LoadOpcodeMenu();
  W32(spi::kFdata0, 0);
  const CycleResult first = Software({0, 0, {}, 3, true, 0});
  EXPECT_TRUE(first.status & spi::ssfs::kCds.Mask());
  EXPECT_EQ(R32(spi::kFdata0), 0x001540EFu);
  EXPECT_EQ(R8(spi::kSsfs) & spi::ssfs::kWriteOneToClear, 0) << "CDS cleared by writing one";

  flash.SpiChip(1)->Array()[0] = 0x00;  // tell the parts apart by content
  Software({4, 0x200000, {}, 1, false, 0});  // 03h read with address, component 2
  EXPECT_EQ(R8(spi::kFdata0), 0x00);
  Software({4, 0x000000, {}, 1, false, 0});
  EXPECT_EQ(R8(spi::kFdata0), 0xFF);
}

TEST(SpiSoftwareSequencing, AtomicPrefixEnablesTheWriteAndTheControllerWaitsForThePart) {
  Board board;
  FlashBoardOptions options = Options("25Q32");
  options.descriptor = false;
  FlashBoard flash(board, options);
  flash.SpiChip()->SetBusyReads(4, 6, 1);
  LoadOpcodeMenu();

  // Without the atomic prefix nothing enables the write: the part drops the program.
  CycleResult plain = Software({2, 0x1000, {0x12}, 0, false, 0});
  EXPECT_TRUE(plain.status & spi::ssfs::kCds.Mask());
  EXPECT_EQ(flash.Contents()[0x1000], 0xFF);

  // With ACS and prefix 0 (06h) the byte lands, and SCIP holds while the part programs.
  CycleResult atomic = Software({2, 0x1000, {0x12}, 0, true, 0});
  EXPECT_TRUE(atomic.status & spi::ssfs::kCds.Mask());
  // The controller's first poll goes out with the command, then one per read of SSFS.
  EXPECT_EQ(atomic.busyReads, 3u);
  EXPECT_EQ(flash.Contents()[0x1000], 0x12);

  // Erase (menu 1, write with address, no data) with the prefix.
  Software({1, 0x1000, {}, 0, true, 0});
  EXPECT_EQ(flash.Contents()[0x1000], 0xFF);
  EXPECT_EQ(flash.Cycles().software, 3u);
}

TEST(SpiSoftwareSequencing, StatusWriteWithPrefixOneLiftsTheSstPowerUpProtection) {
  Board board;
  FlashBoardOptions options = Options("25VF032B");
  options.descriptor = false;
  FlashBoard flash(board, options);
  LoadOpcodeMenu();
  Software({2, 0x2000, {0x00}, 0, true, 0});
  EXPECT_EQ(flash.Contents()[0x2000], 0xFF) << "protected at power-up";

  Software({3, 0, {0x00}, 0, true, 1});  // 50h, then 01h 00h
  EXPECT_FALSE(flash.SpiChip()->IsProtected(0x2000));
  Software({2, 0x2000, {0x00}, 0, true, 0});
  EXPECT_EQ(flash.Contents()[0x2000], 0x00);

  Software({3, 0, {0x1C}, 0, true, 1});
  EXPECT_TRUE(flash.SpiChip()->IsProtected(0x2000));
  Software({5, 0, {}, 1, false, 0});  // 05h read status without address
  EXPECT_EQ(R8(spi::kFdata0) & 0x1C, 0x1C);
}

TEST(SpiSoftwareSequencing, MalformedRequestsEndWithFcerr) {
  Board board;
  FlashBoardOptions options = Options("25Q16");
  options.biosRegion = FlashRegion{0x100000, 0x1FFFFF};
  FlashBoard flash(board, options);
  LoadOpcodeMenu();
  const CycleResult beyond = Software({4, 0x200000, {}, 4, false, 0});
  EXPECT_TRUE(beyond.status & spi::ssfs::kFcerr.Mask());
  EXPECT_FALSE(beyond.status & spi::ssfs::kCds.Mask());
  const CycleResult descriptorWrite = Software({2, 0x20, {0x00}, 0, true, 0});
  EXPECT_TRUE(descriptorWrite.status & spi::ssfs::kFcerr.Mask());
  EXPECT_TRUE(descriptorWrite.status & spi::ssfs::kAel.Mask());
  EXPECT_EQ(flash.Contents()[0x20], 0xFF);
}

// ---- Injected faults ----

TEST(SpiFaults, ChosenCycleFailsWithFcerrOrAel) {
  Board board;
  FlashBoard flash(board, Options("GD25Q32B"));
  SetCapabilities(kCaps64);
  flash.Controller()->FailCycle(2, SpiHostController::CycleError::FlashCycleError);
  flash.Controller()->FailCycle(3, SpiHostController::CycleError::AccessErrorLog);
  EXPECT_TRUE(HardwareWrite(0x200000, {0x01}).status & spi::hsfs::kFdone.Mask());
  const CycleResult second = HardwareWrite(0x200001, {0x02});
  EXPECT_EQ(second.status & spi::hsfs::kWriteOneToClear, spi::hsfs::kFcerr.Mask());
  const CycleResult third = HardwareWrite(0x200002, {0x03});
  EXPECT_EQ(third.status & spi::hsfs::kWriteOneToClear,
            spi::hsfs::kFcerr.Mask() | spi::hsfs::kAel.Mask());
  EXPECT_TRUE(HardwareWrite(0x200003, {0x04}).status & spi::hsfs::kFdone.Mask());
  EXPECT_EQ(HardwareRead(0x200000, 4), (std::vector<uint8_t>{0x01, 0xFF, 0xFF, 0x04}));
}

TEST(SpiFaults, HungControllerAndNeverFinishingPartKeepScipSet) {
  {
    Board board;
    FlashBoard flash(board, Options("GD25Q32B"));
    flash.Controller()->HangFromCycle(1);
    const CycleResult result = Hardware(spi::hsfc::kCycleRead, 0, 4);
    EXPECT_EQ(result.busyReads, 10000u);
    EXPECT_TRUE(R16(spi::kHsfs) & spi::hsfs::kScip.Mask());
    EXPECT_FALSE(result.status & spi::hsfs::kFdone.Mask());
  }
  {
    Board board;
    FlashBoard flash(board, Options("GD25Q32B"));
    SetCapabilities(kCaps64);
    flash.SpiChip()->NeverFinish(true);
    const CycleResult result = Hardware(spi::hsfc::kCycleErase, 0x200000, 1);
    EXPECT_EQ(result.busyReads, 10000u);
    EXPECT_TRUE(R16(spi::kHsfs) & spi::hsfs::kScip.Mask());
  }
}

// ---- The BIOS window and the strap ----

struct WindowCase {
  const char *name;
  const char *part;
  uint32_t base;
  uint32_t limit;
};

class SpiBiosWindow : public ::testing::TestWithParam<WindowCase> {};

TEST_P(SpiBiosWindow, ShowsTheBiosRegionTopAlignedBelowFourGiB) {
  const WindowCase c = GetParam();
  Board board;
  FlashBoardOptions options = Options(c.part);
  options.biosRegion = FlashRegion{c.base, c.limit};
  FlashBoard flash(board, options);
  flash.LoadImage(Pattern(flash.FlashSize(), 0x21));
  const std::vector<uint8_t> contents = flash.Contents();
  const uint32_t size = c.limit - c.base + 1;
  EXPECT_EQ(hw::MmioLoad8(0xFFFFFFFF), contents[c.limit]);
  EXPECT_EQ(hw::MmioLoad8(0x100000000ull - size), contents[c.base]);
  EXPECT_EQ(hw::MmioLoad32(0xFFFFFFF0), contents[c.limit - 15] | contents[c.limit - 14] << 8 |
                                            contents[c.limit - 13] << 16 |
                                            static_cast<uint32_t>(contents[c.limit - 12]) << 24);
  const volatile uint8_t *bulk = hw::PhysicalToPointer(0x100000000ull - size, size);
  ASSERT_NE(bulk, nullptr);
  EXPECT_EQ(bulk[size / 2], contents[c.base + size / 2]);
  hw::MmioLoad8(0x100000000ull - size - 1);
  EXPECT_EQ(board.Faults().Count(sim::FaultKind::UnmappedMemory), 1u) << "nothing below it";
}

INSTANTIATE_TEST_SUITE_P(
    Regions, SpiBiosWindow,
    ::testing::Values(WindowCase{"TwoAndAHalfMiB", "GD25Q32B", 0x180000, 0x3FFFFF},
                      WindowCase{"OneAndAHalfMiB", "GD25Q32B", 0x280000, 0x3FFFFF},
                      WindowCase{"BelowTheTopOfThePart", "GD25Q32B", 0x100000, 0x2FFFFF},
                      WindowCase{"EightMiBPartAboveTheDescriptor", "GD25Q64B", 0x001000, 0x7FFFFF}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FlashBoardStrap, GcsReportsTheBusTheTableGivesThePart) {
  struct Case {
    const char *part;
    uint32_t bbs;
  };
  for (const Case c : {Case{"82802AC", 0}, Case{"39VF080", 0}, Case{"25DF321", 3},
                       Case{"GD25Q64B", 3}}) {
    Board board;
    FlashBoard flash(board, c.part);
    EXPECT_EQ((hw::MmioLoad32(kRcba + 0x3410) >> 10) & 3, c.bbs) << c.part;
  }
}

}  // namespace
