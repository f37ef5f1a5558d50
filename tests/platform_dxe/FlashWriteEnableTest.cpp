// Opening and closing the flash for writes: BIOS_CNTL, caches, MTRRs and the lock mirror MSR.
#include "platform_dxe/cpu/Instructions.h"
#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

using sim::Access;
using sim::AccessKind;
using sim::CpuState;

constexpr UINT8 kBiosWe = 0x01, kBle = 0x02, kSmmBwp = 0x20;
constexpr UINT32 kMirrorMsr = 0x1FE;
constexpr UINT64 kWordAddress = 0xFED30880;

class FlashWriteEnableTest : public DxeTest {
 protected:
  void SetUp() override {
    DxeTest::SetUp();
    WordPage = &Board.MapRam(kWordAddress & ~0xFFFull, 0x1000, 0x5C);
    WordPage->Store32(kWordAddress & 0xFFF, 0xABCD1230);
    Board.Cpu().PresetMsr(kMirrorMsr, 0x5555);
  }

  bool CachesOff() {
    return (Board.Cpu().Cr0() & (CpuState::kCr0CD | CpuState::kCr0NW)) ==
           (CpuState::kCr0CD | CpuState::kCr0NW);
  }
  bool MtrrsOn() { return (Board.Cpu().Msr(CpuState::kMtrrDefType) & 0x800) != 0; }
  // Every store the processor made must be one the operation is allowed: the configuration
  // address of BIOS_CNTL, BIOS_CNTL's own byte lane, CR0, and MSRs 0x2FF and 0x1FE. Loads and
  // the write-back of the caches are fine; nothing else is.
  void ExpectOnlyPermittedStores() {
    for (const Access &A : Board.Log().All()) {
      switch (A.kind) {
        case AccessKind::IoRead:
        case AccessKind::MmioRead:
        case AccessKind::MsrRead:
        case AccessKind::Cr0Read:
        case AccessKind::Wbinvd:
        case AccessKind::Cr0Write:
          break;
        case AccessKind::IoWrite:
          EXPECT_TRUE((A.address == 0xCF8 && A.width == 32 && A.value == 0x8000F8DC) ||
                      (A.address == 0xCFC && A.width == 8))
              << A;
          break;
        case AccessKind::MsrWrite:
          EXPECT_TRUE(A.address == 0x2FF || A.address == kMirrorMsr) << A;
          break;
        default:
          ADD_FAILURE() << "not allowed here: " << A;
      }
    }
    // The chipset word is only ever read, and only as one 32-bit load.
    for (const Access &A : Board.Log().OfKind(AccessKind::MmioRead)) {
      EXPECT_EQ(A, Access::MmioRead(kWordAddress, 32, A.value));
    }
  }

  // The page around the chipset word, as set up: the word and the fill around it.
  void ExpectWordPageUntouched(UINT32 Word = 0xABCD1230) {
    const size_t WordOffset = kWordAddress & 0xFFF;
    EXPECT_EQ(WordPage->Load32(WordOffset), Word);
    for (size_t i = 0; i < 0x1000; ++i) {
      if (i >= WordOffset && i < WordOffset + 4) continue;
      if (WordPage->Load8(i) != 0x5C) {
        ADD_FAILURE() << "byte " << i << " of the chipset page changed";
        break;
      }
    }
  }

  sim::RamRegion *WordPage = nullptr;

  bool MirrorWritten() {
    return !Board.Log()
                .Where([](const Access &A) {
                  return A.kind == AccessKind::MsrWrite && A.address == kMirrorMsr;
                })
                .empty();
  }
};

