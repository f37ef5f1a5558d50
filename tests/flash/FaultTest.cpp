// Injected faults: every one gives its documented status in bounded time, and a failed write
// leaves the part's write protection restored.
#include <gtest/gtest.h>

#include "platform_dxe/ModuleState.h"
#include "tests/flash/FlashBoardTest.h"

namespace flash_test {
namespace {

using CycleError = sim::SpiHostController::CycleError;

constexpr UINT8 kBlockProtectBits = 0x1C;

class SpiFaultTest : public FlashBoardTest {
 protected:
  // A part whose status-register protection the driver lifts and restores itself.
  FLASH_PART_RECORD *FitProtectedPartWithoutDescriptor() {
    sim::FlashBoardOptions Options = FlashBoardTest::Options("25VF032B");
    Options.descriptor = false;
    Fit(Options);
    Flash->LoadImage(std::vector<UINT8>(Flash->FlashSize(), 0x00));
    Services->SetFlashWriteEnable(TRUE);
    return Detect();
  }
  bool Protected() { return (Flash->SpiChip()->Status() & kBlockProtectBits) == kBlockProtectBits; }
  bool Erased(UINT64 Linear, UINT64 Length) {
    std::vector<UINT8> Contents = Flash->Contents();
    return std::all_of(Contents.begin() + Linear, Contents.begin() + Linear + Length,
                       [](UINT8 B) { return B == 0xFF; });
  }
};

struct SoftwareFault {
  const char *Name;
  unsigned FailingCycle;  // counted from the lift of the protection (cycle 1)
  CycleError Error;
};

void PrintTo(const SoftwareFault &Case, std::ostream *Out) { *Out << Case.Name; }

class SoftwareCycleFaultTest : public SpiFaultTest,
                               public ::testing::WithParamInterface<SoftwareFault> {};

TEST_P(SoftwareCycleFaultTest, EraseStopsWithDeviceErrorAndProtectionRestored) {
  FLASH_PART_RECORD *Part = FitProtectedPartWithoutDescriptor();
  ASSERT_NE(Part, nullptr);
  ASSERT_TRUE(Protected());
  Flash->Controller()->FailCycle(GetParam().FailingCycle, GetParam().Error);

  EXPECT_EQ(Part->Erase(FlashBase(), 0x3000), EFI_DEVICE_ERROR);
  EXPECT_TRUE(Protected());
  // Units before the failing cycle were erased, the failing one and those after were not.
  unsigned Done = GetParam().FailingCycle - 2;
  EXPECT_TRUE(Erased(0, Done * 0x1000));
  EXPECT_FALSE(Erased(Done * 0x1000, 0x1000));
  EXPECT_EQ(Flash->Controller()->Peek(0x90, 1) & 0x1C, 0u);  // status bits cleared
}

TEST_P(SoftwareCycleFaultTest, ProgramStopsWithDeviceErrorAndProtectionRestored) {
  FLASH_PART_RECORD *Part = FitProtectedPartWithoutDescriptor();
  ASSERT_NE(Part, nullptr);
  ASSERT_EQ(Part->Erase(FlashBase(), 0x1000), EFI_SUCCESS);
  Flash->Controller()->FailCycle(GetParam().FailingCycle, GetParam().Error);

  std::vector<UINT8> Data(16, 0x5A);
  UINT64 Count = Data.size();
  EXPECT_EQ(Part->Program(FlashBase(), Data.data(), &Count, 0), EFI_DEVICE_ERROR);
  EXPECT_EQ(Count, 16u);  // the count is never written
  EXPECT_TRUE(Protected());
  std::vector<UINT8> Contents = Flash->Contents();
  unsigned Written = GetParam().FailingCycle - 2;
  for (unsigned i = 0; i < 16; ++i) EXPECT_EQ(Contents[i], i < Written ? 0x5A : 0xFF) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SoftwareCycleFaultTest,
    ::testing::Values(SoftwareFault{"FlashCycleErrorOnFirstUnit", 2, CycleError::FlashCycleError},
                      SoftwareFault{"FlashCycleErrorOnThirdUnit", 4, CycleError::FlashCycleError},
                      SoftwareFault{"AccessErrorOnSecondUnit", 3, CycleError::AccessErrorLog}),
    [](const ::testing::TestParamInfo<SoftwareFault> &Info) { return Info.param.Name; });

class HardwareFaultTest : public SpiFaultTest {
 protected:
  FLASH_PART_RECORD *FitWithDescriptor() {
    Fit("GD25Q32B");
    Flash->LoadImage(std::vector<UINT8>(Flash->FlashSize(), 0x00));
    Services->SetFlashWriteEnable(TRUE);
    return Detect();
  }
};

TEST_F(HardwareFaultTest, FailedEraseCycleStopsTheErase) {
  FLASH_PART_RECORD *Part = FitWithDescriptor();
  ASSERT_NE(Part, nullptr);
  Flash->Controller()->FailCycle(2, CycleError::AccessErrorLog);
  EXPECT_EQ(Part->Erase(FlashBase() + 0x100000, 0x3000), EFI_DEVICE_ERROR);
  EXPECT_TRUE(Erased(0x100000, 0x1000));
  EXPECT_FALSE(Erased(0x101000, 0x1000));
  EXPECT_FALSE(Erased(0x102000, 0x1000));
  EXPECT_EQ(Flash->Controller()->Peek(0x04, 2) & 0x7, 0u);
}

TEST_F(HardwareFaultTest, FailedReadCycleIsDeviceError) {
  FLASH_PART_RECORD *Part = FitWithDescriptor();
  ASSERT_NE(Part, nullptr);
  Flash->Controller()->FailCycle(1, CycleError::FlashCycleError);
  std::vector<UINT8> Buffer(0x40);
  // Linear 0x800 lies below the BIOS region's window: it needs a cycle.
  EXPECT_EQ(Part->Read(Buffer.data(), FlashBase() + 0x800, Buffer.size()), EFI_DEVICE_ERROR);
}

// A controller or part that never finishes: the bounded waits give Device Error.
TEST_F(HardwareFaultTest, ControllerThatNeverFinishesGivesDeviceError) {
  FLASH_PART_RECORD *Part = FitWithDescriptor();
  ASSERT_NE(Part, nullptr);
  Flash->Controller()->HangFromCycle(1);
  std::vector<UINT8> Data(64, 0x11);
  UINT64 Count = Data.size();
  EXPECT_EQ(Part->Program(FlashBase() + 0x200000, Data.data(), &Count, 0), EFI_DEVICE_ERROR);
  Board.Log().Clear();
  // The controller is still busy: the next cycle cannot start.
  EXPECT_EQ(Part->Erase(FlashBase() + 0x200000, 0x1000), EFI_DEVICE_ERROR);
  Board.Log().Clear();
}

TEST_F(HardwareFaultTest, PartThatNeverFinishesGivesDeviceError) {
  FLASH_PART_RECORD *Part = FitWithDescriptor();
  ASSERT_NE(Part, nullptr);
  Flash->SpiChip()->NeverFinish(true);
  EXPECT_EQ(Part->Erase(FlashBase() + 0x200000, 0x1000), EFI_DEVICE_ERROR);
  Board.Log().Clear();
}

// A part that drops programs: the SPI operations do not read back (the client's read-back
// shows it); the JEDEC set reads every byte back and stops at the first.
TEST_F(HardwareFaultTest, IgnoredProgramIsSeenOnlyByReadingBack) {
  FLASH_PART_RECORD *Part = FitWithDescriptor();
  ASSERT_NE(Part, nullptr);
  ASSERT_EQ(Part->Erase(FlashBase() + 0x200000, 0x1000), EFI_SUCCESS);
  Flash->SpiChip()->IgnorePrograms(true);
  std::vector<UINT8> Data(64, 0x11), Back(64);
  UINT64 Count = Data.size();
  EXPECT_EQ(Part->Program(FlashBase() + 0x200000, Data.data(), &Count, 0), EFI_SUCCESS);
  EXPECT_EQ(Part->Read(Back.data(), FlashBase() + 0x200000, Back.size()), EFI_SUCCESS);
  EXPECT_EQ(Back, std::vector<UINT8>(64, 0xFF));
}

// ---- LPC parts -----------------------------------------------------------------------------

struct LpcFault {
  const char *Name;
  const char *Part;
  bool NeverFinish;  // else: ignores programs
  EFI_STATUS EraseStatus;
  EFI_STATUS ProgramStatus;
  UINT64 ProgramCountAfter;
};

void PrintTo(const LpcFault &Case, std::ostream *Out) { *Out << Case.Name; }

class LpcFaultTest : public FlashBoardTest, public ::testing::WithParamInterface<LpcFault> {};

TEST_P(LpcFaultTest, DocumentedStatusWithoutHanging) {
  const LpcFault &Case = GetParam();
  Fit(Case.Part);
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  UINT64 Block = FlashBase();  // the bottom 64 KiB block
  if (Case.NeverFinish) {
    Flash->LpcChip()->NeverFinish(true);
    EXPECT_EQ(Part->Erase(Block, 0x10000), Case.EraseStatus);
    Board.Log().Clear();
  } else {
    Flash->LpcChip()->IgnorePrograms(true);
  }
  // Fresh data at the top block, which nothing above touched.
  UINT64 Top = 0x100000000ull - 0x10000;
  std::vector<UINT8> Data = {0x12, 0x34, 0x56, 0x78};
  UINT64 Count = Data.size();
  EXPECT_EQ(Part->Program(Top, Data.data(), &Count, Top), Case.ProgramStatus);
  EXPECT_EQ(Count, Case.ProgramCountAfter);
  Board.Log().Clear();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LpcFaultTest,
    ::testing::Values(
        LpcFault{"JedecNeverFinishes", "49LF008A", true, EFI_DEVICE_ERROR, EFI_DEVICE_ERROR, 0},
        LpcFault{"JedecArrayNeverFinishes", "39VF080", true, EFI_DEVICE_ERROR, EFI_DEVICE_ERROR, 0},
        LpcFault{"JedecIgnoresPrograms", "49FL004T", false, EFI_SUCCESS, EFI_DEVICE_ERROR, 0},
        LpcFault{"FirmwareHubNeverFinishes", "82802AC", true, EFI_DEVICE_ERROR, EFI_DEVICE_ERROR,
                 0},
        // The firmware-hub set reads no data back: the client's read-back shows it.
        LpcFault{"FirmwareHubIgnoresPrograms", "50FLW040A", false, EFI_SUCCESS, EFI_SUCCESS, 4}),
    [](const ::testing::TestParamInfo<LpcFault> &Info) { return Info.param.Name; });

// ---- Before Init -----------------------------------------------------------------------------

TEST(BeforeInit, EveryOperationAnswersNotReadyWithoutTouchingAnything) {
  ResetPlatformDxeState();
  UINT8 Byte = 0;
  UINT64 Count = 1;
  EXPECT_EQ(JedecLpcIdentify(0x5ABF), EFI_NOT_READY);
  EXPECT_EQ(JedecLpcErase(0xFFF00000, 0x1000), EFI_NOT_READY);
  EXPECT_EQ(JedecLpcProgram(0xFFF00000, &Byte, &Count, 0), EFI_NOT_READY);
  EXPECT_EQ(JedecLpcConvertPointers(), EFI_NOT_READY);
  EXPECT_EQ(JedecArrayIdentify(0xD8BF), EFI_NOT_READY);
  EXPECT_EQ(JedecArrayErase(0xFFF00000, 0x1000), EFI_NOT_READY);
  EXPECT_EQ(JedecArrayProgram(0xFFF00000, &Byte, &Count, 0), EFI_NOT_READY);
  EXPECT_EQ(JedecArrayConvertPointers(), EFI_NOT_READY);
  EXPECT_EQ(FwhIdentify(0xAC89), EFI_NOT_READY);
  EXPECT_EQ(FwhErase(0xFFF00000, 0x10000), EFI_NOT_READY);
  EXPECT_EQ(FwhProgram(0xFFF00000, &Byte, &Count, 0xFFF00000), EFI_NOT_READY);
  EXPECT_EQ(FwhConvertPointers(), EFI_NOT_READY);
  EXPECT_EQ(SpiIdentify((UINT64)(UINTN)SpiPartList[0]), EFI_NOT_READY);
  EXPECT_EQ(SpiErase(0xFFC00000, 0x1000), EFI_NOT_READY);
  EXPECT_EQ(SpiProgram(0xFFC00000, &Byte, &Count, 0), EFI_NOT_READY);
  EXPECT_EQ(SpiRead(&Byte, 0xFFC00000, 1), EFI_NOT_READY);
  EXPECT_EQ(Count, 1u);
}

}  // namespace
}  // namespace flash_test
