// CMOS and index/data port operations: the bytes that reach the ports, the NMI mask bit, and
// the caller's interrupt state.
#include <cstdio>
#include <string>

#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

using sim::Access;
using sim::AccessKind;

class CmosTest : public DxeTest {
 protected:
  std::vector<uint32_t> IndexWrites() { return Board.Log().ValuesWrittenToPort(0x70); }
  std::vector<uint32_t> DataWrites() { return Board.Log().ValuesWrittenToPort(0x71); }
};

// The driver keeps bit 7 of what port 0x70 reads. On this chipset the port is write-only
// unless alternate access mode is on: the read floats to 0xFF, so every CMOS access leaves
// NMI sources disabled, whatever the platform had set.
struct NmiCase {
  const char *Name;
  bool AlternateAccess;
  UINT8 LatchBefore;
  UINT8 Index;
  UINT8 Written;
};
void PrintTo(const NmiCase &Case, std::ostream *Out) { *Out << Case.Name; }

class CmosNmiBitTest : public CmosTest, public ::testing::WithParamInterface<NmiCase> {};

TEST_P(CmosNmiBitTest, WritesBitSevenOfWhatPort70ReadsAndNeverMasksTheIndex) {
  const NmiCase &Case = GetParam();
  Board.Cmos().SetAlternateAccessMode(Case.AlternateAccess);
  Board.Cmos().PresetIndexLatch(Case.LatchBefore);
  Board.Cmos().SetByte(Case.Index, 0x5A);

  EXPECT_EQ(CmosRead8(Case.Index), 0x5A);
  EXPECT_EQ(IndexWrites(), std::vector<uint32_t>{Case.Written});
  EXPECT_EQ(Board.Cmos().NmiMasked(), (Case.Written & 0x80) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CmosNmiBitTest,
    ::testing::Values(NmiCase{"AltMaskedKept", true, 0x80, 0x0E, 0x8E},
                      NmiCase{"AltEnabledKept", true, 0x00, 0x0E, 0x0E},
                      NmiCase{"AltIndexAbove7FMasks", true, 0x00, 0x8E, 0x8E},
                      NmiCase{"AltOnlyBitSevenKept", true, 0xFF, 0x0E, 0x8E},
                      NmiCase{"AltIndexBitsNotKept", true, 0x7F, 0x20, 0x20},
                      NmiCase{"NormalMaskedStaysMasked", false, 0x80, 0x0E, 0x8E},
                      NmiCase{"NormalEnabledBecomesMasked", false, 0x00, 0x0E, 0x8E},
                      NmiCase{"NormalIndexAbove7F", false, 0x00, 0x8E, 0x8E}),
    [](const ::testing::TestParamInfo<NmiCase> &Info) { return Info.param.Name; });

// What a platform that runs with NMI sources enabled finds after each CMOS operation.
struct CmosOperation {
  const char *Name;
  void (*Run)();
};
void PrintTo(const CmosOperation &Operation, std::ostream *Out) { *Out << Operation.Name; }

class NmiAfterCmosAccessTest : public CmosTest,
                               public ::testing::WithParamInterface<CmosOperation> {};

TEST_P(NmiAfterCmosAccessTest, NmiSourcesAreDisabledUnlessAlternateAccessModeIsOn) {
  for (bool AlternateAccess : {false, true}) {
    Board.Cmos().SetAlternateAccessMode(AlternateAccess);
    Board.Cmos().PresetIndexLatch(0x00);  // the platform enabled NMI sources
    GetParam().Run();
    EXPECT_EQ(Board.Cmos().NmiMasked(), !AlternateAccess) << "alternate access " << AlternateAccess;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, NmiAfterCmosAccessTest,
    ::testing::Values(CmosOperation{"CmosRead8", [] { CmosRead8(0x10); }},
                      CmosOperation{"CmosWrite8", [] { CmosWrite8(0x10, 1); }},
                      CmosOperation{"CmosRead16", [] { CmosRead16(0x10); }},
                      CmosOperation{"CmosWrite16", [] { CmosWrite16(0x10, 0x0102); }}),
    [](const ::testing::TestParamInfo<CmosOperation> &Info) { return Info.param.Name; });

TEST_F(CmosTest, ReadIsOneGuardedSequence) {
  Board.Cmos().PresetIndexLatch(0x80);
  Board.Cmos().SetByte(0x10, 0x42);
  size_t Mark = Board.Log().Mark();

  EXPECT_EQ(CmosRead8(0x10), 0x42);

  // Port 0x70 is write-only here: the read finds nothing and floats high.
  const std::vector<Access> Expected = {
      Access::FlagsRead(0x202),         Access::Plain(AccessKind::Cli),
      Access::IoRead(0x70, 8, 0xFF),    Access::IoWrite(0x70, 8, 0x90),
      Access::IoRead(0x71, 8, 0x42),    Access::Plain(AccessKind::Sti)};
  EXPECT_EQ(Board.Log().Since(Mark), Expected) << sim::Describe(Board.Log().Since(Mark));
}

TEST_F(CmosTest, WriteThenReadBack) {
  CmosWrite8(0x40, 0xC3);
  EXPECT_EQ(Board.Cmos().Byte(0x40), 0xC3);
  EXPECT_EQ(CmosRead8(0x40), 0xC3);
}

TEST_F(CmosTest, Read16TakesTheHighByteFirstAndWrapsTheIndex) {
  Board.Cmos().SetByte(0x00, 0x12);  // index 0xFF + 1 wraps to 0x00: the high byte
  Board.Cmos().SetByte(0x7F, 0x34);  // index 0xFF selects byte 0x7F with the NMI bit set

  EXPECT_EQ(CmosRead16(0xFF), 0x1234);
  // Index 0x00 goes out with the NMI bit that the floating read of port 0x70 supplies.
  EXPECT_EQ(IndexWrites(), (std::vector<uint32_t>{0x80, 0xFF}));
}

TEST_F(CmosTest, Write16StoresTheLowByteFirst) {
  CmosWrite16(0x20, 0x1234);
  EXPECT_EQ(IndexWrites(), (std::vector<uint32_t>{0xA0, 0xA1}));
  EXPECT_EQ(DataWrites(), (std::vector<uint32_t>{0x34, 0x12}));
  EXPECT_EQ(Board.Cmos().Byte(0x20), 0x34);
  EXPECT_EQ(Board.Cmos().Byte(0x21), 0x12);
  EXPECT_EQ(CmosRead16(0x20), 0x1234);
}

TEST_F(CmosTest, IndexedWriteToTheCmosPairWritesTheIndexUnchanged) {
  Board.Cmos().PresetIndexLatch(0x80);
  IndexedIoWrite8(0x70, 0x71, 0x0E, 0x55);
  EXPECT_EQ(IndexWrites(), std::vector<uint32_t>{0x0E});
  EXPECT_EQ(DataWrites(), std::vector<uint32_t>{0x55});
  EXPECT_TRUE(Board.Log().ValuesReadFromPort(0x70).empty());
  EXPECT_EQ(Board.Cmos().Byte(0x0E), 0x55);
}

TEST_F(CmosTest, IndexedAccessReachesAnyEightBitPortPair) {
  sim::IndexDataPorts &Pair = Board.AddIndexDataPorts(0x2E, 0x2F);
  Pair.SetByte(0x20, 0xA5);

  EXPECT_EQ(IndexedIoRead8(0x2E, 0x2F, 0x20), 0xA5);
  IndexedIoWrite8(0x2E, 0x2F, 0x07, 0x0B);
  EXPECT_EQ(Pair.Byte(0x07), 0x0B);
}

// Every guarded operation, called with interrupts off, must leave them off; called with them
// on, must turn them back on.
struct GuardedOperation {
  const char *Name;
  void (*Run)();
};
void PrintTo(const GuardedOperation &Operation, std::ostream *Out) { *Out << Operation.Name; }

class InterruptStateTest : public CmosTest,
                           public ::testing::WithParamInterface<GuardedOperation> {
 protected:
  void SetUp() override {
    CmosTest::SetUp();
    Board.AddIndexDataPorts(0x2E, 0x2F);
  }
};

TEST_P(InterruptStateTest, IsKeptAcrossTheOperation) {
  for (bool EnabledBefore : {false, true}) {
    Board.Cpu().PresetInterruptsEnabled(EnabledBefore);
    size_t Mark = Board.Log().Mark();
    GetParam().Run();
    EXPECT_EQ(Board.Cpu().InterruptsEnabled(), EnabledBefore) << "enabled before: " << EnabledBefore;

    // The flags are read before interrupts go off, and nothing reaches a port before CLI.
    auto Slice = Board.Log().Since(Mark);
    ASSERT_GE(Slice.size(), 2u);
    EXPECT_EQ(Slice[0].kind, AccessKind::FlagsRead);
    EXPECT_EQ(Slice[1].kind, AccessKind::Cli);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, InterruptStateTest,
    ::testing::Values(GuardedOperation{"CmosRead8", [] { CmosRead8(0x10); }},
                      GuardedOperation{"CmosWrite8", [] { CmosWrite8(0x10, 1); }},
                      GuardedOperation{"CmosRead16", [] { CmosRead16(0x10); }},
                      GuardedOperation{"CmosWrite16", [] { CmosWrite16(0x10, 0x0102); }},
                      GuardedOperation{"IndexedIoRead8", [] { IndexedIoRead8(0x2E, 0x2F, 1); }},
                      GuardedOperation{"IndexedIoWrite8",
                                       [] { IndexedIoWrite8(0x2E, 0x2F, 1, 2); }}),
    [](const ::testing::TestParamInfo<GuardedOperation> &Info) { return Info.param.Name; });

}  // namespace
}  // namespace dxe_test
