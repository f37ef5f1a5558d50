// SpdProviderPei: the strap it reads, the block it publishes, and the images themselves.
#include "spd_pei/SpdProviderPei.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "include/SpdDataHob.h"
#include "sim/hw/Board.h"
#include "sim/uefi/GuidText.h"
#include "sim/uefi/PeiEnvironment.h"
#include "tools/boardsim/SpdDecode.h"

namespace {

using sim::Access;
using sim::AccessKind;

const EFI_GUID kSpdHobGuid = SPD_DATA_HOB_GUID;
constexpr unsigned kStrapGpio = 34;

class SpdProviderTest : public ::testing::Test {
 protected:
  void SetUp() override { Board.Lpc().PresetGpioBase(0x0480); }
  void TearDown() override {
    EXPECT_TRUE(Board.Faults().Empty()) << Board.Faults().Describe();
    EXPECT_TRUE(Pei->Errors().empty());
  }

  // Runs the module; returns the published image (empty when nothing was published).
  std::vector<UINT8> Run(EFI_STATUS Expected = EFI_SUCCESS) {
    EXPECT_EQ(SpdProviderPeiEntry(nullptr, Pei->PeiServices()), Expected);
    auto Found = Pei->GuidHobs(kSpdHobGuid);
    if (Found.empty()) return {};
    EXPECT_EQ(Found.size(), 1u);
    Published = (const SPD_DATA_HOB *)Found[0];
    return std::vector<UINT8>(Published->SpdData, Published->SpdData + 256);
  }

  sim::Board Board;
  void NewPei(size_t HobSpace = sim::PeiEnvironment::kDefaultHobSpace) {
    Pei.reset();
    Pei = std::make_unique<sim::PeiEnvironment>(HobSpace);
  }

