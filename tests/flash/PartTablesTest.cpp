// The two part tables as clients and the SPI operations rely on them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform_dxe/ModuleState.h"
#include "platform_dxe/flash/FlashParts.h"

namespace {

UINT64 PartSize(const FLASH_PART_RECORD &Part) {
  return (UINT64)Part.BlockSize * FLASH_BLOCK_SIZE_UNIT * Part.BlockCount;
}

unsigned SignificantBytes(UINT64 Value) {
  unsigned Bytes = 0;
  while (Value != 0) {
    ++Bytes;
    Value >>= 8;
  }
  return Bytes;
}

TEST(PartTables, EveryRecordsSizeFieldsAgree) {
  for (FLASH_PART_RECORD *Part : LpcPartList) {
    EXPECT_EQ(PartSize(*Part), (UINT64)0x10000 << Part->SizeCode) << (const char *)Part->PartName;
  }
  for (SPI_FLASH_PART_RECORD *Record : SpiPartList) {
    const SPI_PART_CONFIG &Config = *Record->SpiConfig;
    SCOPED_TRACE((const char *)Record->Part.PartName);
    EXPECT_EQ(PartSize(Record->Part), Config.Size);
    EXPECT_EQ((UINT64)0x10000 << Record->Part.SizeCode, Config.Size);
    EXPECT_EQ(Record->Part.BlockSize * FLASH_BLOCK_SIZE_UNIT, Config.EraseSize);
  }
}

// An SPI record is accepted only when the identifier bytes read equal its whole PartId, so a
// record that reads fewer bytes than its PartId holds can never be detected.
TEST(PartTables, EverySpiRecordReadsAsManyIdentifierBytesAsItsPartIdHolds) {
  for (SPI_FLASH_PART_RECORD *Record : SpiPartList) {
    UINT32 Length = (Record->SpiConfig->Flags & SPI_FLAG_ID_LENGTH_MASK) >> SPI_FLAG_ID_LENGTH_SHIFT;
    EXPECT_EQ(Length, SignificantBytes(Record->Part.PartId)) << (const char *)Record->Part.PartName;
  }
}

TEST(PartTables, NamesAreNulPaddedAndReservedBytesCarried) {
  auto CheckPadded = [](const UINT8 *Field) {
    size_t Used = strnlen((const char *)Field, FLASH_PART_NAME_LENGTH);
    ASSERT_LT(Used, (size_t)FLASH_PART_NAME_LENGTH);
    for (size_t i = Used; i < FLASH_PART_NAME_LENGTH; ++i) EXPECT_EQ(Field[i], 0);
  };
  std::vector<FLASH_PART_RECORD *> All(LpcPartList, LpcPartList + kLpcPartCount);
  for (SPI_FLASH_PART_RECORD *Record : SpiPartList) All.push_back(&Record->Part);
  for (FLASH_PART_RECORD *Part : All) {
    CheckPadded(Part->VendorName);
    CheckPadded(Part->PartName);
    EXPECT_EQ(Part->ReservedBytes[0], 0xFF);
    EXPECT_EQ(Part->ReservedBytes[1], 0xFF);
    EXPECT_EQ(Part->ReservedBytes[2], 0x00);
  }
}

// The capabilities value is how the chipset erases and writes the part with hardware
// sequencing: erase size and opcode, write granularity, write-status handling.
struct CapabilitiesCase {
  const char *Name;
  UINT64 Row;
  UINT32 Expected;
};

void PrintTo(const CapabilitiesCase &Case, std::ostream *Out) { *Out << Case.Name; }

class CapabilitiesTest : public ::testing::TestWithParam<CapabilitiesCase> {};

TEST_P(CapabilitiesTest, ValueFollowsTheFlagsAndPrefixOpcodes) {
  const CapabilitiesCase &Case = GetParam();
  EXPECT_EQ(SpiCapabilitiesValue(*SpiPartList[Case.Row]->SpiConfig), Case.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    TableRows, CapabilitiesTest,
    ::testing::Values(CapabilitiesCase{"Amic25LQ32A_NoPrefixRule", 0, 0x2005},
                      CapabilitiesCase{"Winbond25Q32_NoPrefixRule", 5, 0x2005},
                      CapabilitiesCase{"Sst25VF032B_StatusProtectByteWrites", 6, 0x2009},
                      CapabilitiesCase{"Atmel25DF321_PrefixDerived", 8, 0x201D},
                      CapabilitiesCase{"GigaDevice25Q64B", 14, 0x2005}),
    [](const ::testing::TestParamInfo<CapabilitiesCase> &Info) { return Info.param.Name; });

struct DerivedCase {
  const char *Name;
  UINT16 PrefixOpcodes;
  UINT32 EraseSize;
  UINT32 Flags;
  UINT32 Expected;
};

void PrintTo(const DerivedCase &Case, std::ostream *Out) { *Out << Case.Name; }

class CapabilitiesRulesTest : public ::testing::TestWithParam<DerivedCase> {};

TEST_P(CapabilitiesRulesTest, PrefixAndEraseSizeRules) {
  const DerivedCase &Case = GetParam();
  SPI_PART_CONFIG Config = *SpiPartList[0]->SpiConfig;
  Config.PrefixOpcodes = Case.PrefixOpcodes;
  Config.EraseSize = Case.EraseSize;
  Config.Flags = Case.Flags;
  EXPECT_EQ(SpiCapabilitiesValue(Config), Case.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CapabilitiesRulesTest,
    ::testing::Values(DerivedCase{"WriteEnableInPrefix1", 0x0650, 0x1000, 0x30, 0x2011},
                      DerivedCase{"EnableWriteStatusOnly", 0x5000, 0x1000, 0x30, 0x2009},
                      DerivedCase{"NeitherPrefix", 0x0000, 0x1000, 0x30, 0x2001},
                      DerivedCase{"Erase256", 0x0000, 0x100, 0x30, 0x2000},
                      DerivedCase{"Erase64K", 0x0000, 0x10000, 0x30, 0x2003},
                      DerivedCase{"OtherEraseSize", 0x0000, 0x8000, 0x30, 0x2000},
                      DerivedCase{"SuppressedPrefixRule", 0x0606, 0x1000, 0x430, 0x2001}),
    [](const ::testing::TestParamInfo<DerivedCase> &Info) { return Info.param.Name; });

TEST(PartTables, ResetRestoresSizeFieldsDetectionRewrote) {
  SPI_FLASH_PART_RECORD &Record = *SpiPartList[3];
  Record.Part.SizeCode = FLASH_SIZE_CODE_TWO_COMPONENTS;
  Record.Part.BlockCount = 2048;
  ResetPlatformDxeState();
  EXPECT_EQ((UINT8)Record.Part.SizeCode, 6);
  EXPECT_EQ((UINT16)Record.Part.BlockCount, 1024);
  EXPECT_EQ(DxeModule.Flash.LastSpiPartIndex, kNoSpiPart);
}

}  // namespace
