// The pass-through to the board support protocol and the reserved slot.
#include <cstdio>
#include <string>

#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

class PlatformCallStatusTest : public DxeTest,
                               public ::testing::WithParamInterface<EFI_STATUS> {};

TEST_P(PlatformCallStatusTest, ReturnsTheBoardsStatusUnchanged) {
  StartDriverWithBoard();
  BoardSupport.Answer = GetParam();
  EXPECT_EQ(PlatformCall(0x1122334455667788ull, 0xCAFEF00Du, 0x8877665544332211ull),
            GetParam());

  ASSERT_EQ(BoardSupport.Calls.size(), 1u);
  const auto &Call = BoardSupport.Calls[0];
  EXPECT_EQ(Call.This, &BoardSupport.Protocol);
  EXPECT_EQ(Call.Function, 3u);
  EXPECT_EQ(Call.First, 0x1122334455667788ull);
  EXPECT_EQ(Call.Second, 0xCAFEF00Du);
  EXPECT_EQ(Call.Third, 0x8877665544332211ull);
}

INSTANTIATE_TEST_SUITE_P(Statuses, PlatformCallStatusTest,
                         ::testing::Values(EFI_SUCCESS, EFI_ABORTED, EFI_DEVICE_ERROR,
                                           EFIERR(0x123), (EFI_STATUS)0x7),
                         [](const ::testing::TestParamInfo<EFI_STATUS> &Info) {
                           char Name[32];
                           std::snprintf(Name, sizeof(Name), "Status0x%llX",
                                         (unsigned long long)Info.param);
                           return std::string(Name);
                         });

TEST_F(DxeTest, PlatformCallBeforeStartUpIsNotReady) {
  EXPECT_EQ(PlatformCall(1, 2, 3), EFI_NOT_READY);
  EXPECT_TRUE(BoardSupport.Calls.empty());
}

TEST_F(DxeTest, PlatformCallWithoutABoardEntryIsUnsupported) {
  StartDriverWithBoard();
  BoardSupport.Operations.Entry[BOARD_SUPPORT_ENTRY_PLATFORM_CALL] = nullptr;
  EXPECT_EQ(PlatformCall(1, 2, 3), EFI_UNSUPPORTED);
}

TEST_F(DxeTest, ReservedTouchesNothing) {
  StartDriverWithBoard();
  size_t Accesses = Board.Log().Size();
  size_t Calls = Env().Calls().Entries().size();
  Reserved();
  EXPECT_EQ(Board.Log().Size(), Accesses);
  EXPECT_EQ(Env().Calls().Entries().size(), Calls);
}

}  // namespace
}  // namespace dxe_test
