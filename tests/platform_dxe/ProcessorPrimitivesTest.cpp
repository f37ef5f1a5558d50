// The processor primitives' own logic: joining and splitting register halves, the CR0 cache
// bits, CPUID's ECX, and the widths of port accesses.
#include "platform_dxe/cpu/ProcessorPrimitives.h"

#include <gtest/gtest.h>

#include "sim/hw/Board.h"

namespace {

using sim::Access;
using sim::AccessKind;
using sim::CpuState;

class PrimitivesTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(Board.Faults().Empty()) << Board.Faults().Describe(); }
  sim::Board Board;
};

struct CacheDisableCase {
  const char *Name;
  UINTN CacheBitsBefore;
  bool Changes;
};

class CacheDisableTest : public PrimitivesTest,
                         public ::testing::WithParamInterface<CacheDisableCase> {};

TEST_P(CacheDisableTest, ActsOnlyWhenBothBitsAreClear) {
  const CacheDisableCase &Case = GetParam();
  const UINTN Before = CpuState::kPowerOnCr0 | Case.CacheBitsBefore;
  Board.Cpu().PresetCr0(Before);

  CacheDisable();

  if (Case.Changes) {
    EXPECT_EQ(Board.Cpu().Cr0(), Before | CpuState::kCr0CD | CpuState::kCr0NW);
    // The write-back follows the CR0 change, so no line is refilled cached afterwards.
    EXPECT_EQ(Board.Log().All(),
              (std::vector<Access>{Access::Cr0Read(Before),
                                   Access::Cr0Write(Before | CpuState::kCr0CD | CpuState::kCr0NW),
                                   Access::Plain(AccessKind::Wbinvd)}));
  } else {
    EXPECT_EQ(Board.Cpu().Cr0(), Before);
    EXPECT_EQ(Board.Cpu().WbinvdCount(), 0u);
    EXPECT_EQ(Board.Log().Count(AccessKind::Cr0Write), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cr0States, CacheDisableTest,
    ::testing::Values(CacheDisableCase{"BothClear", 0, true},
                      CacheDisableCase{"OnlyCd", CpuState::kCr0CD, false},
                      CacheDisableCase{"OnlyNw", CpuState::kCr0NW, false},
                      CacheDisableCase{"Both", CpuState::kCr0CD | CpuState::kCr0NW, false}),
    [](const ::testing::TestParamInfo<CacheDisableCase> &Info) { return Info.param.Name; });

TEST_F(PrimitivesTest, CacheEnableWritesBackBeforeClearingBothBits) {
  const UINTN Disabled = CpuState::kPowerOnCr0 | CpuState::kCr0CD | CpuState::kCr0NW;
  Board.Cpu().PresetCr0(Disabled);
  CacheEnable();
  EXPECT_EQ(Board.Cpu().Cr0(), CpuState::kPowerOnCr0);
  EXPECT_EQ(Board.Log().All(),
            (std::vector<Access>{Access::Plain(AccessKind::Wbinvd), Access::Cr0Read(Disabled),
                                 Access::Cr0Write(CpuState::kPowerOnCr0)}));
}

TEST_F(PrimitivesTest, MsrValuesCrossAsBothHalves) {
  Board.Cpu().AddMsr(0x123, 0);
  MsrWrite64(0x123, 0x8877665544332211ull);
  EXPECT_EQ(Board.Cpu().Msr(0x123), 0x8877665544332211ull);

  Board.Cpu().PresetMsr(0x123, 0xFFFFFFFF00000001ull);
  EXPECT_EQ(MsrRead64(0x123), 0xFFFFFFFF00000001ull);
}

TEST_F(PrimitivesTest, TimeStampCounterJoinsBothHalvesAndAdvances) {
  Board.Cpu().PresetTsc(0x0000000100000000ull - 1);
  Board.Cpu().SetTscStep(2);
  EXPECT_EQ(ReadTimeStampCounter(), 0x00000000FFFFFFFFull);
  EXPECT_EQ(ReadTimeStampCounter(), 0x0000000100000001ull);
}

TEST_F(PrimitivesTest, CpuIdReadUsesTheLeafAsSubleafAndAllowsNoOutput) {
  Board.Cpu().SetCpuid(4, 0, {1, 2, 3, 4});
  Board.Cpu().SetCpuid(4, 4, {5, 6, 7, 8});

  UINT32 Out[4] = {};
  CpuIdRead(4, Out);
  EXPECT_EQ(std::vector<UINT32>(Out, Out + 4), (std::vector<UINT32>{5, 6, 7, 8}));

  CpuIdRead(4, nullptr);  // executes CPUID, stores nothing
  EXPECT_EQ(Board.Log().OfKind(AccessKind::Cpuid).back(), Access::Cpuid(4, 4));

  CpuIdReadSubleaf(4, 0, Out);
  EXPECT_EQ(std::vector<UINT32>(Out, Out + 4), (std::vector<UINT32>{1, 2, 3, 4}));
}

TEST_F(PrimitivesTest, FlagsShowTheInterruptFlag) {
  Board.Cpu().PresetInterruptsEnabled(true);
  EXPECT_EQ(FlagsRead() & kFlagsInterruptEnable, kFlagsInterruptEnable);
  InterruptsDisable();
  EXPECT_FALSE(Board.Cpu().InterruptsEnabled());
  EXPECT_EQ(FlagsRead16() & kFlagsInterruptEnable, 0u);
  InterruptsEnable();
  EXPECT_TRUE(Board.Cpu().InterruptsEnabled());
}

TEST_F(PrimitivesTest, HaltAndInvalidateReachTheProcessor) {
  CpuHalt();
  CpuInvalidateCaches();
  CpuWriteBackInvalidate();
  EXPECT_EQ(Board.Cpu().HltCount(), 1u);
  EXPECT_EQ(Board.Cpu().InvdCount(), 1u);
  EXPECT_EQ(Board.Cpu().WbinvdCount(), 1u);
}

TEST_F(PrimitivesTest, PortAccessWidths) {
  // The configuration ports decode all three widths: read the LPC bridge's identity.
  PortWrite32(0xCF8, 0x8000F800);
  EXPECT_EQ(PortRead16(0xCFC), 0x8086);
  EXPECT_EQ(PortRead32(0xCFC), (UINT32)Board.Lpc().kDeviceId << 16 | 0x8086);
  EXPECT_EQ(PortRead8(0xCFD), 0x80);
  PortWrite16(0xCFC, 0x1234);  // vendor ID is read-only
  EXPECT_EQ(PortRead16(0xCFC), 0x8086);
  PortWrite8(0x80, 0x41);
  EXPECT_EQ(Board.Log().ValuesWrittenToPort(0x80), std::vector<uint32_t>{0x41});
}

}  // namespace
