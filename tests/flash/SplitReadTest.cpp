// How a read of an SPI part with hardware sequencing splits between the BIOS region's memory
// window (copied at once) and controller cycles (described as pieces). The window is the top
// of the BIOS region, at most 2.5 MiB, mapped so that its last byte is at 0xFFFFFFFF.
#include <gtest/gtest.h>

#include <vector>

#include "platform_dxe/ModuleState.h"
#include "platform_dxe/flash/FlashParts.h"
#include "platform_dxe/flash/FlashWindow.h"
#include "platform_dxe/flash/SpiRegisters.h"
#include "tests/platform_dxe/DxeTest.h"

namespace {

constexpr UINT64 kRegisterFile = 0xFED40000;  // the register block as plain memory
constexpr UINT8 kUntouched = 0xEE;

UINT8 FlashByte(UINT64 Linear) { return (UINT8)(Linear * 7 + (Linear >> 8) + 1); }

struct SplitCase {
  const char *Name;
  UINT64 RegionBase, RegionLimit;  // inclusive, linear
  UINT64 Linear, Length;
  UINT64 CopiedFirst, CopiedLength;  // linear range expected from the window
  std::vector<READ_PIECE> Pieces;    // Buffer fields as offsets into the caller's buffer
};

void PrintTo(const SplitCase &Case, std::ostream *Out) { *Out << Case.Name; }

class SplitReadTest : public dxe_test::DxeTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitReadTest, CopiesTheWindowPartAndDescribesTheRest) {
  const SplitCase &Case = GetParam();
  sim::RamRegion &Registers = Board.MapRam(kRegisterFile, 0x100);
  Registers.Store32(spi::Freg1::Offset,
                    (UINT32)((Case.RegionLimit >> 12) << 16 | (Case.RegionBase >> 12)));
  DxeModule.Flash.SpiBase = kRegisterFile;

  SPI_READ_WINDOW Window = SpiReadWindow();
  ASSERT_GT(Window.WindowSize, 0u);
  sim::RamRegion &Mapped = Board.MapRam(kFourGiB - Window.WindowSize, Window.WindowSize);
  for (UINT64 i = 0; i < Window.WindowSize; ++i) Mapped.Bytes()[i] = FlashByte(Window.WindowStart + i);

  std::vector<UINT8> Buffer(Case.Length, kUntouched);
  READ_PIECE Pieces[2] = {};
  EXPECT_EQ(SpiSplitRead(Case.Linear, Buffer.data(), Case.Length, Pieces), EFI_SUCCESS);

  for (UINT64 i = 0; i < Case.Length; ++i) {
    UINT64 Linear = Case.Linear + i;
    bool Copied = Linear >= Case.CopiedFirst && Linear < Case.CopiedFirst + Case.CopiedLength;
    ASSERT_EQ(Buffer[i], Copied ? FlashByte(Linear) : kUntouched) << "linear 0x" << std::hex << Linear;
  }
  for (size_t p = 0; p < 2; ++p) {
    SCOPED_TRACE(p);
    if (p < Case.Pieces.size()) {
      EXPECT_EQ(Pieces[p].Address, Case.Pieces[p].Address);
      EXPECT_EQ(Pieces[p].Buffer, Buffer.data() + (UINTN)Case.Pieces[p].Buffer);
      EXPECT_EQ(Pieces[p].Length, Case.Pieces[p].Length);
    } else {
      EXPECT_EQ(Pieces[p].Length, 0u);
    }
  }
}

READ_PIECE Piece(UINT64 Address, UINT64 BufferOffset, UINT64 Length) {
  return READ_PIECE{Address, (UINT8 *)(UINTN)BufferOffset, Length};
}

INSTANTIATE_TEST_SUITE_P(
    Regions, SplitReadTest,
    ::testing::Values(
        // 2.5 MiB region: the window is the whole region.
        SplitCase{"WholeFlashAround2_5MiBRegion", 0x180000, 0x3FFFFF, 0, 0x400000, 0x180000,
                  0x280000, {Piece(0, 0, 0x180000)}},
        SplitCase{"InsideWindow", 0x180000, 0x3FFFFF, 0x180000, 0x10, 0x180000, 0x10, {}},
        SplitCase{"StartsBelowWindow", 0x180000, 0x3FFFFF, 0x17FF80, 0x100, 0x180000, 0x80,
                  {Piece(0x17FF80, 0, 0x80)}},
        // 1.5 MiB region: the window starts at the region's base, not 1 MiB below it.
        SplitCase{"SmallRegionStartsBelow", 0x280000, 0x3FFFFF, 0x27FF80, 0x100, 0x280000, 0x80,
                  {Piece(0x27FF80, 0, 0x80)}},
        SplitCase{"SmallRegionInside", 0x280000, 0x3FFFFF, 0x280000, 0x40, 0x280000, 0x40, {}},
        // 4 MiB region: only its top 2.5 MiB are mapped.
        SplitCase{"LargeRegionBelowWindow", 0, 0x3FFFFF, 0x100000, 0x10, 0, 0,
                  {Piece(0x100000, 0, 0x10)}},
        SplitCase{"LargeRegionTop", 0, 0x3FFFFF, 0x3FFFF0, 0x10, 0x3FFFF0, 0x10, {}},
        // A region that does not end at the top of the flash.
        SplitCase{"EndsAboveWindow", 0x100000, 0x2FFFFF, 0x2FFFF0, 0x20, 0x2FFFF0, 0x10,
                  {Piece(0x300000, 0x10, 0x10)}},
        SplitCase{"CoversWindow", 0x200000, 0x27FFFF, 0x1FFFF0, 0x80020, 0x200000, 0x80000,
                  {Piece(0x1FFFF0, 0, 0x10), Piece(0x280000, 0x80010, 0x10)}},
        SplitCase{"AboveWindow", 0x200000, 0x27FFFF, 0x280000, 0x30, 0, 0,
                  {Piece(0x280000, 0, 0x30)}}),
    [](const ::testing::TestParamInfo<SplitCase> &Info) { return Info.param.Name; });

using SplitReadWithoutRegion = dxe_test::DxeTest;

TEST_F(SplitReadWithoutRegion, EverythingGoesThroughCycles) {
  sim::RamRegion &Registers = Board.MapRam(kRegisterFile, 0x100);
  Registers.Store32(spi::Freg1::Offset, 0x00001FFF);  // base above limit: region unused
  DxeModule.Flash.SpiBase = kRegisterFile;
  EXPECT_EQ(SpiReadWindow().WindowSize, 0u);

  std::vector<UINT8> Buffer(0x40, kUntouched);
  READ_PIECE Pieces[2] = {};
  SpiSplitRead(0x3FFFC0, Buffer.data(), Buffer.size(), Pieces);
  EXPECT_EQ(Pieces[0].Address, 0x3FFFC0u);
  EXPECT_EQ(Pieces[0].Length, 0x40u);
  EXPECT_EQ(Pieces[1].Length, 0u);
  EXPECT_EQ(Buffer, std::vector<UINT8>(0x40, kUntouched));
}

}  // namespace