TEST_F(FlashWriteEnableTest, OpeningSwitchesCachesAndMtrrsOffBeforeSettingBiosWe) {
  EXPECT_EQ(SetFlashWriteEnable(TRUE), EFI_SUCCESS);

  EXPECT_EQ(Board.Lpc().BiosControl() & kBiosWe, kBiosWe);
  EXPECT_TRUE(CachesOff());
  EXPECT_EQ(Board.Cpu().Msr(CpuState::kMtrrDefType), 0xC06u & ~0x800u);
  EXPECT_EQ(DxeModule.CacheDisabledFlag, 1);

  const UINTN Cr0 = CpuState::kPowerOnCr0;
  const UINTN Off = Cr0 | CpuState::kCr0CD | CpuState::kCr0NW;
  const std::vector<Access> Expected = {
      Access::IoWrite(0xCF8, 32, 0x8000F8DC), Access::IoRead(0xCFC, 8, 0x00),
      Access::Cr0Read(Cr0),                   Access::Cr0Write(Off),
      Access::Plain(AccessKind::Wbinvd),      Access::Plain(AccessKind::Wbinvd),
      Access::MsrRead(0x2FF, 0xC06),          Access::MsrWrite(0x2FF, 0x406),
      Access::IoWrite(0xCF8, 32, 0x8000F8DC), Access::IoWrite(0xCFC, 8, 0x01),
      Access::IoWrite(0xCF8, 32, 0x8000F8DC), Access::IoRead(0xCFC, 8, 0x01)};
  EXPECT_EQ(Board.Log().All(), Expected) << sim::Describe(Board.Log().All());
}

TEST_F(FlashWriteEnableTest, OpeningTwiceOnlySetsBiosWeAgain) {
  SetFlashWriteEnable(TRUE);
  size_t Mark = Board.Log().Mark();
  EXPECT_EQ(SetFlashWriteEnable(TRUE), EFI_SUCCESS);

  auto Second = Board.Log().Since(Mark);
  for (const Access &A : Second) {
    EXPECT_TRUE(A.kind == AccessKind::IoRead || A.kind == AccessKind::IoWrite) << A;
  }
  EXPECT_EQ(Board.Lpc().BiosControl() & kBiosWe, kBiosWe);
  EXPECT_TRUE(CachesOff());
  EXPECT_FALSE(MtrrsOn());
}

TEST_F(FlashWriteEnableTest, ClosingRestoresCachesThenMtrrsBeforeClearingBiosWe) {
  SetFlashWriteEnable(TRUE);
  size_t Mark = Board.Log().Mark();
  EXPECT_EQ(SetFlashWriteEnable(FALSE), EFI_SUCCESS);

  EXPECT_EQ(Board.Lpc().BiosControl() & kBiosWe, 0);
  EXPECT_EQ(Board.Cpu().Cr0(), CpuState::kPowerOnCr0);
  EXPECT_EQ(Board.Cpu().Msr(CpuState::kMtrrDefType), 0xC06u);
  EXPECT_EQ(DxeModule.CacheDisabledFlag, 0);

  const UINTN Off = CpuState::kPowerOnCr0 | CpuState::kCr0CD | CpuState::kCr0NW;
  const std::vector<Access> Expected = {
      Access::IoWrite(0xCF8, 32, 0x8000F8DC), Access::IoRead(0xCFC, 8, 0x01),
      Access::Plain(AccessKind::Wbinvd),      Access::Cr0Read(Off),
      Access::Cr0Write(CpuState::kPowerOnCr0), Access::MsrRead(0x2FF, 0x406),
      Access::MsrWrite(0x2FF, 0xC06),         Access::IoWrite(0xCF8, 32, 0x8000F8DC),
      Access::IoWrite(0xCFC, 8, 0x00),        Access::IoWrite(0xCF8, 32, 0x8000F8DC),
      Access::IoRead(0xCFC, 8, 0x00)};
  EXPECT_EQ(Board.Log().Since(Mark), Expected) << sim::Describe(Board.Log().Since(Mark));
}

TEST_F(FlashWriteEnableTest, ClosingWithoutOpeningLeavesCr0AndMtrrsUntouched) {
  Board.Lpc().PresetBiosControl(kBiosWe);
  EXPECT_EQ(SetFlashWriteEnable(FALSE), EFI_SUCCESS);
  EXPECT_EQ(Board.Lpc().BiosControl() & kBiosWe, 0);
  EXPECT_EQ(Board.Log().Count(AccessKind::Cr0Read), 0u);
  EXPECT_EQ(Board.Log().Count(AccessKind::Cr0Write), 0u);
  EXPECT_EQ(Board.Log().Count(AccessKind::MsrRead), 0u);
  EXPECT_EQ(Board.Log().Count(AccessKind::MsrWrite), 0u);
  EXPECT_EQ(Board.Log().Count(AccessKind::Wbinvd), 0u);
}

