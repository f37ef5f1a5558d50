// One configuration space behind two doors: the 0xCF8/0xCFC ports and the memory window.
#include <gtest/gtest.h>

#include <string>

#include "platform_dxe/cpu/Instructions.h"
#include "sim/hw/Board.h"

namespace {

using sim::Board;
using sim::FaultKind;

constexpr UINT32 kEnable = 0x80000000u;
constexpr UINT32 kLpc = 0xF800;  // 0:31.0 in 0xCF8 layout
constexpr UINT64 kLpcWindow = 0xF0000000u + (31u << 15);

TEST(PciConfig, DataPortsAreTheByteLanesOfTheAddressedDword) {
  Board board;
  hw::Out32(0xCF8, kEnable | kLpc | 0x00);
  const UINT32 dword = hw::In32(0xCFC);
  EXPECT_EQ(dword, 0x3A188086u);
  EXPECT_EQ(hw::In16(0xCFC), 0x8086);
  EXPECT_EQ(hw::In16(0xCFE), 0x3A18);
  for (UINT16 lane = 0; lane < 4; ++lane) {
    EXPECT_EQ(hw::In8(0xCFC + lane), (dword >> (8 * lane)) & 0xFF) << "lane " << lane;
  }
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

TEST(PciConfig, PortsAndWindowReachTheSameRegisters) {
  Board board;
  // Written through the ports (one byte lane), read through the window.
  hw::Out32(0xCF8, kEnable | kLpc | 0x48);
  hw::Out8(0xCFD, 0x05);
  EXPECT_EQ(hw::MmioLoad32(kLpcWindow + 0x48), 0x00000501u);

  // Written through the window, read through the ports.
  hw::MmioStore32(kLpcWindow + 0xF0, 0xFED1C001);
  hw::Out32(0xCF8, kEnable | kLpc | 0xF0);
  EXPECT_EQ(hw::In32(0xCFC), 0xFED1C001u);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

TEST(PciConfig, AddressBitsOneAndZeroAreIgnoredAndReadZero) {
  Board board;
  board.Lpc().PresetBiosControl(0x2A);
  hw::Out32(0xCF8, kEnable | kLpc | 0xDE);
  EXPECT_EQ(hw::In32(0xCF8), kEnable | kLpc | 0xDC);
  EXPECT_EQ(hw::In8(0xCFC), 0x2A);  // lane 0 of dword 0xDC, not register 0xDE
  EXPECT_EQ(hw::In8(0xCFE), 0x00);
}

TEST(PciConfig, EnableBitClearLeavesConfigurationSpaceAlone) {
  Board board;
  hw::Out32(0xCF8, kLpc | 0x48);
  EXPECT_EQ(hw::In32(0xCFC), 0xFFFFFFFFu);
  hw::Out8(0xCFD, 0x05);
  EXPECT_EQ(board.Lpc().Peek32(0x48), 0x1u);
  EXPECT_EQ(board.Faults().Count(FaultKind::UnclaimedPort), 2u);
}

TEST(PciConfig, NarrowAccessToTheAddressPortIsNotTheAddressRegister) {
  Board board;
  hw::Out32(0xCF8, kEnable | kLpc);
  hw::Out8(0xCF9, 0x06);
  EXPECT_EQ(hw::In32(0xCF8), kEnable | kLpc);
  EXPECT_EQ(board.Faults().Count(FaultKind::UnclaimedPort), 1u);
}

struct AbsentCase {
  unsigned width;
  UINT32 expected;
};

class AbsentFunctionTest : public ::testing::TestWithParam<AbsentCase> {};

TEST_P(AbsentFunctionTest, ReadsAllOnesThroughBothDoorsWithoutFault) {
  Board board;
  const AbsentCase c = GetParam();
  const UINT32 address = (2u << 16) | (5u << 11) | (3u << 8);  // 2:5.3
  const UINT64 window = 0xF0000000u + (2u << 20) + (5u << 15) + (3u << 12);
  hw::Out32(0xCF8, kEnable | address);
  UINT32 viaPorts = 0, viaWindow = 0;
  switch (c.width) {
    case 8: viaPorts = hw::In8(0xCFC); viaWindow = hw::MmioLoad8(window); break;
    case 16: viaPorts = hw::In16(0xCFC); viaWindow = hw::MmioLoad16(window); break;
    case 32: viaPorts = hw::In32(0xCFC); viaWindow = hw::MmioLoad32(window); break;
  }
  EXPECT_EQ(viaPorts, c.expected);
  EXPECT_EQ(viaWindow, c.expected);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

INSTANTIATE_TEST_SUITE_P(Widths, AbsentFunctionTest,
                         ::testing::Values(AbsentCase{8, 0xFF}, AbsentCase{16, 0xFFFF},
                                           AbsentCase{32, 0xFFFFFFFF}),
                         [](const ::testing::TestParamInfo<AbsentCase> &info) {
                           return "Bits" + std::to_string(info.param.width);
                         });

TEST(PciConfig, WindowCoversSixtyFourBuses) {
  Board board;
  EXPECT_EQ(hw::MmioLoad32(0xF0000000u + (63u << 20)), 0xFFFFFFFFu);
  EXPECT_TRUE(board.Faults().Empty());
  EXPECT_EQ(hw::MmioLoad32(0xF0000000u + (64u << 20)), 0xFFFFFFFFu);
  EXPECT_EQ(board.Faults().Count(FaultKind::UnmappedMemory), 1u);
}

TEST(PciConfig, AddedFunctionKeepsOnlyItsWritableBits) {
  Board board;
  sim::PciFunction bridge(0x8086, 0x1234, 0x02, 0x060400, 0x01);
  bridge.SetWritable(0x18, 4, 0x00FFFFFF);
  board.Pci().Attach({0, 1, 0}, bridge);
  hw::MmioStore32(0xF0000000u + (1u << 15) + 0x18, 0xFFFFFFFF);
  hw::Out32(0xCF8, kEnable | (1u << 11) | 0x18);
  EXPECT_EQ(hw::In32(0xCFC), 0x00FFFFFFu);
  hw::Out32(0xCF8, kEnable | (1u << 11) | 0x08);
  EXPECT_EQ(hw::In32(0xCFC), 0x06040002u);
}

}  // namespace
