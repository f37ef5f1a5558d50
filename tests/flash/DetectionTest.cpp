// DetectFlashPart: the boot strap picks the table, records are tried in table order, the SPI
// part found last is asked first, and a board with no answer gets Unsupported and POST code
// 0x62.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform_dxe/ModuleState.h"
#include "tests/flash/FlashBoardTest.h"

namespace flash_test {
namespace {

using sim::Access;
using sim::AccessKind;

constexpr UINT8 kIdentifyCommand = 0x90;

size_t PostCodes(sim::Board &Board, UINT8 Code) {
  std::vector<uint32_t> Written = Board.Log().ValuesWrittenToPort(0x80);
  return (size_t)std::count(Written.begin(), Written.end(), Code);
}

// Identification commands sent to LPC parts (JEDEC and firmware hub alike), one per Identify.
size_t LpcIdentifyCommands(sim::Board &Board) {
  return Board.Log()
      .Where([](const Access &A) {
        return A.kind == AccessKind::MmioWrite && A.width == 8 && A.value == kIdentifyCommand &&
               A.address >= 0xFFF00000;
      })
      .size();
}

struct StrapCase {
  const char *Name;
  const char *Part;
  UINT8 Strap;
};

void PrintTo(const StrapCase &Case, std::ostream *Out) { *Out << Case.Name; }

class NeitherStrapTest : public FlashBoardTest, public ::testing::WithParamInterface<StrapCase> {};

TEST_P(NeitherStrapTest, TriesNoRecordAndReportsUnsupported) {
  Fit(GetParam().Part);
  Flash->Gcs().SetBootBiosStrap(GetParam().Strap);
  Board.Log().Clear();

  FLASH_PART_RECORD *Part = (FLASH_PART_RECORD *)0x1;
  EXPECT_EQ(Services->DetectFlashPart(&Part, 0), EFI_UNSUPPORTED);
  EXPECT_EQ(Part, nullptr);
  EXPECT_EQ(Board.Log().ValuesWrittenToPort(0x80), std::vector<uint32_t>{0x62});
  EXPECT_EQ(LpcIdentifyCommands(Board), 0u);
  EXPECT_EQ(Flash->Cycles().Total(), 0u);
  EXPECT_EQ(DxeModule.Flash.JedecLpcContext, nullptr);
  EXPECT_EQ(DxeModule.Flash.FwhContext, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Straps, NeitherStrapTest,
                         ::testing::Values(StrapCase{"Strap01OnSpiBoard", "GD25Q32B", 1},
                                           StrapCase{"Strap10OnSpiBoard", "GD25Q32B", 2},
                                           StrapCase{"Strap01OnLpcBoard", "82802AC", 1},
                                           StrapCase{"Strap10OnLpcBoard", "39VF080", 2}),
                         [](const ::testing::TestParamInfo<StrapCase> &Info) {
                           return Info.param.Name;
                         });

// Every part is found at its own table position, after every earlier record was asked once.
struct OrderCase {
  std::string Part;
  UINT64 Index;
};

void PrintTo(const OrderCase &Case, std::ostream *Out) { *Out << Case.Part; }

class DetectionOrderTest : public FlashBoardTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(DetectionOrderTest, FirstAnsweringRecordInTableOrder) {
  const OrderCase &Case = GetParam();
  Fit(Case.Part);
  Board.Log().Clear();
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  EXPECT_STREQ((const char *)Part->PartName, Case.Part.c_str());
  if (Flash->IsSpi()) {
    EXPECT_EQ(Part, &SpiPartList[Case.Index]->Part);
    EXPECT_EQ(PostCodes(Board, 0x41), Case.Index + 1);  // one per SpiIdentify
    EXPECT_EQ(DxeModule.Flash.LastSpiPartIndex, Case.Index);
  } else {
    EXPECT_EQ(Part, LpcPartList[Case.Index]);
    EXPECT_EQ(LpcIdentifyCommands(Board), Case.Index + 1);
    EXPECT_EQ(DxeModule.Flash.LastSpiPartIndex, kNoSpiPart);
  }
  EXPECT_EQ(PostCodes(Board, 0x62), 0u);
}

std::vector<OrderCase> OrderCases() {
  std::vector<OrderCase> Cases;
  for (UINT64 i = 0; i < kSpiPartCount; ++i) Cases.push_back({(const char *)SpiPartList[i]->Part.PartName, i});
  for (UINT64 i = 0; i < kLpcPartCount; ++i) Cases.push_back({(const char *)LpcPartList[i]->PartName, i});
  return Cases;
}

INSTANTIATE_TEST_SUITE_P(EveryTablePart, DetectionOrderTest, ::testing::ValuesIn(OrderCases()),
                         [](const ::testing::TestParamInfo<OrderCase> &Info) {
                           return "Part" + Info.param.Part;
                         });

TEST_F(FlashBoardTest, SecondDetectionAsksOnlyTheRememberedSpiPart) {
  Fit("GD25Q32B");
  ASSERT_NE(Detect(), nullptr);
  ASSERT_EQ(DxeModule.Flash.LastSpiPartIndex, 12u);
  Board.Log().Clear();
  EXPECT_EQ(Detect(), &SpiPartList[12]->Part);
  EXPECT_EQ(PostCodes(Board, 0x41), 1u);
  EXPECT_EQ(DxeModule.Flash.LastSpiPartIndex, 12u);
}

TEST_F(FlashBoardTest, RememberedPartGoneCostsOneIdentifyThenAWalkFromTheTop) {
  Fit("25Q32");  // answers EF 40 16
  DxeModule.Flash.LastSpiPartIndex = 12;
  Board.Log().Clear();
  EXPECT_EQ(Detect(), &SpiPartList[5]->Part);
  EXPECT_EQ(PostCodes(Board, 0x41), 1u + 6u);
  EXPECT_EQ(DxeModule.Flash.LastSpiPartIndex, 5u);
}

TEST_F(FlashBoardTest, WithoutSmmTableLpcSetsUseTheirStaticContexts) {
  Fit("50FLW040A");
  ASSERT_EQ(Detect(0), LpcPartList[5]);
  EXPECT_EQ(DxeModule.Flash.FwhContext, &DxeModule.Flash.FwhStaticContext);
  EXPECT_EQ(DxeModule.Flash.JedecLpcContext, &DxeModule.Flash.JedecLpcStaticContext);
  EXPECT_EQ(DxeModule.Flash.JedecArrayContext, nullptr);  // set C's record comes later
}

TEST_F(FlashBoardTest, WithSmmTableLpcContextsComeFromTheSmmPool) {
  Fit("39VF080");
  ASSERT_EQ(Detect((UINT64)(UINTN)Env().Smm().Table()), LpcPartList[6]);
  EXPECT_EQ(Env().Smm().Pool().LiveCount(), 3u);  // one per operation set tried
  EXPECT_NE(Env().Smm().Pool().Find(DxeModule.Flash.JedecArrayContext), nullptr);
  EXPECT_EQ(DxeModule.Flash.JedecArrayContext->IdAddress, 0xFFF00000u);
}

TEST_F(FlashBoardTest, FailedSmmAllocationFallsBackToTheStaticContext) {
  Fit("49LF008A");
  Env().Failures().FailNextCall(sim::Service::SmmAllocatePool, EFI_OUT_OF_RESOURCES);
  ASSERT_EQ(Detect((UINT64)(UINTN)Env().Smm().Table()), LpcPartList[1]);
  // The firmware hub set was first and got the failure.
  EXPECT_EQ(DxeModule.Flash.FwhContext, &DxeModule.Flash.FwhStaticContext);
  EXPECT_EQ(DxeModule.Flash.FwhContext->BaseAddress, 0xFFF00000u);
  EXPECT_NE(Env().Smm().Pool().Find(DxeModule.Flash.JedecLpcContext), nullptr);
}

}  // namespace
}  // namespace flash_test