TEST_F(FlashWriteEnableTest, OtherBiosControlBitsSurviveOpeningAndClosing) {
  Board.Lpc().PresetBiosControl(0x0C);  // SPI read configuration bits
  SetFlashWriteEnable(TRUE);
  EXPECT_EQ(Board.Lpc().BiosControl(), 0x0D);
  SetFlashWriteEnable(FALSE);
  EXPECT_EQ(Board.Lpc().BiosControl(), 0x0C);
}

// The lock mirror register follows what BIOS_CNTL reads back, not what was written.
struct LockCase {
  const char *Name;
  UINT8 Preset;
  sim::BiosWritePolicy Policy;
  BOOLEAN Enable;
  UINT8 Readback;
  bool MirrorWrite;
  UINT64 MirrorValue;
};
void PrintTo(const LockCase &Case, std::ostream *Out) { *Out << Case.Name; }

class LockMirrorTest : public FlashWriteEnableTest,
                       public ::testing::WithParamInterface<LockCase> {};

TEST_P(LockMirrorTest, FollowsTheReadback) {
  const LockCase &Case = GetParam();
  Board.Lpc().PresetBiosControl(Case.Preset);
  Board.Smi().SetBiosWritePolicy(Case.Policy);

  EXPECT_EQ(SetFlashWriteEnable(Case.Enable), EFI_SUCCESS);
  EXPECT_EQ(Board.Lpc().BiosControl(), Case.Readback);
  EXPECT_EQ(MirrorWritten(), Case.MirrorWrite);
  EXPECT_EQ(Board.Cpu().Msr(kMirrorMsr), Case.MirrorWrite ? Case.MirrorValue : 0x5555u);
}

using sim::BiosWritePolicy;
INSTANTIATE_TEST_SUITE_P(
    Readbacks, LockMirrorTest,
    ::testing::Values(
        LockCase{"OpenLockedReadsBack23", kBle | kSmmBwp, BiosWritePolicy::Allow, TRUE, 0x23,
                 true, 0xABCD1231},
        LockCase{"OpenSmmOnlyReadsBack21", kSmmBwp, BiosWritePolicy::Allow, TRUE, 0x21, false, 0},
        LockCase{"OpenBleOnlyReadsBack03", kBle, BiosWritePolicy::Allow, TRUE, 0x03, false, 0},
        // The SMM handler refuses: BIOSWE reads back clear, yet the answer is still Success.
        LockCase{"OpenRefusedBySmm", kBle | kSmmBwp, BiosWritePolicy::Refuse, TRUE, 0x22, true,
                 0xABCD1231},
        LockCase{"CloseLocked", kBle | kSmmBwp | kBiosWe, BiosWritePolicy::Allow, FALSE, 0x22,
                 true, 0xABCD1230}),
    [](const ::testing::TestParamInfo<LockCase> &Info) { return Info.param.Name; });

TEST_P(LockMirrorTest, StoresOnlyToBiosControlCr0AndTheTwoMsrs) {
  const LockCase &Case = GetParam();
  Board.Lpc().PresetBiosControl(Case.Preset);
  Board.Smi().SetBiosWritePolicy(Case.Policy);
  std::vector<UINT8> LpcBefore;
  for (UINT16 i = 0; i < 256; ++i) LpcBefore.push_back(Board.Lpc().Peek8(i));

  // A closing case closes what an opening left; an opening case opens twice.
  SetFlashWriteEnable(TRUE);
  SetFlashWriteEnable(Case.Enable);

  ExpectOnlyPermittedStores();
  ExpectWordPageUntouched();
  for (UINT16 i = 0; i < 256; ++i) {
    if (i == 0xDC) continue;
    EXPECT_EQ(Board.Lpc().Peek8(i), LpcBefore[i]) << "LPC register " << i;
  }
}

TEST_F(FlashWriteEnableTest, MirrorClearsBitZeroOfTheWordOnClosing) {
  Board.Lpc().PresetBiosControl(kBle | kSmmBwp);
  Board.Smi().SetBiosWritePolicy(sim::BiosWritePolicy::Allow);
  WordPage->Store32(kWordAddress & 0xFFF, 0x00000007);
  SetFlashWriteEnable(FALSE);
  EXPECT_EQ(Board.Cpu().Msr(kMirrorMsr), 0x00000006u);
  ExpectOnlyPermittedStores();
  ExpectWordPageUntouched(0x00000007);
}

}  // namespace
}  // namespace dxe_test
