// The I/O port bus and the simple port devices, driven through the instruction seam.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform_dxe/cpu/Instructions.h"
#include "sim/hw/Board.h"

namespace {

using sim::Access;
using sim::Board;
using sim::FaultKind;

struct UnclaimedCase {
  unsigned width;
  uint32_t expected;
};

class UnclaimedPortTest : public ::testing::TestWithParam<UnclaimedCase> {};

TEST_P(UnclaimedPortTest, ReadFloatsHighWriteIsDroppedAndBothAreFaults) {
  Board board;
  const UnclaimedCase c = GetParam();
  uint32_t value = 0;
  switch (c.width) {
    case 8: value = hw::In8(0x300); hw::Out8(0x300, 0x12); break;
    case 16: value = hw::In16(0x300); hw::Out16(0x300, 0x1234); break;
    case 32: value = hw::In32(0x300); hw::Out32(0x300, 0x12345678); break;
  }
  EXPECT_EQ(value, c.expected);
  ASSERT_EQ(board.Faults().Count(FaultKind::UnclaimedPort), 2u) << board.Faults().Describe();
  EXPECT_EQ(board.Faults().All()[0].address, 0x300u);
  EXPECT_EQ(board.Faults().All()[0].width, c.width);
}

INSTANTIATE_TEST_SUITE_P(Widths, UnclaimedPortTest,
                         ::testing::Values(UnclaimedCase{8, 0xFF}, UnclaimedCase{16, 0xFFFF},
                                           UnclaimedCase{32, 0xFFFFFFFF}),
                         [](const ::testing::TestParamInfo<UnclaimedCase> &info) {
                           return "Bits" + std::to_string(info.param.width);
                         });

TEST(PortBus, WideAccessOverClaimedAndUnclaimedPortsSplitsIntoBytes) {
  Board board;
  hw::Out16(0x80, 0x1234);  // 0x80 is the POST code port, 0x81 nobody's
  EXPECT_EQ(board.PostCodes().Codes(), std::vector<uint8_t>{0x34});
  EXPECT_EQ(hw::In16(0x80), 0xFF34);
  EXPECT_EQ(board.Faults().Count(FaultKind::UnclaimedPort), 2u);
}

TEST(Cmos, IndexBitSevenIsTheNmiMaskAndDoesNotSelect) {
  Board board;
  board.Cmos().SetByte(0x0E, 0x5A);
  hw::Out8(0x70, 0x8E);
  EXPECT_EQ(hw::In8(0x71), 0x5A);
  EXPECT_TRUE(board.Cmos().NmiMasked());
  EXPECT_EQ(board.Cmos().IndexLatch(), 0x8E);

  hw::Out8(0x71, 0xC3);
  EXPECT_EQ(board.Cmos().Byte(0x0E), 0xC3);
  EXPECT_EQ(board.Cmos().Byte(0x8E), 0xC3);  // the direct accessor masks the same way

  hw::Out8(0x70, 0x0E);
  EXPECT_FALSE(board.Cmos().NmiMasked());
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

TEST(Cmos, PowersOnWithNmiSourcesDisabledAndIndexZero) {
  Board board;
  EXPECT_TRUE(board.Cmos().NmiMasked());
  EXPECT_EQ(hw::In8(0x74), 0x00);
  EXPECT_FALSE(board.Cmos().AlternateAccessMode());
  EXPECT_FALSE(board.Cmos().UpperBankEnabled());
}

// Port 0x70 holds NMI_EN and the index but is write-only: only alternate access mode reads
// them back. The alias at 0x74 always reads the index, never NMI_EN.
struct IndexReadCase {
  const char *name;
  uint8_t written;
  bool alternateAccess;
  uint8_t port70;
  uint8_t port74;
};
void PrintTo(const IndexReadCase &c, std::ostream *out) { *out << c.name; }

class CmosIndexReadTest : public ::testing::TestWithParam<IndexReadCase> {};

TEST_P(CmosIndexReadTest, ReturnsWhatTheChipsetLetsThrough) {
  Board board;
  const IndexReadCase &c = GetParam();
  board.Cmos().SetAlternateAccessMode(c.alternateAccess);
  hw::Out8(0x70, c.written);
  EXPECT_EQ(hw::In8(0x70), c.port70);
  EXPECT_EQ(hw::In8(0x74), c.port74);
  EXPECT_EQ(board.Cmos().IndexLatch(), c.written);  // reading changed nothing
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

INSTANTIATE_TEST_SUITE_P(
    Reads, CmosIndexReadTest,
    ::testing::Values(IndexReadCase{"MaskedNormalMode", 0x8E, false, 0xFF, 0x0E},
                      IndexReadCase{"EnabledNormalMode", 0x0E, false, 0xFF, 0x0E},
                      IndexReadCase{"ZeroNormalMode", 0x00, false, 0xFF, 0x00},
                      IndexReadCase{"MaskedAlternateAccess", 0x8E, true, 0x8E, 0x0E},
                      IndexReadCase{"EnabledAlternateAccess", 0x0E, true, 0x0E, 0x0E},
                      IndexReadCase{"TopIndexAlternateAccess", 0x7F, true, 0x7F, 0x7F}),
    [](const ::testing::TestParamInfo<IndexReadCase> &info) { return info.param.name; });

TEST(Cmos, AliasIndexPortMovesTheIndexButNeverNmiEnable) {
  Board board;
  board.Cmos().SetByte(0x05, 0x55);
  hw::Out8(0x70, 0x0E);  // NMI sources enabled
  hw::Out8(0x74, 0x85);  // bit 7 here is not NMI_EN
  EXPECT_FALSE(board.Cmos().NmiMasked());
  EXPECT_EQ(hw::In8(0x75), 0x55);
  EXPECT_EQ(hw::In8(0x71), 0x55);  // one index behind both data ports
  hw::Out8(0x75, 0xA1);
  EXPECT_EQ(board.Cmos().Byte(0x05), 0xA1);
}

// What a driver that keeps the NMI mask does: read 0x70, write (old & 0x80) | index. Outside
// alternate access mode the read floats high, so the write always disables NMI sources.
struct NmiKeepCase {
  const char *name;
  bool alternateAccess;
  uint8_t preset;
  bool maskedAfter;
};
void PrintTo(const NmiKeepCase &c, std::ostream *out) { *out << c.name; }

class CmosNmiPreserveTest : public ::testing::TestWithParam<NmiKeepCase> {};

TEST_P(CmosNmiPreserveTest, ReadModifyWriteOfPort70KeepsTheMaskOnlyInAlternateAccessMode) {
  Board board;
  const NmiKeepCase &c = GetParam();
  board.Cmos().SetAlternateAccessMode(c.alternateAccess);
  board.Cmos().PresetIndexLatch(c.preset);
  board.Cmos().SetByte(0x40, 0x77);
  const uint8_t old = hw::In8(0x70);
  hw::Out8(0x70, static_cast<uint8_t>((old & 0x80) | 0x40));
  EXPECT_EQ(hw::In8(0x71), 0x77);
  EXPECT_EQ(board.Cmos().NmiMasked(), c.maskedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Latches, CmosNmiPreserveTest,
    ::testing::Values(NmiKeepCase{"AlternateAccessMasked", true, 0x80, true},
                      NmiKeepCase{"AlternateAccessEnabled", true, 0x00, false},
                      NmiKeepCase{"AlternateAccessMaskedIndex0D", true, 0x8D, true},
                      NmiKeepCase{"NormalModeMasked", false, 0x80, true},
                      NmiKeepCase{"NormalModeEnabledEndsMasked", false, 0x00, true}),
    [](const ::testing::TestParamInfo<NmiKeepCase> &info) { return info.param.name; });

TEST(Cmos, UpperBankThroughPorts72And76WhenEnabled) {
  Board board;
  board.Cmos().SetUpperBankEnabled(true);
  board.Cmos().SetByte(0x10, 0x11);
  board.Cmos().SetUpperByte(0x10, 0x22);
  hw::Out8(0x70, 0x0E);  // NMI sources enabled; the upper index must not touch them

  hw::Out8(0x72, 0x10);
  EXPECT_EQ(hw::In8(0x73), 0x22);
  hw::Out8(0x73, 0x33);
  EXPECT_EQ(board.Cmos().UpperByte(0x10), 0x33);
  EXPECT_EQ(board.Cmos().Byte(0x10), 0x11);

  hw::Out8(0x76, 0x90);  // index bits 6:0 only: byte 0x10 of the upper bank again
  EXPECT_EQ(hw::In8(0x76), 0x10);
  EXPECT_EQ(hw::In8(0x77), 0x33);
  hw::Out8(0x72, 0x7F);
  hw::Out8(0x73, 0x44);
  EXPECT_EQ(board.Cmos().UpperByte(0x7F), 0x44);

  EXPECT_FALSE(board.Cmos().NmiMasked());
  EXPECT_EQ(board.Cmos().IndexLatch(), 0x0E);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

TEST(Cmos, WithTheUpperBankDisabledItsPortsAliasTheStandardOnes) {
  Board board;
  board.Cmos().SetByte(0x20, 0x5A);
  board.Cmos().SetUpperByte(0x20, 0xA5);

  hw::Out8(0x72, 0x20);  // as 0x70: NMI_EN follows bit 7
  EXPECT_FALSE(board.Cmos().NmiMasked());
  EXPECT_EQ(hw::In8(0x72), 0xFF);  // as 0x70: write-only
  EXPECT_EQ(hw::In8(0x73), 0x5A);

  hw::Out8(0x76, 0xA0);  // as 0x74: index only
  EXPECT_FALSE(board.Cmos().NmiMasked());
  EXPECT_EQ(hw::In8(0x76), 0x20);
  hw::Out8(0x77, 0x3C);
  EXPECT_EQ(board.Cmos().Byte(0x20), 0x3C);
  EXPECT_EQ(board.Cmos().UpperByte(0x20), 0xA5);
}

TEST(Cmos, ClockStatusRegistersAreNotPlainRam) {
  Board board;
  board.Cmos().SetByte(0x0C, 0xC0);  // interrupt flags pending
  hw::Out8(0x70, 0x0C);
  EXPECT_EQ(hw::In8(0x71), 0xC0);
  EXPECT_EQ(hw::In8(0x71), 0x00);  // reading register C clears it
  hw::Out8(0x71, 0xFF);
  EXPECT_EQ(board.Cmos().Byte(0x0C), 0x00);

  hw::Out8(0x70, 0x0D);
  hw::Out8(0x71, 0x00);
  EXPECT_EQ(hw::In8(0x71), 0x80);  // valid RAM and time, read-only

  hw::Out8(0x70, 0x0A);
  hw::Out8(0x71, 0xA6);
  EXPECT_EQ(hw::In8(0x71), 0x26);  // update-in-progress is the clock's, not the writer's
}

TEST(IndexDataPorts, SelectsBytesThroughAnyTwoPorts) {
  Board board;
  sim::IndexDataPorts &pair = board.AddIndexDataPorts(0x4E, 0x2F, 16);
  pair.SetByte(3, 0x99);
  hw::Out8(0x4E, 3);
  EXPECT_EQ(hw::In8(0x2F), 0x99);
  EXPECT_EQ(hw::In8(0x4E), 3);
  hw::Out8(0x2F, 0x42);
  EXPECT_EQ(pair.Byte(3), 0x42);

  hw::Out8(0x4E, 16);  // past the array
  EXPECT_EQ(hw::In8(0x2F), 0xFF);
  hw::Out8(0x2F, 0x00);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

TEST(PostCodes, EveryByteWrittenIsKeptInOrder) {
  Board board;
  for (uint8_t code : {0x10, 0x20, 0x20, 0xA0}) hw::Out8(0x80, code);
  EXPECT_EQ(board.PostCodes().Codes(), (std::vector<uint8_t>{0x10, 0x20, 0x20, 0xA0}));
  EXPECT_EQ(hw::In8(0x80), 0xA0);
}

TEST(AccessLog, RecordsEveryOperationInOrder) {
  Board board;
  hw::Out8(0x80, 0x01);
  const size_t mark = board.Log().Mark();
  const UINTN flags = hw::ReadFlags();
  hw::Cli();
  hw::Out32(0xCF8, 0x8000F8DC);
  const UINT8 biosControl = hw::In8(0xCFC);
  UINT32 eax, edx;
  hw::Rdmsr(0x2FF, &eax, &edx);
  hw::Sti();
  hw::Hlt();

  const std::vector<Access> expected = {
      Access::FlagsRead(flags),
      Access::Plain(sim::AccessKind::Cli),
      Access::IoWrite(0xCF8, 32, 0x8000F8DC),
      Access::IoRead(0xCFC, 8, biosControl),
      Access::MsrRead(0x2FF, 0xC06),
      Access::Plain(sim::AccessKind::Sti),
      Access::Plain(sim::AccessKind::Hlt),
  };
  EXPECT_EQ(board.Log().Since(mark), expected) << sim::Describe(board.Log().Since(mark));
  EXPECT_EQ(board.Log().ValuesWrittenToPort(0xCF8), std::vector<uint32_t>{0x8000F8DC});
  EXPECT_EQ(board.Log().Size(), expected.size() + 1);

  board.Log().Clear();
  EXPECT_EQ(board.Log().Size(), 0u);
}

TEST(BoardLifetime, HardwareAccessWithoutABoardAborts) {
  EXPECT_DEATH(hw::In8(0x80), "no current board");
}

TEST(BoardLifetime, ASecondBoardAbortsAndTheFirstStopsBeingCurrentWhenDestroyed) {
  {
    Board board;
    EXPECT_EQ(Board::CurrentOrNull(), &board);
    EXPECT_DEATH(Board second, "already current");
  }
  EXPECT_EQ(Board::CurrentOrNull(), nullptr);
}

}  // namespace
