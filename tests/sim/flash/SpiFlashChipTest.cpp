// Serial NOR parts driven byte by byte, as a datasheet's command sequences drive them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/hw/flash/FlashParts.h"
#include "sim/hw/flash/SpiFlashChip.h"

namespace {

using sim::SpiFlashChip;
namespace status = sim::spi_status;

SpiFlashChip Part(const std::string &name) {
  auto profile = sim::FindSpiPart(name);
  EXPECT_TRUE(profile.has_value()) << name;
  return SpiFlashChip(*profile);
}

// One command with chip select held low; returns what came back on MISO after the bytes sent.
std::vector<uint8_t> Command(SpiFlashChip &chip, std::vector<uint8_t> out, unsigned readBytes = 0) {
  chip.Select();
  for (uint8_t byte : out) chip.Transfer(byte);
  std::vector<uint8_t> in;
  for (unsigned i = 0; i < readBytes; ++i) in.push_back(chip.Transfer(0));
  chip.Deselect();
  return in;
}

std::vector<uint8_t> Addressed(uint8_t opcode, uint32_t address, std::vector<uint8_t> data = {}) {
  std::vector<uint8_t> bytes = {opcode, static_cast<uint8_t>(address >> 16),
                                static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

uint8_t ReadStatus(SpiFlashChip &chip) { return Command(chip, {0x05}, 1)[0]; }

void WaitIdle(SpiFlashChip &chip) {
  for (int i = 0; i < 100 && (ReadStatus(chip) & status::kWip); ++i) {
  }
}

std::vector<uint8_t> Read(SpiFlashChip &chip, uint32_t address, unsigned count) {
  return Command(chip, Addressed(0x03, address), count);
}

// ---- Identification: every table part, against the table's bytes ----

struct IdCase {
  const char *name;
  std::vector<uint8_t> id;
  uint32_t size;
};

class SpiIdentification : public ::testing::TestWithParam<IdCase> {};

TEST_P(SpiIdentification, AnswersReadIdWithItsBytesAndHasItsSize) {
  SpiFlashChip chip = Part(GetParam().name);
  EXPECT_EQ(Command(chip, {0x9F}, static_cast<unsigned>(GetParam().id.size())), GetParam().id);
  EXPECT_EQ(chip.Size(), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    TableParts, SpiIdentification,
    ::testing::Values(IdCase{"25LQ32A", {0x37, 0x40, 0x16}, 4u << 20},
                      IdCase{"25F32", {0x1C, 0x31, 0x16}, 4u << 20},
                      IdCase{"25F16", {0x1C, 0x31, 0x15}, 2u << 20},
                      IdCase{"25Q32B", {0x1C, 0x30, 0x16}, 4u << 20},
                      IdCase{"25X32", {0xEF, 0x30, 0x16}, 4u << 20},
                      IdCase{"25Q32", {0xEF, 0x40, 0x16}, 4u << 20},
                      IdCase{"25VF032B", {0xBF, 0x25, 0x4A}, 4u << 20},
                      IdCase{"25L3205A", {0xC2, 0x20, 0x16}, 4u << 20},
                      IdCase{"25DF321", {0x1F, 0x47, 0x01, 0x00}, 4u << 20},
                      IdCase{"25Q16", {0xEF, 0x40, 0x15}, 2u << 20},
                      IdCase{"25QH16", {0x1C, 0x70, 0x15}, 2u << 20},
                      IdCase{"25LQ16", {0x37, 0x40, 0x15}, 2u << 20},
                      IdCase{"GD25Q32B", {0xC8, 0x40, 0x16}, 4u << 20},
                      IdCase{"GD25Q16B", {0xC8, 0x40, 0x15}, 2u << 20},
                      IdCase{"GD25Q64B", {0xC8, 0x40, 0x17}, 8u << 20}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SpiCatalogue, HoldsTheFifteenSpiPartsInTableOrder) {
  std::vector<std::string> names;
  for (const auto &part : sim::SpiPartCatalogue()) names.push_back(part.name);
  EXPECT_EQ(names, (std::vector<std::string>{"25LQ32A", "25F32", "25F16", "25Q32B", "25X32",
                                             "25Q32", "25VF032B", "25L3205A", "25DF321", "25Q16",
                                             "25QH16", "25LQ16", "GD25Q32B", "GD25Q16B",
                                             "GD25Q64B"}));
}

// ---- Write enable latch and programming ----

TEST(SpiProgram, NeedsWriteEnableOnlyClearsBitsAndClearsTheLatch) {
  SpiFlashChip chip = Part("GD25Q32B");
  Command(chip, Addressed(0x02, 0x1000, {0x00}));
  WaitIdle(chip);
  EXPECT_EQ(Read(chip, 0x1000, 1)[0], 0xFF) << "program without WEL must be ignored";
  EXPECT_EQ(chip.Count().refused, 1u);

  Command(chip, {0x06});
  EXPECT_TRUE(ReadStatus(chip) & status::kWel);
  Command(chip, Addressed(0x02, 0x1000, {0xF0, 0x3C}));
  WaitIdle(chip);
  EXPECT_FALSE(ReadStatus(chip) & status::kWel) << "WEL clears when the program completes";
  Command(chip, {0x06});
  Command(chip, Addressed(0x02, 0x1000, {0x0F, 0xFF}));
  WaitIdle(chip);
  EXPECT_EQ(Read(chip, 0x1000, 2), (std::vector<uint8_t>{0x00, 0x3C}));
}

TEST(SpiProgram, WrapsInsideItsPageAndKeepsTheLast256Bytes) {
  SpiFlashChip chip = Part("25Q32");
  std::vector<uint8_t> data(16);
  for (unsigned i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  Command(chip, {0x06});
  Command(chip, Addressed(0x02, 0x20F8, data));  // 8 bytes fit before the page end
  WaitIdle(chip);
  EXPECT_EQ(Read(chip, 0x20F8, 8), (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Read(chip, 0x2000, 8), (std::vector<uint8_t>{8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(Read(chip, 0x2100, 1)[0], 0xFF) << "the next page is untouched";

  std::vector<uint8_t> long_(260);
  for (unsigned i = 0; i < long_.size(); ++i) long_[i] = static_cast<uint8_t>(0xFF - (i >> 2));
  Command(chip, {0x06});
  Command(chip, Addressed(0x02, 0x3000, long_));
  WaitIdle(chip);
  // Bytes 4..259 are kept: byte i lands at page offset i mod 256.
  EXPECT_EQ(Read(chip, 0x3000, 4), (std::vector<uint8_t>{long_[256], long_[257], long_[258],
                                                          long_[259]}));
  EXPECT_EQ(Read(chip, 0x3004, 1)[0], long_[4]);
}

TEST(SpiProgram, ByteProgramPartTakesOnlyTheFirstByte) {
  SpiFlashChip chip = Part("25VF032B");
  chip.PresetStatus(0x00);  // lift the power-up protection
  Command(chip, {0x06});
  Command(chip, Addressed(0x02, 0x40, {0x11, 0x22, 0x33}));
  WaitIdle(chip);
  EXPECT_EQ(Read(chip, 0x40, 3), (std::vector<uint8_t>{0x11, 0xFF, 0xFF}));
}

// ---- Erase ----

TEST(SpiErase, SectorEraseSetsExactlyItsFourKiBToOnes) {
  SpiFlashChip chip = Part("25F16");
  std::fill(chip.Array().begin(), chip.Array().end(), 0x00);
  Command(chip, {0x06});
  Command(chip, Addressed(0x20, 0x5123));  // any address inside the sector
  WaitIdle(chip);
  EXPECT_EQ(Read(chip, 0x4FFF, 2), (std::vector<uint8_t>{0x00, 0xFF}));
  EXPECT_EQ(Read(chip, 0x5FFF, 2), (std::vector<uint8_t>{0xFF, 0x00}));
  EXPECT_EQ(chip.Count().erases, 1u);
}

// ---- Busy ----

TEST(SpiBusy, StaysBusyForItsStatusReadsAndIgnoresCommandsMeanwhile) {
  SpiFlashChip chip = Part("GD25Q16B");
  chip.SetBusyReads(3, 5, 1);
  Command(chip, {0x06});
  Command(chip, Addressed(0x02, 0x0, {0x12}));
  EXPECT_TRUE(ReadStatus(chip) & status::kWip);
  EXPECT_EQ(Read(chip, 0x0, 1)[0], 0xFF) << "a read while busy is not answered";
  Command(chip, {0x06});
  EXPECT_EQ(chip.Count().ignoredWhileBusy, 2u);
  EXPECT_TRUE(ReadStatus(chip) & status::kWip);
  EXPECT_TRUE(ReadStatus(chip) & status::kWip);
  const uint8_t after = ReadStatus(chip);
  EXPECT_FALSE(after & status::kWip);
  EXPECT_FALSE(after & status::kWel) << "the WREN sent while busy was ignored";
  EXPECT_EQ(Read(chip, 0x0, 1)[0], 0x12);
}

TEST(SpiFaults, NeverFinishingPartStaysBusyAndIgnoringPartChangesNothing) {
  SpiFlashChip stuck = Part("25Q16");
  stuck.NeverFinish(true);
  Command(stuck, {0x06});
  Command(stuck, Addressed(0x20, 0x0));
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(ReadStatus(stuck) & status::kWip);

  SpiFlashChip deaf = Part("25Q16");
  deaf.IgnorePrograms(true);
  Command(deaf, {0x06});
  Command(deaf, Addressed(0x02, 0x10, {0x00}));
  EXPECT_TRUE(ReadStatus(deaf) & status::kWip) << "it looks as if it programs";
  WaitIdle(deaf);
  EXPECT_EQ(Read(deaf, 0x10, 1)[0], 0xFF);
}

// ---- Protection ----

struct PowerUpCase {
  const char *name;
  bool protectedAtPowerUp;
};

class SpiPowerUpProtection : public ::testing::TestWithParam<PowerUpCase> {};

TEST_P(SpiPowerUpProtection, EraseAfterPowerUpWorksOnlyOnUnprotectedParts) {
  SpiFlashChip chip = Part(GetParam().name);
  std::fill(chip.Array().begin(), chip.Array().end(), 0x5A);
  const uint32_t address = chip.Size() - 0x1000;  // the top sector, protected by any BP level
  Command(chip, {0x06});
  Command(chip, Addressed(0x20, address));
  WaitIdle(chip);
  EXPECT_EQ(Read(chip, address, 1)[0], GetParam().protectedAtPowerUp ? 0x5A : 0xFF);
  EXPECT_EQ(chip.IsProtected(0), GetParam().protectedAtPowerUp);
}

INSTANTIATE_TEST_SUITE_P(Parts, SpiPowerUpProtection,
                         ::testing::Values(PowerUpCase{"25VF032B", true},
                                           PowerUpCase{"25DF321", true},
                                           PowerUpCase{"25Q32", false},
                                           PowerUpCase{"GD25Q64B", false},
                                           PowerUpCase{"25L3205A", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SpiPowerCycle, ProtectionLiftedBeforeComesBackOnlyWhereThePartPowersUpProtected) {
  SpiFlashChip sst = Part("25VF032B");
  SpiFlashChip winbond = Part("25Q32");
  for (SpiFlashChip *chip : {&sst, &winbond}) {
    Command(*chip, {0x06});
    Command(*chip, {0x01, 0x00});
    WaitIdle(*chip);
    Command(*chip, {0x06});
    ASSERT_FALSE(chip->IsProtected(0));
    chip->PowerCycle();
    EXPECT_FALSE(ReadStatus(*chip) & status::kWel);
  }
  EXPECT_TRUE(sst.IsProtected(0));
  EXPECT_FALSE(winbond.IsProtected(0)) << "non-volatile status: stays as written";
}

struct BlockProtectCase {
  const char *name;
  uint8_t status;
  uint32_t protectedTop;  // bytes at the top of the array that refuse an erase
};

class SpiBlockProtect : public ::testing::TestWithParam<BlockProtectCase> {};

TEST_P(SpiBlockProtect, ProtectsTheTopOfTheArrayTheBitsName) {
  const BlockProtectCase c = GetParam();
  SpiFlashChip chip = Part(c.name);
  Command(chip, {0x06});
  Command(chip, {0x01, c.status});
  WaitIdle(chip);
  EXPECT_EQ(ReadStatus(chip) & status::kBlockProtect, c.status & status::kBlockProtect);
  const uint32_t size = chip.Size();
  if (c.protectedTop > 0) {
    EXPECT_TRUE(chip.IsProtected(size - c.protectedTop));
  }
  if (c.protectedTop < size) {
    EXPECT_FALSE(chip.IsProtected(size - c.protectedTop - 1));
  }

  // An erase of the top sector does nothing exactly when it is protected.
  std::fill(chip.Array().begin(), chip.Array().end(), 0x00);
  Command(chip, {0x06});
  Command(chip, Addressed(0x20, size - 0x1000));
  WaitIdle(chip);
  EXPECT_EQ(Read(chip, size - 1, 1)[0], c.protectedTop > 0 ? 0x00 : 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, SpiBlockProtect,
    ::testing::Values(BlockProtectCase{"25Q32", 0x00, 0}, BlockProtectCase{"25Q32", 0x04, 64u << 10},
                      BlockProtectCase{"25Q32", 0x08, 128u << 10},
                      BlockProtectCase{"25Q32", 0x0C, 256u << 10},
                      BlockProtectCase{"25Q32", 0x18, 2u << 20},
                      BlockProtectCase{"25Q32", 0x1C, 4u << 20},
                      BlockProtectCase{"25Q16", 0x14, 1u << 20},
                      BlockProtectCase{"GD25Q64B", 0x04, 128u << 10}),
    [](const auto &info) {
      char status[8];
      std::snprintf(status, sizeof status, "%02X", info.param.status);
      return std::string(info.param.name) + "_Status" + status;
    });

TEST(SpiStatusWrite, EnableWriteStatusOpensOneStatusWriteOnPartsThatHaveIt) {
  SpiFlashChip sst = Part("25VF032B");
  Command(sst, {0x50});
  Command(sst, {0x01, 0x00});
  WaitIdle(sst);
  EXPECT_EQ(ReadStatus(sst) & status::kBlockProtect, 0) << "EWSR then WRSR unprotects";
  Command(sst, {0x01, 0x1C});
  WaitIdle(sst);
  EXPECT_EQ(ReadStatus(sst) & status::kBlockProtect, 0) << "a second WRSR needs a new enable";

  SpiFlashChip winbond = Part("25X32");  // has no 50h
  Command(winbond, {0x50});
  Command(winbond, {0x01, 0x1C});
  WaitIdle(winbond);
  EXPECT_EQ(ReadStatus(winbond) & status::kBlockProtect, 0);
  EXPECT_EQ(winbond.Count().refused, 1u);
}

TEST(SpiSectorLocks, GlobalUnprotectAndProtectThroughTheStatusRegisterAndPerSector) {
  SpiFlashChip atmel = Part("25DF321");
  EXPECT_EQ(ReadStatus(atmel) & status::kSectorProtectStatus, 0x0C) << "all protected";
  Command(atmel, {0x50});  // not an Atmel command: the status write stays locked out
  Command(atmel, {0x01, 0x00});
  EXPECT_TRUE(atmel.IsProtected(0));

  Command(atmel, {0x06});
  Command(atmel, {0x01, 0x00});  // global unprotect
  WaitIdle(atmel);
  EXPECT_EQ(ReadStatus(atmel) & status::kSectorProtectStatus, 0x00);

  Command(atmel, {0x06});
  Command(atmel, Addressed(0x36, 0x10000));  // protect sector 1
  EXPECT_EQ(ReadStatus(atmel) & status::kSectorProtectStatus, 0x04) << "some protected";
  Command(atmel, {0x06});
  Command(atmel, Addressed(0x02, 0x10000, {0x00}));
  WaitIdle(atmel);
  EXPECT_EQ(Read(atmel, 0x10000, 1)[0], 0xFF);
  EXPECT_TRUE(ReadStatus(atmel) & status::kEraseProgramError);

  Command(atmel, {0x06});
  Command(atmel, {0x01, 0x3C});  // global protect
  WaitIdle(atmel);
  EXPECT_EQ(ReadStatus(atmel) & status::kSectorProtectStatus, 0x0C);
}

}  // namespace
