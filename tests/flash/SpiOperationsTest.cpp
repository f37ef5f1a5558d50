// SPI erase, program and read with a valid descriptor (hardware sequencing) on a 4 MiB part:
// how many controller cycles each request costs, and which bytes change.
#include <gtest/gtest.h>

#include <random>

#include "tests/flash/FlashBoardTest.h"

namespace flash_test {
namespace {

constexpr UINT64 kFourMiB = 0x400000;

class SpiOperationsTest : public FlashBoardTest {
 protected:
  FLASH_PART_RECORD *FitPart(UINT32 BiosBase, UINT32 BiosLimit) {
    sim::FlashBoardOptions Options = FlashBoardTest::Options("GD25Q32B");
    Options.biosRegion = sim::FlashRegion{BiosBase, BiosLimit};
    Fit(Options);
    Flash->LoadImage(PatternImage(kFourMiB, 7));
    Original = Flash->Contents();
    Services->SetFlashWriteEnable(TRUE);
    FLASH_PART_RECORD *Part = Detect();
    Flash->Controller()->ClearCycleCounts();
    return Part;
  }
  std::vector<UINT8> Original;
};

struct ReadCase {
  const char *Name;
  UINT32 BiosBase, BiosLimit;
  UINT64 Linear, Length;
  unsigned Cycles;
};

void PrintTo(const ReadCase &Case, std::ostream *Out) { *Out << Case.Name; }

class SpiReadTest : public SpiOperationsTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SpiReadTest, ReadsTheFlashWithTheFewestCycles) {
  const ReadCase &Case = GetParam();
  FLASH_PART_RECORD *Part = FitPart(Case.BiosBase, Case.BiosLimit);
  ASSERT_NE(Part, nullptr);
  std::vector<UINT8> Buffer(Case.Length);
  ASSERT_EQ(Part->Read(Buffer.data(), FlashBase() + Case.Linear, Case.Length), EFI_SUCCESS);
  Board.Log().Clear();
  EXPECT_EQ(Flash->Cycles().hardwareReads, Case.Cycles);
  EXPECT_EQ(Flash->Cycles().Total(), Case.Cycles);
  EXPECT_TRUE(std::equal(Buffer.begin(), Buffer.end(), Original.begin() + Case.Linear));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SpiReadTest,
    ::testing::Values(
        // 2.5 MiB BIOS region from 0x180000: the window is the whole region.
        ReadCase{"WholeFlash", 0x180000, 0x3FFFFF, 0, kFourMiB, 24576},
        ReadCase{"InsideWindow", 0x180000, 0x3FFFFF, 0x180000, 0x10, 0},
        ReadCase{"StartsBelowWindow", 0x180000, 0x3FFFFF, 0x17FF80, 0x100, 2},
        ReadCase{"BelowWindowWithShortTail", 0x180000, 0x3FFFFF, 0x1000, 100, 2},
        // 1.5 MiB region: its base shows at 0xFFE80000; everything below takes cycles.
        ReadCase{"WholeFlashSmallRegion", 0x280000, 0x3FFFFF, 0, kFourMiB, 40960},
        ReadCase{"SmallRegionBase", 0x280000, 0x3FFFFF, 0x280000, 0x1000, 0},
        // A region reaching down to 4 KiB: only its top 2.5 MiB is a window.
        ReadCase{"LargeRegionBelowWindow", 0x1000, 0x3FFFFF, 0x100000, 0x80, 2},
        ReadCase{"LargeRegionTop", 0x1000, 0x3FFFFF, 0x3FFF00, 0x100, 0}),
    [](const ::testing::TestParamInfo<ReadCase> &Info) { return Info.param.Name; });

struct ProgramCase {
  const char *Name;
  UINT64 Linear, Length;
  unsigned Cycles;
};

void PrintTo(const ProgramCase &Case, std::ostream *Out) { *Out << Case.Name; }

class SpiProgramTest : public SpiOperationsTest,
                       public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(SpiProgramTest, WritesIn64ByteAlignedBlocks) {
  const ProgramCase &Case = GetParam();
  FLASH_PART_RECORD *Part = FitPart(0x1000, 0x3FFFFF);
  ASSERT_NE(Part, nullptr);
  ASSERT_EQ(Part->Erase(FlashBase() + ((Case.Linear - 1) & ~0xFFFull), 0x3000), EFI_SUCCESS);
  Flash->Controller()->ClearCycleCounts();
  std::vector<UINT8> Data = PatternImage(Case.Length, 3);
  UINT64 Count = Case.Length;
  ASSERT_EQ(Part->Program(FlashBase() + Case.Linear, Data.data(), &Count, 0), EFI_SUCCESS);
  EXPECT_EQ(Count, Case.Length);
  EXPECT_EQ(Flash->Cycles().hardwareWrites, Case.Cycles);
  std::vector<UINT8> After = Flash->Contents();
  EXPECT_TRUE(std::equal(Data.begin(), Data.end(), After.begin() + Case.Linear));
  EXPECT_EQ(After[Case.Linear - 1], 0xFF);
  EXPECT_EQ(After[Case.Linear + Case.Length], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(Blocks, SpiProgramTest,
                         ::testing::Values(ProgramCase{"Unaligned100Bytes", 0x1030, 100, 3},
                                           ProgramCase{"OneWholeBlock", 0x2040, 64, 1},
                                           ProgramCase{"OneByte", 0x2FFF, 1, 1},
                                           ProgramCase{"AcrossTwoBlocks", 0x203F, 2, 2},
                                           ProgramCase{"TwentyBlocksAligned", 0x2000, 1280, 20},
                                           ProgramCase{"TwentyBlocksShifted", 0x2010, 1280, 21}),
                         [](const ::testing::TestParamInfo<ProgramCase> &Info) {
                           return Info.param.Name;
                         });

struct EraseCase {
  const char *Name;
  UINT64 Linear;   // as the client gives it
  INT64 Length;
  UINT64 FirstUnit;  // linear; the units erased are consecutive
  unsigned Units;
};

void PrintTo(const EraseCase &Case, std::ostream *Out) { *Out << Case.Name; }

class SpiEraseTest : public SpiOperationsTest, public ::testing::WithParamInterface<EraseCase> {};

TEST_P(SpiEraseTest, ErasesTheUnitsInBoundsCoveringTheAlignedRange) {
  const EraseCase &Case = GetParam();
  FLASH_PART_RECORD *Part = FitPart(0x180000, 0x3FFFFF);
  ASSERT_NE(Part, nullptr);
  ASSERT_EQ(Part->Erase(FlashBase() + Case.Linear, (UINT64)Case.Length), EFI_SUCCESS);
  EXPECT_EQ(Flash->Cycles().hardwareErases, Case.Units);
  std::vector<UINT8> After = Flash->Contents();
  for (UINT64 i = 0; i < kFourMiB; i += 0x1000) {
    bool Erased = i >= Case.FirstUnit && i < Case.FirstUnit + Case.Units * 0x1000ull;
    std::vector<UINT8> Expected =
        Erased ? std::vector<UINT8>(0x1000, 0xFF)
               : std::vector<UINT8>(Original.begin() + i, Original.begin() + i + 0x1000);
    ASSERT_TRUE(std::equal(Expected.begin(), Expected.end(), After.begin() + i))
        << "unit at 0x" << std::hex << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Alignment, SpiEraseTest,
    ::testing::Values(EraseCase{"UnalignedStartOneUnit", 0x200800, 0x1000, 0x200000, 1},
                      EraseCase{"OneByteOverAUnit", 0x200000, 0x1001, 0x200000, 2},
                      EraseCase{"StraddlingLowerBound", 0x17F000, 0x2000, 0x180000, 1},
                      EraseCase{"WhollyBelowBounds", 0x100000, 0x8000, 0, 0},
                      EraseCase{"ZeroLength", 0x200000, 0, 0, 0},
                      EraseCase{"NegativeLength", 0x200000, -0x1000, 0, 0},
                      EraseCase{"TopUnit", 0x3FF000, 0x1000, 0x3FF000, 1}),
    [](const ::testing::TestParamInfo<EraseCase> &Info) { return Info.param.Name; });

TEST_F(SpiOperationsTest, ProgramStraddlingTheLowerBoundWritesTheInBoundsPart) {
  FLASH_PART_RECORD *Part = FitPart(0x180000, 0x3FFFFF);
  ASSERT_NE(Part, nullptr);
  ASSERT_EQ(Part->Erase(FlashBase() + 0x17F000, 0x2000), EFI_SUCCESS);  // erases 0x180000 only
  std::vector<UINT8> Data = PatternImage(0x100, 5);
  UINT64 Count = Data.size();
  ASSERT_EQ(Part->Program(FlashBase() + 0x17FF80, Data.data(), &Count, 0), EFI_SUCCESS);
  std::vector<UINT8> After = Flash->Contents();
  EXPECT_TRUE(std::equal(Original.begin() + 0x17FF80, Original.begin() + 0x180000,
                         After.begin() + 0x17FF80));
  EXPECT_TRUE(std::equal(Data.begin() + 0x80, Data.end(), After.begin() + 0x180000));
}

TEST_F(SpiOperationsTest, ProgramPastTheEndWritesOnlyTheInBoundsPart) {
  FLASH_PART_RECORD *Part = FitPart(0x180000, 0x3FFFFF);
  ASSERT_NE(Part, nullptr);
  ASSERT_EQ(Part->Erase(FlashBase() + 0x3FF000, 0x1000), EFI_SUCCESS);
  std::vector<UINT8> Data(0x40, 0x42);
  UINT64 Count = Data.size();
  // Its last byte would lie at linear 0x400000.
  ASSERT_EQ(Part->Program(FlashBase() + 0x3FFFC1, Data.data(), &Count, 0), EFI_SUCCESS);
  std::vector<UINT8> After = Flash->Contents();
  EXPECT_EQ(std::vector<UINT8>(After.begin() + 0x3FFFC1, After.end()), std::vector<UINT8>(0x3F, 0x42));
}

// With the BIOS-region bounds in force, nothing a client asks for changes a byte outside them.
TEST_F(SpiOperationsTest, RandomErasesAndProgramsStayInsideTheBounds) {
  const UINT64 Lower = 0x180000, Upper = 0x37FFFF;
  FLASH_PART_RECORD *Part = FitPart(Lower, Upper);
  ASSERT_NE(Part, nullptr);
  std::mt19937_64 Random(20261211);
  std::uniform_int_distribution<UINT64> Address(FlashBase() - 0x20000, 0xFFFFFFFF);
  for (int Step = 0; Step < 300; ++Step) {
    UINT64 At = Address(Random);
    if (Random() % 2 == 0) {
      INT64 Length = (INT64)(Random() % 0x30000) - 0x1000;
      EXPECT_EQ(Part->Erase(At, (UINT64)Length), EFI_SUCCESS);
    } else {
      std::vector<UINT8> Data = PatternImage(1 + Random() % 0x3000, (UINT32)Step);
      UINT64 Count = Data.size();
      EXPECT_EQ(Part->Program(At, Data.data(), &Count, 0), EFI_SUCCESS);
    }
    Board.Log().Clear();
  }
  std::vector<UINT8> After = Flash->Contents();
  EXPECT_TRUE(std::equal(After.begin(), After.begin() + Lower, Original.begin()));
  EXPECT_TRUE(std::equal(After.begin() + Upper + 1, After.end(), Original.begin() + Upper + 1));
  EXPECT_FALSE(std::equal(After.begin() + Lower, After.begin() + Upper + 1,
                          Original.begin() + Lower));  // the sequence did write inside
}

}  // namespace
}  // namespace flash_test
