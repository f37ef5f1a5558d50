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

struct NmiCase {
  UINT8 LatchBefore;
  UINT8 Index;
  UINT8 Written;
};

class CmosNmiBitTest : public CmosTest, public ::testing::WithParamInterface<NmiCase> {};

TEST_P(CmosNmiBitTest, KeepsBitSevenOfTheIndexPortAndNeverMasksTheIndex) {
  const NmiCase &Case = GetParam();
  Board.Cmos().PresetIndexLatch(Case.LatchBefore);
  Board.Cmos().SetByte(Case.Index, 0x5A);

  EXPECT_EQ(CmosRead8(Case.Index), 0x5A);
  EXPECT_EQ(IndexWrites(), std::vector<uint32_t>{Case.Written});
}

INSTANTIATE_TEST_SUITE_P(Cases, CmosNmiBitTest,
                         ::testing::Values(NmiCase{0x80, 0x0E, 0x8E}, NmiCase{0x00, 0x0E, 0x0E},
                                           NmiCase{0x00, 0x8E, 0x8E}, NmiCase{0xFF, 0x0E, 0x8E},
                                           NmiCase{0x7F, 0x20, 0x20}),
                         [](const ::testing::TestParamInfo<NmiCase> &Info) {
                           char Name[32];
                           std::snprintf(Name, sizeof(Name), "Latch0x%02X_Index0x%02X",
                                         Info.param.LatchBefore, Info.param.Index);
                           return std::string(Name);
                         });

TEST_F(CmosTest, ReadIsOneGuardedSequence) {
  Board.Cmos().PresetIndexLatch(0x80);
  Board.Cmos().SetByte(0x10, 0x42);
  size_t Mark = Board.Log().Mark();

  EXPECT_EQ(CmosRead8(0x10), 0x42);

  const std::vector<Access> Expected = {
      Access::FlagsRead(0x202),         Access::Plain(AccessKind::Cli),
      Access::IoRead(0x70, 8, 0x80),    Access::IoWrite(0x70, 8, 0x90),
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
  EXPECT_EQ(IndexWrites(), (std::vector<uint32_t>{0x00, 0xFF}));
}

TEST_F(CmosTest, Write16StoresTheLowByteFirst) {
  CmosWrite16(0x20, 0x1234);
  EXPECT_EQ(IndexWrites(), (std::vector<uint32_t>{0x20, 0x21}));
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
