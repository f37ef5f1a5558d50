// Processor state behind the instruction seam: CR0, MSRs, flags, TSC, CPUID, HLT.
#include <gtest/gtest.h>

#include "platform_dxe/cpu/Instructions.h"
#include "sim/hw/Board.h"

namespace {

using sim::Board;
using sim::CpuState;
using sim::FaultKind;

UINT64 ReadMsr(UINT32 index) {
  UINT32 eax = 0xDEAD, edx = 0xBEEF;
  hw::Rdmsr(index, &eax, &edx);
  return (static_cast<UINT64>(edx) << 32) | eax;
}

TEST(Cr0, PowersOnWithCachesEnabledAndTakesTheCacheDisableBits) {
  Board board;
  const UINTN cr0 = hw::ReadCr0();
  EXPECT_EQ(cr0, CpuState::kPowerOnCr0);
  EXPECT_EQ(cr0 & (CpuState::kCr0CD | CpuState::kCr0NW), 0u);
  hw::WriteCr0(cr0 | CpuState::kCr0CD | CpuState::kCr0NW);
  EXPECT_EQ(hw::ReadCr0(), cr0 | CpuState::kCr0CD | CpuState::kCr0NW);
  EXPECT_TRUE(board.Faults().Empty());
}

struct Cr0Case {
  const char *name;
  UINTN written;
  bool faults;
  UINTN expected;
};

void PrintTo(const Cr0Case &c, std::ostream *out) { *out << c.name; }

class Cr0WriteTest : public ::testing::TestWithParam<Cr0Case> {};

TEST_P(Cr0WriteTest, InvalidCombinationsAreGeneralProtection) {
  Board board;
  const Cr0Case c = GetParam();
  hw::WriteCr0(c.written);
  EXPECT_EQ(board.Faults().Count(FaultKind::GeneralProtection), c.faults ? 1u : 0u);
  EXPECT_EQ(hw::ReadCr0(), c.expected);
}

constexpr UINTN kOn = CpuState::kPowerOnCr0;
INSTANTIATE_TEST_SUITE_P(
    Writes, Cr0WriteTest,
    ::testing::Values(
        Cr0Case{"NotWriteThroughWithoutCacheDisable", kOn | CpuState::kCr0NW, true, kOn},
        Cr0Case{"PagingWithoutProtection", CpuState::kCr0PG | CpuState::kCr0ET, true, kOn},
        Cr0Case{"CacheDisableAlone", kOn | CpuState::kCr0CD, false, kOn | CpuState::kCr0CD},
        Cr0Case{"ExtensionTypeIsHardWired", kOn & ~CpuState::kCr0ET, false, kOn},
        Cr0Case{"ReservedLowBitsIgnored", kOn | 0x40, false, kOn}),
    [](const ::testing::TestParamInfo<Cr0Case> &info) { return info.param.name; });

TEST(CacheControl, WbinvdAndInvdAreCountedSeparately) {
  Board board;
  hw::Wbinvd();
  hw::Wbinvd();
  hw::Invd();
  EXPECT_EQ(board.Cpu().WbinvdCount(), 2u);
  EXPECT_EQ(board.Cpu().InvdCount(), 1u);
}

TEST(Msr, DefaultTypeRegisterSplitsAcrossEdxEax) {
  Board board;
  EXPECT_EQ(ReadMsr(0x2FF), 0xC06u);
  hw::Wrmsr(0x2FF, 0x806, 0);
  EXPECT_EQ(board.Cpu().Msr(0x2FF), 0x806u);
  board.Cpu().PresetMsr(0x1FE, 0x0000000100000002ull);
  EXPECT_EQ(ReadMsr(0x1FE), 0x0000000100000002ull);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

TEST(Msr, AbsentMsrIsAFaultAndReadsZero) {
  Board board;
  EXPECT_EQ(ReadMsr(0x123), 0u);
  hw::Wrmsr(0x123, 1, 0);
  EXPECT_FALSE(board.Cpu().HasMsr(0x123));
  ASSERT_EQ(board.Faults().Count(FaultKind::AbsentMsr), 2u);
  EXPECT_EQ(board.Faults().All()[0].address, 0x123u);
}

TEST(Msr, SettingAReservedBitIsGeneralProtectionAndChangesNothing) {
  Board board;
  hw::Wrmsr(0x2FF, 0x1C06, 0);  // bit 12 is reserved
  EXPECT_EQ(board.Faults().Count(FaultKind::GeneralProtection), 1u);
  EXPECT_EQ(board.Cpu().Msr(0x2FF), 0xC06u);
}

TEST(Flags, BitOneAlwaysSetAndInterruptFlagFollowsCliSti) {
  Board board;
  EXPECT_EQ(hw::ReadFlags(), 0x202u);
  hw::Cli();
  EXPECT_EQ(hw::ReadFlags(), 0x002u);
  hw::Sti();
  EXPECT_EQ(hw::ReadFlags(), 0x202u);
}

TEST(Tsc, AdvancesByTheStepOnEveryReadAndWhenTestsAdvanceIt) {
  Board board;
  board.Cpu().SetTscStep(7);
  board.Cpu().PresetTsc(0xFFFFFFF0u);  // crosses into EDX
  UINT64 previous = 0;
  for (int i = 0; i < 4; ++i) {
    UINT32 eax, edx;
    hw::Rdtsc(&eax, &edx);
    const UINT64 now = (static_cast<UINT64>(edx) << 32) | eax;
    if (i > 0) {
      EXPECT_EQ(now, previous + 7);
    }
    previous = now;
  }
  board.Cpu().AdvanceTsc(1000);
  UINT32 eax, edx;
  hw::Rdtsc(&eax, &edx);
  EXPECT_EQ((static_cast<UINT64>(edx) << 32) | eax, previous + 7 + 1000);
}

TEST(Cpuid, SetLeavesAnswerAndUnknownLeavesAreZero) {
  Board board;
  board.Cpu().SetCpuid(7, {1, 2, 3, 4});
  board.Cpu().SetCpuid(7, 1, {5, 6, 7, 8});
  UINT32 regs[4];
  hw::Cpuid(7, 0, regs);
  EXPECT_EQ(regs[3], 4u);
  hw::Cpuid(7, 1, regs);
  EXPECT_EQ(regs[0], 5u);
  hw::Cpuid(0x40000000, 0, regs);
  EXPECT_EQ(regs[0] | regs[1] | regs[2] | regs[3], 0u);
  hw::Cpuid(0, 0, regs);
  EXPECT_EQ(regs[0], 1u);  // highest basic leaf
}

TEST(Hlt, CountedAndAFaultWithInterruptsDisabled) {
  Board board;
  hw::Hlt();
  EXPECT_TRUE(board.Faults().Empty());
  hw::Cli();
  hw::Hlt();
  EXPECT_EQ(board.Cpu().HltCount(), 2u);
  EXPECT_EQ(board.Faults().Count(FaultKind::HaltWithInterruptsDisabled), 1u);
}

}  // namespace
