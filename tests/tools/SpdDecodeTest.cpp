// The SPD decoder boardsim reports with, on values worked out by hand.
#include "tools/boardsim/SpdDecode.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(SpdDecode, Crc16MatchesTheStandardCheckValue) {
  // CRC-16, polynomial 0x1021, initial value 0: the check value of "123456789" is 0x31C3.
  const char *Check = "123456789";
  EXPECT_EQ(spd::Crc16((const uint8_t *)Check, std::strlen(Check)), 0x31C3);
  EXPECT_EQ(spd::Crc16(nullptr, 0), 0);
}

TEST(SpdDecode, CapacityRanksAndSpeedFromTheOrganisationBytes) {
  spd::Image Image{};
  Image[0] = 0x92;  // CRC over 0-116
  Image[2] = 0x0B;
  Image[3] = 0x02;   // UDIMM
  Image[4] = 0x04;   // 4 Gb dies
  Image[7] = 0x09;   // two ranks of x8
  Image[8] = 0x03;   // 64-bit bus
  Image[9] = 0x11;
  Image[10] = 0x01;
  Image[11] = 0x08;
  Image[12] = 0x0F;  // 1.875 ns -> DDR3-1066
  std::memcpy(&Image[128], "PART-1            ", 18);
  uint16_t Crc = spd::Crc16(Image.data(), 117);
  Image[126] = (uint8_t)Crc;
  Image[127] = (uint8_t)(Crc >> 8);

  spd::Ddr3Summary S = spd::DecodeDdr3(Image);
  EXPECT_EQ(S.ModuleType, "UDIMM");
  EXPECT_EQ(S.Ranks, 2u);
  EXPECT_EQ(S.CapacityMiB, 8192u);  // 512 MiB per die * 8 dies * 2 ranks
  EXPECT_EQ(S.SpeedGrade, 1067u);
  EXPECT_EQ(S.PartNumber, "PART-1");
  EXPECT_TRUE(S.CrcMatches());

  Image[7] = 0x01;  // a changed byte no longer matches the stored CRC
  EXPECT_FALSE(spd::DecodeDdr3(Image).CrcMatches());
}

}  // namespace