  std::unique_ptr<sim::PeiEnvironment> Pei = std::make_unique<sim::PeiEnvironment>();
  const SPD_DATA_HOB *Published = nullptr;
};

// The images as tabled: every byte not listed is zero.
std::vector<UINT8> ExpectedImage(bool StrapHigh) {
  std::map<int, UINT8> Bytes = {
      {0, 0x92},   {1, 0x11},   {2, 0x0B},   {3, 0x03},   {4, 0x03},   {5, 0x19},
      {7, 0x01},   {8, 0x03},   {10, 0x01},  {11, 0x08},  {12, 0x0A},  {14, 0xFE},
      {16, 0x69},  {17, 0x78},  {18, 0x69},  {19, 0x30},  {20, 0x69},  {21, 0x11},
      {22, 0x18},  {23, 0x81},  {25, 0x05},  {26, 0x3C},  {27, 0x3C},  {29, 0xF0},
      {30, 0x83},  {60, 0x0F},  {61, 0x11},  {117, 0x80}, {119, 0x01}, {148, 0x80}};
  const char *Part;
  if (StrapHigh) {
    for (auto [Offset, Value] : std::map<int, UINT8>{
             {9, 0x11}, {31, 0x01}, {62, 0x65}, {118, 0xCE}, {149, 0xCE},
             // Corrected CRC: the JEDEC CRC-16 of bytes 0-116 as tabled (one rank).
             {126, 0x94}, {127, 0x0F}})
      Bytes[Offset] = Value;
    Part = "M471B5273DH0-CK0  ";
  } else {
    for (auto [Offset, Value] : std::map<int, UINT8>{{9, 0x52},   {31, 0x05},  {62, 0x01},
                                                    {118, 0xAD}, {149, 0xAD}, {126, 0x2D},
                                                    {127, 0x78}, {146, 0x4E}, {147, 0x30}})
      Bytes[Offset] = Value;
    Part = "HMT325S6CFR8C-PB  ";
  }
  std::vector<UINT8> Image(256, 0);
  for (auto [Offset, Value] : Bytes) Image[Offset] = Value;
  std::memcpy(&Image[128], Part, 18);
  return Image;
}

TEST_F(SpdProviderTest, StrapHighPublishesImageA) {
  Board.Gpio().SetPinLevel(kStrapGpio, true);
  std::vector<UINT8> Image = Run();
  ASSERT_NE(Published, nullptr);
  EXPECT_EQ(Image, ExpectedImage(true));
  const UINT8 *Data = Published->SpdHobHeader;
  EXPECT_EQ(std::vector<UINT8>(Data, Data + 5), (std::vector<UINT8>{0x01, 0x00, 0x92, 0x11, 0x0B}));
  EXPECT_EQ(std::string((const char *)&Image[128], 18), "M471B5273DH0-CK0  ");
}

TEST_F(SpdProviderTest, StrapLowPublishesImageB) {
  Board.Gpio().SetPinLevel(kStrapGpio, false);
  std::vector<UINT8> Image = Run();
  ASSERT_NE(Published, nullptr);
  EXPECT_EQ(Image, ExpectedImage(false));
  EXPECT_EQ(Published->SpdHobHeader[0], 0x01);
  EXPECT_EQ(Published->SpdHobHeader[1], 0x00);
  EXPECT_EQ(Image[146], 'N');
  EXPECT_EQ(Image[147], '0');
  EXPECT_EQ(Image[9], 0x52);
}

TEST_F(SpdProviderTest, PublishesOneGuidBlockOfTheRequestedSize) {
  Run();
  EXPECT_EQ(Pei->Calls().front(), "CreateHob(4, 282)");
  ASSERT_NE(Published, nullptr);
  EXPECT_EQ(Published->Header.Header.HobType, EFI_HOB_TYPE_GUID_EXTENSION);
  EXPECT_GE(Published->Header.Header.HobLength, 282);
  EXPECT_EQ(Pei->Hobs().size(), 2u);  // the hand-off table and our block
}

TEST_F(SpdProviderTest, OnlyGpio34DecidesWhichImage) {
  // Every other level bit of both neighbouring banks flipped, GPIO 34 fixed.
  for (bool High : {false, true}) {
    Board.Gpio().SetPinLevels(1, High ? ~0u : ~(1u << 2));
    Board.Gpio().SetPinLevels(0, High ? 0u : ~0u);
    NewPei();  // each run publishes into a list of its own
    std::vector<UINT8> Image = Run();
    EXPECT_EQ(Image, ExpectedImage(High)) << "strap " << High;
  }
}

TEST_F(SpdProviderTest, ReadsTheLevelRegisterThroughGpioBase) {
  // Bit 0 of GPIOBASE reads 1 (I/O space); the mask drops it: 0x0481 -> port 0x04B8.
  ASSERT_EQ(Board.Lpc().Peek32(0x48) & 0xFFFF, 0x0481u);
  Run();
  const std::vector<Access> Expected = {Access::MmioRead(0xF00F8048, 32, 0x0481),
                                        Access::IoRead(0x04B8, 32, 0)};
  EXPECT_EQ(Board.Log().All(), Expected) << sim::Describe(Board.Log().All());
}

TEST_F(SpdProviderTest, FollowsTheGpioBlockWhereverItIs) {
  Board.Lpc().PresetGpioBase(0x1180);
  Board.Gpio().SetPinLevel(kStrapGpio, true);
  EXPECT_EQ(Run(), ExpectedImage(true));
  EXPECT_EQ(Board.Log().OfKind(AccessKind::IoRead).at(0).address, 0x11B8u);
}

TEST_F(SpdProviderTest, CreateHobFailureIsReturnedAndNothingIsPublished) {
  Pei->FailNthCreateHob(1, EFI_OUT_OF_RESOURCES);
  size_t ListBefore = Pei->ListSize();
  EXPECT_TRUE(Run(EFI_OUT_OF_RESOURCES).empty());
  EXPECT_EQ(Pei->ListSize(), ListBefore);
  EXPECT_EQ(Pei->Calls().size(), 1u);  // no copy after the failure
}

TEST_F(SpdProviderTest, FullHobSpaceIsOutOfResources) {
  NewPei(256);  // room for the hand-off table, not for 282 bytes
  EXPECT_TRUE(Run(EFI_OUT_OF_RESOURCES).empty());
}

// The block as the platform's memory initialisation finds it: by the published GUID, written
// out here as bytes, and by byte offsets rather than through the structure the module uses.
TEST_F(SpdProviderTest, BlockFoundByThePublishedGuidBytesAndReadByOffset) {
  const UINT8 GuidBytes[16] = {0x04, 0x1F, 0xE8, 0xA1, 0x96, 0x25, 0xF9, 0x42,
                               0xA5, 0xFE, 0x0C, 0x77, 0x17, 0x23, 0xB1, 0xBD};
  EFI_GUID Published;
  std::memcpy(&Published, GuidBytes, 16);
  EXPECT_EQ(sim::GuidText(Published), "A1E81F04-2596-42F9-A5FE-0C771723B1BD");
  EXPECT_EQ(std::memcmp(&kSpdHobGuid, GuidBytes, 16), 0) << sim::GuidText(kSpdHobGuid);

  Board.Gpio().SetPinLevel(kStrapGpio, true);
  EXPECT_EQ(SpdProviderPeiEntry(nullptr, Pei->PeiServices()), EFI_SUCCESS);
  auto Found = Pei->GuidHobs(Published);
  ASSERT_EQ(Found.size(), 1u);
  const UINT8 *Block = (const UINT8 *)Found[0];

  EXPECT_EQ(Block[0] | Block[1] << 8, 0x0004);        // GUID extension
  EXPECT_GE(Block[2] | Block[3] << 8, 282);           // length, from the core
  EXPECT_EQ(std::memcmp(Block + 8, GuidBytes, 16), 0);
  EXPECT_EQ(Block[24], 0x01);
  EXPECT_EQ(Block[25], 0x00);
  EXPECT_EQ(std::vector<UINT8>(Block + 26, Block + 26 + 256), ExpectedImage(true));
}

TEST(SpdHobLayout, FieldsSitAtThePublishedOffsets) {
  EXPECT_EQ(offsetof(SPD_DATA_HOB, Header.Name), 8u);
  EXPECT_EQ(offsetof(SPD_DATA_HOB, SpdHobHeader), 24u);
  EXPECT_EQ(offsetof(SPD_DATA_HOB, SpdData), 26u);
  EXPECT_EQ(sizeof(SPD_DATA_HOB), 282u);
}

// Independent of the module: each image must carry the JEDEC CRC of its own bytes 0-116, or
// a memory initialisation that checks it refuses the memory.
TEST(SpdImages, CarryTheCrcOfTheirOwnBytes) {
  for (bool High : {true, false}) {
    std::vector<UINT8> Image = ExpectedImage(High);
    uint16_t Stored = (uint16_t)(Image[126] | Image[127] << 8);
    EXPECT_EQ(spd::Crc16(Image.data(), 117), Stored) << (High ? "image A" : "image B");
  }
}

TEST(SpdImages, DecodeAsTwoGigabyteDdr3_1600SoDimms) {
  for (bool High : {true, false}) {
    spd::Image Image;
    std::vector<UINT8> Bytes = ExpectedImage(High);
    std::copy(Bytes.begin(), Bytes.end(), Image.begin());
    spd::Ddr3Summary S = spd::DecodeDdr3(Image);
    EXPECT_EQ(S.MemoryType, "DDR3 SDRAM");
    EXPECT_EQ(S.ModuleType, "SO-DIMM");
    EXPECT_EQ(S.CapacityMiB, 2048u);
    EXPECT_EQ(S.Ranks, 1u);
    EXPECT_EQ(S.SpeedGrade, 1600u);
    EXPECT_TRUE(S.CrcMatches());
  }
}

}  // namespace
