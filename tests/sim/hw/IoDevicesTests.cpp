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
  EXPECT_EQ(hw::In8(0x70), 0x8E);  // the latch reads back whole, NMI bit included

  hw::Out8(0x71, 0xC3);
  EXPECT_EQ(board.Cmos().Byte(0x0E), 0xC3);
  EXPECT_EQ(board.Cmos().Byte(0x8E), 0xC3);  // the direct accessor masks the same way
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

// What a driver that keeps the NMI mask does: read 0x70, write (old & 0x80) | index.
class CmosNmiPreserveTest : public ::testing::TestWithParam<uint8_t> {};

TEST_P(CmosNmiPreserveTest, ReadModifyWriteOfTheIndexKeepsTheMask) {
  Board board;
  const uint8_t preset = GetParam();
  board.Cmos().PresetIndexLatch(preset);
  board.Cmos().SetByte(0x40, 0x77);
  const uint8_t old = hw::In8(0x70);
  hw::Out8(0x70, static_cast<uint8_t>((old & 0x80) | 0x40));
  EXPECT_EQ(hw::In8(0x71), 0x77);
  EXPECT_EQ(board.Cmos().IndexLatch() & 0x80, preset & 0x80);
}

INSTANTIATE_TEST_SUITE_P(Latches, CmosNmiPreserveTest, ::testing::Values(0x80, 0x00, 0x8D),
                         [](const ::testing::TestParamInfo<uint8_t> &info) {
                           char name[16];
                           std::snprintf(name, sizeof(name), "Latch0x%02X", info.param);
                           return std::string(name);
                         });

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
