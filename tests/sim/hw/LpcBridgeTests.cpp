// The LPC bridge's registers and the windows they place, through the instruction seam.
#include <gtest/gtest.h>

#include "platform_dxe/cpu/Instructions.h"
#include "sim/hw/Board.h"

namespace {

using sim::BiosWritePolicy;
using sim::Board;
using sim::FaultKind;

constexpr UINT32 kEnable = 0x80000000u;
constexpr UINT32 kLpc = 0xF800;
constexpr UINT64 kLpcWindow = 0xF00F8000u;

void WriteConfig8(UINT32 reg, UINT8 value) {
  hw::Out32(0xCF8, kEnable | kLpc | reg);
  hw::Out8(static_cast<UINT16>(0xCFC + (reg & 3)), value);
}

UINT8 ReadConfig8(UINT32 reg) {
  hw::Out32(0xCF8, kEnable | kLpc | reg);
  return hw::In8(static_cast<UINT16>(0xCFC + (reg & 3)));
}

void WriteConfig32(UINT32 reg, UINT32 value) {
  hw::Out32(0xCF8, kEnable | kLpc | reg);
  hw::Out32(0xCFC, value);
}

UINT32 ReadConfig32(UINT32 reg) {
  hw::Out32(0xCF8, kEnable | kLpc | reg);
  return hw::In32(0xCFC);
}

struct BiosControlCase {
  const char *name;
  UINT8 preset;
  UINT8 written;
  UINT8 expected;
  unsigned smis;
};

void PrintTo(const BiosControlCase &c, std::ostream *out) { *out << c.name; }

class BiosControlTest : public ::testing::TestWithParam<BiosControlCase> {};

TEST_P(BiosControlTest, WriteThroughConfigPorts) {
  Board board;
  const BiosControlCase c = GetParam();
  board.Lpc().PresetBiosControl(c.preset);
  WriteConfig8(0xDC, c.written);
  EXPECT_EQ(ReadConfig8(0xDC), c.expected);
  EXPECT_EQ(board.Smi().SmiCount(), c.smis);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

INSTANTIATE_TEST_SUITE_P(
    Bits, BiosControlTest,
    ::testing::Values(
        BiosControlCase{"WriteEnableSets", 0x00, 0x01, 0x01, 0},
        BiosControlCase{"WriteEnableClears", 0x01, 0x00, 0x00, 0},
        BiosControlCase{"ReadConfigIsReadWrite", 0x04, 0x08, 0x08, 0},
        BiosControlCase{"LockEnableCannotBeCleared", 0x02, 0x00, 0x02, 0},
        BiosControlCase{"SmmProtectCannotBeCleared", 0x20, 0x00, 0x20, 0},
        BiosControlCase{"TopSwapIsReadOnlySet", 0x10, 0x00, 0x10, 0},
        BiosControlCase{"TopSwapIsReadOnlyClear", 0x00, 0x10, 0x00, 0},
        BiosControlCase{"ReservedBitsReadZero", 0x00, 0xC0, 0x00, 0},
        BiosControlCase{"AllOnesSetsTheLocksWithoutSmi", 0x00, 0xFF, 0x2F, 0},
        BiosControlCase{"WriteEnableUnderLockIsRefused", 0x02, 0x03, 0x02, 1},
        BiosControlCase{"AlreadyEnabledUnderLockNoSmi", 0x03, 0x03, 0x03, 0},
        BiosControlCase{"ClearingUnderLockNoSmi", 0x03, 0x02, 0x02, 0}),
    [](const ::testing::TestParamInfo<BiosControlCase> &info) { return info.param.name; });

TEST(BiosControl, HandlerThatAllowsLeavesWriteEnableSet) {
  Board board;
  board.Smi().SetBiosWritePolicy(BiosWritePolicy::Allow);
  board.Lpc().PresetBiosControl(0x02);
  hw::MmioStore8(kLpcWindow + 0xDC, 0x03);
  EXPECT_EQ(hw::MmioLoad8(kLpcWindow + 0xDC), 0x03);
  EXPECT_EQ(board.Smi().SmiCount(), 1u);
}

TEST(BiosControl, CustomHandlerRunsBeforeTheNextInstruction) {
  Board board;
  UINT8 seenByHandler = 0;
  board.Smi().SetHandler([&](sim::SmiSource source) {
    EXPECT_EQ(source, sim::SmiSource::BiosWriteEnable);
    seenByHandler = board.Lpc().BiosControl();
  });
  board.Lpc().PresetBiosControl(0x22);
  WriteConfig8(0xDC, 0x23);
  EXPECT_EQ(seenByHandler, 0x23);
  EXPECT_EQ(ReadConfig8(0xDC), 0x23);
}

TEST(GpioBase, BitZeroIsHardWiredAndOnlyTheBaseFieldIsWritable) {
  Board board;
  EXPECT_EQ(ReadConfig32(0x48), 0x00000001u);
  WriteConfig32(0x48, 0x00000000);
  EXPECT_EQ(ReadConfig32(0x48), 0x00000001u);
  WriteConfig32(0x48, 0xFFFFFFFF);
  EXPECT_EQ(ReadConfig32(0x48), 0x0000FF81u);
}

TEST(GpioBlock, FollowsGpioBaseAndDecodesOnlyWhileEnabled) {
  Board board;
  board.Gpio().SetPinLevels(1, 0xA5A50F0F);
  WriteConfig32(0x48, 0x500);
  EXPECT_EQ(hw::In32(0x538), 0xFFFFFFFFu);  // GPIO_EN still clear
  EXPECT_EQ(board.Faults().Count(FaultKind::UnclaimedPort), 1u);
  board.Faults().Clear();

  WriteConfig8(0x4C, 0x10);
  EXPECT_EQ(hw::In32(0x538), 0xA5A50F0Fu);
  EXPECT_EQ(hw::In8(0x53B), 0xA5);

  WriteConfig32(0x48, 0x480);
  EXPECT_EQ(hw::In32(0x4B8), 0xA5A50F0Fu);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
  EXPECT_EQ(hw::In32(0x538), 0xFFFFFFFFu);
  EXPECT_EQ(board.Faults().Count(FaultKind::UnclaimedPort), 1u);
}

TEST(GpioBlock, LevelReadsPinsForInputsAndTheLatchForOutputs) {
  Board board;
  board.Lpc().PresetGpioBase(0x500);
  board.Gpio().SetPinLevels(1, 0x0000FFFF);
  hw::Out32(0x534, 0xFFFF0000);  // GP_IO_SEL2: upper half inputs, lower half outputs
  hw::Out32(0x538, 0x12345678);
  EXPECT_EQ(hw::In32(0x538), 0x00005678u);
  board.Gpio().SetPinLevel(63, true);
  EXPECT_EQ(hw::In32(0x538), 0x80005678u);
}

TEST(GpioBlock, EarlyBootReadOfGpioBaseThroughTheWindow) {
  Board board;
  board.Lpc().PresetGpioBase(0x800);
  board.Gpio().SetPinLevel(40, true);
  const UINT32 base = hw::MmioLoad32(0xF00F8048) & 0xFF80;
  EXPECT_EQ(base, 0x800u);
  EXPECT_EQ(hw::In32(static_cast<UINT16>(base + 0x38)), 1u << 8);
}

TEST(GpioBlock, MovingOntoAnotherDevicesPortsIsADecodeConflict) {
  Board board;
  board.Lpc().PresetGpioBase(0x0000);  // would cover the CMOS and POST code ports
  EXPECT_EQ(board.Faults().Count(FaultKind::DecodeConflict), 1u);
  board.Cmos().SetByte(1, 0x11);
  hw::Out8(0x70, 1);
  EXPECT_EQ(hw::In8(0x71), 0x11);
}

TEST(Rcba, ChipsetRegisterBlockDecodesAtRcbaWhileEnabled) {
  Board board;
  sim::RamRegion spi(0x100);
  ASSERT_TRUE(board.Rcba().Attach(0x3800, 0x100, spi));
  spi.Store32(0x04, 0xCAFE0001);

  WriteConfig32(0xF0, 0xFED1C000);  // base, not yet enabled
  EXPECT_EQ(hw::MmioLoad32(0xFED1F804), 0xFFFFFFFFu);
  EXPECT_EQ(board.Faults().Count(FaultKind::UnmappedMemory), 1u);

  WriteConfig32(0xF0, 0xFED1C001);
  EXPECT_EQ(ReadConfig32(0xF0), 0xFED1C001u);
  EXPECT_EQ(hw::MmioLoad32(0xFED1F804), 0xCAFE0001u);
  EXPECT_EQ(hw::MmioLoad32(0xFED1C000), 0xFFFFFFFFu);  // nothing attached there
  EXPECT_EQ(board.Faults().Count(FaultKind::UnmappedMemory), 2u);
}

}  // namespace
