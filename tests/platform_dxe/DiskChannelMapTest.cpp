// The disk channel map as a client reads it: packed bytes, built once, kept.
#include <cstring>

#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

// Little-endian bytes of one packed entry, built independently of the driver's structure.
std::vector<UINT8> EntryBytes(UINT32 Bus, UINT32 Device, UINT32 Function, UINT8 Channel,
                              UINT8 Drive, UINT64 Index) {
  std::vector<UINT8> Bytes;
  auto Put = [&](UINT64 Value, int Size) {
    for (int i = 0; i < Size; ++i) Bytes.push_back((UINT8)(Value >> (8 * i)));
  };
  Put(Bus, 4);
  Put(Device, 4);
  Put(Function, 4);
  Put(Channel, 1);
  Put(Drive, 1);
  Put(Index, 8);
  return Bytes;
}

TEST_F(DxeTest, DiskChannelMapHoldsTheBoardsTenEntriesPacked) {
  StartDriverWithBoard();
  DISK_CHANNEL_ENTRY *Table = nullptr;
  UINTN Count = 0;
  ASSERT_EQ(GetDiskChannelMap(&Table, &Count), EFI_SUCCESS);
  ASSERT_EQ(Count, 10u);

  std::vector<UINT8> Expected;
  const UINT64 Rows[10][6] = {{0, 31, 2, 0, 0, 0}, {0, 31, 2, 0, 1, 2}, {0, 31, 2, 1, 0, 1},
                              {0, 31, 2, 1, 1, 3}, {0, 31, 5, 0, 0, 4}, {0, 31, 5, 1, 0, 5},
                              {0, 22, 2, 0, 0, 6}, {0, 22, 2, 0, 1, 7}, {0, 22, 2, 1, 0, 8},
                              {0, 22, 2, 1, 1, 9}};
  for (const auto &R : Rows) {
    auto Bytes = EntryBytes((UINT32)R[0], (UINT32)R[1], (UINT32)R[2], (UINT8)R[3], (UINT8)R[4],
                            R[5]);
    Expected.insert(Expected.end(), Bytes.begin(), Bytes.end());
  }
  ASSERT_EQ(Expected.size(), 220u);
  std::vector<UINT8> Actual((const UINT8 *)Table, (const UINT8 *)Table + 220);
  EXPECT_EQ(Actual, Expected);

  // The fourth entry, bytes 66 to 87: no gap before the 8-byte index.
  std::vector<UINT8> Fourth(Actual.begin() + 66, Actual.begin() + 88);
  EXPECT_EQ(Fourth, EntryBytes(0, 31, 2, 1, 1, 3));
}

TEST_F(DxeTest, DiskChannelMapIsBuiltOnceAndKept) {
  StartDriverWithBoard();
  DISK_CHANNEL_ENTRY *First = nullptr, *Second = nullptr;
  UINTN FirstCount = 0, SecondCount = 0;
  ASSERT_EQ(GetDiskChannelMap(&First, &FirstCount), EFI_SUCCESS);
  std::vector<UINT8> Before((const UINT8 *)First, (const UINT8 *)First + 220);
  size_t LiveAfterFirst = Env().Pool().LiveCount();

  ASSERT_EQ(GetDiskChannelMap(&Second, &SecondCount), EFI_SUCCESS);
  EXPECT_EQ(Second, First);
  EXPECT_EQ(SecondCount, 10u);
  EXPECT_EQ(std::vector<UINT8>((const UINT8 *)Second, (const UINT8 *)Second + 220), Before);
  EXPECT_EQ(Env().Pool().LiveCount(), LiveAfterFirst);
  ASSERT_NE(Env().Pool().Find(First), nullptr);
  EXPECT_EQ(Env().Pool().Find(First)->size, 220u);
}

TEST_F(DxeTest, DiskChannelMapAllocationFailureCachesNothingAndALaterCallSucceeds) {
  StartDriverWithBoard();
  DISK_CHANNEL_ENTRY *Table = nullptr;
  UINTN Count = 0;
  size_t LiveBefore = Env().Pool().LiveCount();
  Env().Pool().FailNthAllocation(1);

  EXPECT_EQ(GetDiskChannelMap(&Table, &Count), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(Env().Pool().LiveCount(), LiveBefore);

  EXPECT_EQ(GetDiskChannelMap(&Table, &Count), EFI_SUCCESS);
  EXPECT_NE(Table, nullptr);
  EXPECT_EQ(Count, 10u);
}

TEST_F(DxeTest, DiskChannelMapRefusesNullOutputs) {
  StartDriverWithBoard();
  DISK_CHANNEL_ENTRY *Table = nullptr;
  UINTN Count = 0;
  EXPECT_EQ(GetDiskChannelMap(nullptr, &Count), EFI_INVALID_PARAMETER);
  EXPECT_EQ(GetDiskChannelMap(&Table, nullptr), EFI_INVALID_PARAMETER);
  EXPECT_EQ(Count, 0u);
}

}  // namespace
}  // namespace dxe_test
