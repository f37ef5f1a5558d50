// The physical address space: mapped regions, unmapped addresses and bulk pointers.
#include <gtest/gtest.h>

#include "platform_dxe/cpu/Instructions.h"
#include "sim/hw/Board.h"

namespace {

using sim::Board;
using sim::FaultKind;

TEST(Memory, MappedWordReadsAndWritesAtEveryWidth) {
  Board board;
  sim::RamRegion &word = board.MapRam(0xFED30880, 4);
  word.Store32(0, 0x11223344);
  EXPECT_EQ(hw::MmioLoad32(0xFED30880), 0x11223344u);
  EXPECT_EQ(hw::MmioLoad16(0xFED30882), 0x1122u);
  EXPECT_EQ(hw::MmioLoad8(0xFED30881), 0x33u);
  hw::MmioStore8(0xFED30883, 0xAA);
  hw::MmioStore16(0xFED30880, 0xBBCC);
  EXPECT_EQ(word.Load32(0), 0xAA22BBCCu);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

TEST(Memory, UnmappedAndStraddlingAccessesFloatHighAndAreFaults) {
  Board board;
  board.MapRam(0x1000, 4);
  EXPECT_EQ(hw::MmioLoad8(0x2000), 0xFFu);
  EXPECT_EQ(hw::MmioLoad16(0x2000), 0xFFFFu);
  EXPECT_EQ(hw::MmioLoad32(0x1002), 0xFFFFFFFFu);  // runs past the region's end
  hw::MmioStore32(0x2000, 0);
  ASSERT_EQ(board.Faults().Count(FaultKind::UnmappedMemory), 4u);
  EXPECT_EQ(board.Faults().All()[2].address, 0x1002u);
  EXPECT_EQ(board.Faults().All()[2].width, 32u);
}

TEST(Memory, PhysicalToPointerNeedsOneBackedRegionHoldingTheWholeRange) {
  Board board;
  sim::RamRegion &region = board.MapRam(0xFF000000, 0x100, 0x5A);
  const volatile UINT8 *pointer = hw::PhysicalToPointer(0xFF000010, 0x10);
  ASSERT_NE(pointer, nullptr);
  EXPECT_EQ(pointer[0], 0x5A);
  region.Store8(0x10, 0x77);
  EXPECT_EQ(pointer[0], 0x77);

  EXPECT_EQ(hw::PhysicalToPointer(0xFF0000F0, 0x20), nullptr);  // runs off the end
  EXPECT_EQ(hw::PhysicalToPointer(0xFE000000, 1), nullptr);     // unmapped
  EXPECT_EQ(hw::PhysicalToPointer(0xF00F8000, 4), nullptr);     // registers, not memory
  EXPECT_TRUE(board.Log().All().empty());
}

}  // namespace
