// The LPC operation sets on their parts: which erase units a length becomes, lengths refused
// without touching the flash, and the firmware hub's closing commands.
#include <gtest/gtest.h>

#include "tests/flash/FlashBoardTest.h"

namespace flash_test {
namespace {

struct EraseLengthCase {
  const char *Name;
  const char *Part;
  UINT64 Length;
  EFI_STATUS Expected;
  unsigned SectorErases;
  unsigned BlockErases;
};

void PrintTo(const EraseLengthCase &Case, std::ostream *Out) { *Out << Case.Name; }

class LpcEraseLengthTest : public FlashBoardTest,
                           public ::testing::WithParamInterface<EraseLengthCase> {};

TEST_P(LpcEraseLengthTest, LengthPicksTheEraseUnits) {
  const EraseLengthCase &Case = GetParam();
  Fit(Case.Part);
  Flash->LoadImage(std::vector<UINT8>(Flash->FlashSize(), 0x00));
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  EXPECT_EQ(Part->Erase(FlashBase(), Case.Length), Case.Expected);
  EXPECT_EQ(Flash->LpcChip()->Count().sectorErases, Case.SectorErases);
  EXPECT_EQ(Flash->LpcChip()->Count().blockErases, Case.BlockErases);
  std::vector<UINT8> After = Flash->Contents();
  UINT64 Erased = Case.Expected == EFI_SUCCESS ? Case.Length : 0;
  for (UINT64 i = 0; i < After.size(); i += 0x800) {
    ASSERT_EQ(After[i], i < Erased ? 0xFF : 0x00) << "offset 0x" << std::hex << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LpcEraseLengthTest,
    ::testing::Values(
        EraseLengthCase{"JedecOneSector", "49LF008A", 0x1000, EFI_SUCCESS, 1, 0},
        EraseLengthCase{"JedecOneBlock", "49LF008A", 0x10000, EFI_SUCCESS, 0, 1},
        EraseLengthCase{"JedecThreeBlocks", "39VF080", 0x30000, EFI_SUCCESS, 0, 3},
        EraseLengthCase{"JedecSeventeenSectorsNotBlockAndSector", "49FL004T", 0x11000,
                        EFI_SUCCESS, 17, 0},
        EraseLengthCase{"JedecRefusesPartialSector", "49LF004A", 0x0FFF, EFI_INVALID_PARAMETER,
                        0, 0},
        EraseLengthCase{"JedecRefusesZero", "39V040FPA", 0, EFI_INVALID_PARAMETER, 0, 0},
        EraseLengthCase{"FirmwareHubTwoBlocks", "82802AC", 0x20000, EFI_SUCCESS, 0, 2},
        EraseLengthCase{"FirmwareHubZeroErasesNothing", "50FLW040A", 0, EFI_SUCCESS, 0, 0},
        EraseLengthCase{"FirmwareHubRefusesSector", "50FLW040A", 0x1000, EFI_INVALID_PARAMETER,
                        0, 0}),
    [](const ::testing::TestParamInfo<EraseLengthCase> &Info) { return Info.param.Name; });

TEST_F(FlashBoardTest, JedecProgramOfHeldDataSendsNoCommand) {
  Fit("49LF008A");
  std::vector<UINT8> Image = PatternImage(Flash->FlashSize(), 4);
  Flash->LoadImage(Image);
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  Board.Log().Clear();
  UINT64 Count = 0x100;
  EXPECT_EQ(Part->Program(FlashBase() + 0x200, Image.data() + 0x200, &Count, 0), EFI_SUCCESS);
  EXPECT_EQ(Count, 0x100u);
  EXPECT_EQ(Board.Log().Count(sim::AccessKind::MmioWrite), 0u);
  EXPECT_EQ(Flash->LpcChip()->Count().programs, 0u);
}

TEST_F(FlashBoardTest, FirmwareHubProgramOfNothingOnlyResets) {
  Fit("82802AC");
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  Board.Log().Clear();
  UINT64 Count = 0;
  const UINT64 Reset = FlashBase() + 0x10000;
  EXPECT_EQ(Part->Program(FlashBase(), nullptr, &Count, Reset), EFI_SUCCESS);
  EXPECT_EQ(Board.Log().All(), (std::vector<sim::Access>{sim::Access::MmioWrite(Reset, 8, 0x50),
                                                         sim::Access::MmioWrite(Reset, 8, 0xFF)}));
}

}  // namespace
}  // namespace flash_test
