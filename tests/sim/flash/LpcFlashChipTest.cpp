// LPC flash and firmware hubs at the top of 4 GiB, driven with the command sequences of their
// datasheets through byte-wide memory writes and reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform_dxe/cpu/Instructions.h"
#include "sim/hw/Board.h"
#include "sim/hw/flash/FlashBoard.h"

namespace {

using sim::Board;
using sim::FlashBoard;

constexpr uint64_t kWindow = 0xFFF00000;
constexpr uint64_t kUnlock1 = kWindow + 0x5555, kUnlock2 = kWindow + 0x2AAA;

void Write(uint64_t address, uint8_t value) { hw::MmioStore8(address, value); }
uint8_t Read(uint64_t address) { return hw::MmioLoad8(address); }

void Unlock() {
  Write(kUnlock1, 0xAA);
  Write(kUnlock2, 0x55);
}

// Processor address of part offset Offset (the part's top byte at 0xFFFFFFFF).
uint64_t At(const FlashBoard &flash, uint32_t offset) { return flash.FlashBase() + offset; }

// Reads until bit 6 stops toggling; returns the number of reads that still toggled.
unsigned WaitToggle(uint64_t address) {
  unsigned toggling = 0;
  uint8_t previous = Read(address);
  for (int i = 0; i < 10000; ++i) {
    const uint8_t now = Read(address);
    if (((now ^ previous) & 0x40) == 0) break;
    ++toggling;
    previous = now;
  }
  return toggling;
}

// ---- JEDEC parts ----

struct JedecIdCase {
  const char *part;
  uint16_t id;           // manufacturer in the low byte
  bool idRegisters;      // also readable at 0xFFBC0000
};

class JedecIdentification : public ::testing::TestWithParam<JedecIdCase> {};

TEST_P(JedecIdentification, UnlockAndNinetyShowTheIdentifierUntilF0) {
  const JedecIdCase c = GetParam();
  Board board;
  FlashBoard flash(board, c.part);
  flash.LpcChip()->Array()[0] = 0x12;
  flash.LpcChip()->Array()[1] = 0x34;
  Unlock();
  Write(kUnlock1, 0x90);
  EXPECT_EQ(hw::MmioLoad16(At(flash, 0)), c.id);
  EXPECT_EQ(hw::MmioLoad16(kWindow), c.id) << "the part aliases through the whole window";
  Write(kUnlock1, 0xF0);
  EXPECT_EQ(hw::MmioLoad16(At(flash, 0)), 0x3412);
  EXPECT_EQ(hw::MmioLoad16(0xFFBC0000), c.idRegisters ? c.id : 0xFFFF);
  EXPECT_TRUE(board.Faults().Empty()) << board.Faults().Describe();
}

INSTANTIATE_TEST_SUITE_P(TableParts, JedecIdentification,
                         ::testing::Values(JedecIdCase{"49LF008A", 0x5ABF, true},
                                           JedecIdCase{"49LF004A", 0x60BF, true},
                                           JedecIdCase{"49FL004T", 0x6E9D, true},
                                           JedecIdCase{"39V040FPA", 0x34DA, true},
                                           JedecIdCase{"39VF080", 0xD8BF, false}),
                         [](const auto &info) { return std::string(info.param.part); });

TEST(JedecProgram, ProgramsOneByteClearingBitsWithToggleAndDataPolling) {
  Board board;
  FlashBoard flash(board, "49LF004A");
  flash.LpcChip()->SetBusyReads(3, 5);
  const uint64_t target = At(flash, 0x1234);
  Unlock();
  Write(kUnlock1, 0xA0);
  Write(target, 0x5A);
  const uint8_t first = Read(target);
  const uint8_t second = Read(target);
  EXPECT_NE(first & 0x40, second & 0x40) << "bit 6 toggles while programming";
  EXPECT_EQ(first & 0x80, 0x80) << "bit 7 is the complement of the data's bit 7 (0)";
  Read(target);
  EXPECT_EQ(Read(target), 0x5A) << "after its busy reads the part reads the array again";

  Unlock();
  Write(kUnlock1, 0xA0);
  Write(target, 0xF0);
  EXPECT_GT(WaitToggle(target), 0u);
  EXPECT_EQ(Read(target), 0x50) << "programming only clears bits";
  EXPECT_EQ(flash.LpcChip()->Count().programs, 2u);
}

TEST(JedecProgram, AWriteWithoutTheSequenceChangesNothing) {
  Board board;
  FlashBoard flash(board, "39VF080");
  Write(At(flash, 0x100), 0x00);  // plain write: not a command
  Unlock();
  Write(At(flash, 0x100), 0xA0);  // third cycle at the wrong address
  Write(At(flash, 0x100), 0x00);
  EXPECT_EQ(Read(At(flash, 0x100)), 0xFF);
  EXPECT_EQ(flash.LpcChip()->Count().programs, 0u);
  EXPECT_GE(flash.LpcChip()->Count().sequenceResets, 2u);
}

struct JedecEraseCase {
  const char *name;
  const char *part;
  uint8_t command;
  uint32_t address;
  uint32_t first, last;  // erased range
};

class JedecErase : public ::testing::TestWithParam<JedecEraseCase> {};

TEST_P(JedecErase, SixCycleSequenceErasesTheUnitHoldingTheAddress) {
  const JedecEraseCase c = GetParam();
  Board board;
  FlashBoard flash(board, c.part);
  flash.LoadImage(std::vector<uint8_t>(flash.FlashSize(), 0x00));
  Unlock();
  Write(kUnlock1, 0x80);
  Unlock();
  Write(c.command == 0x10 ? kUnlock1 : At(flash, c.address), c.command);
  EXPECT_GT(WaitToggle(At(flash, c.address)), 0u);
  const std::vector<uint8_t> contents = flash.Contents();
  for (uint32_t offset : {c.first, c.last}) EXPECT_EQ(contents[offset], 0xFF) << offset;
  if (c.first > 0) {
    EXPECT_EQ(contents[c.first - 1], 0x00);
  }
  if (c.last + 1 < contents.size()) {
    EXPECT_EQ(contents[c.last + 1], 0x00);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Units, JedecErase,
    ::testing::Values(JedecEraseCase{"Sector", "49LF008A", 0x30, 0x23456, 0x23000, 0x23FFF},
                      JedecEraseCase{"Block", "49LF008A", 0x50, 0x23456, 0x20000, 0x2FFFF},
                      JedecEraseCase{"BlockOfHalfMiBPart", "49FL004T", 0x50, 0x7A000, 0x70000,
                                     0x7FFFF},
                      JedecEraseCase{"ChipOfParallelPart", "39VF080", 0x10, 0x0, 0x0, 0xFFFFF}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(JedecErase, ChipEraseIsNotAnInSystemCommandOfLpcParts) {
  Board board;
  FlashBoard flash(board, "49LF008A");
  flash.LoadImage(std::vector<uint8_t>(flash.FlashSize(), 0x00));
  Unlock();
  Write(kUnlock1, 0x80);
  Unlock();
  Write(kUnlock1, 0x10);
  EXPECT_EQ(Read(At(flash, 0x0)), 0x00);
  EXPECT_EQ(flash.LpcChip()->Count().chipErases, 0u);
}

TEST(JedecFaults, NeverFinishingPartTogglesForever) {
  Board board;
  FlashBoard flash(board, "49FL004T");
  flash.LpcChip()->NeverFinish(true);
  Unlock();
  Write(kUnlock1, 0x80);
  Unlock();
  Write(At(flash, 0x3000), 0x30);
  EXPECT_EQ(WaitToggle(At(flash, 0x3000)), 10000u);
}

TEST(JedecFaults, PartIgnoringProgramsFinishesButKeepsItsData) {
  Board board;
  FlashBoard flash(board, "39V040FPA");
  flash.LpcChip()->IgnorePrograms(true);
  Unlock();
  Write(kUnlock1, 0xA0);
  Write(At(flash, 0x10), 0x00);
  EXPECT_GT(WaitToggle(At(flash, 0x10)), 0u);
  EXPECT_EQ(Read(At(flash, 0x10)), 0xFF);
}

// ---- Firmware hubs ----

struct FwhIdCase {
  const char *part;
  uint16_t id;
};

class FwhIdentification : public ::testing::TestWithParam<FwhIdCase> {};

TEST_P(FwhIdentification, ReadIdentifierThenReadArray) {
  Board board;
  FlashBoard flash(board, GetParam().part);
  Write(kWindow, 0x90);
  EXPECT_EQ(hw::MmioLoad16(kWindow), GetParam().id);
  Write(kWindow, 0xFF);
  EXPECT_EQ(hw::MmioLoad16(kWindow), 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(TableParts, FwhIdentification,
                         ::testing::Values(FwhIdCase{"82802AC", 0xAC89},
                                           FwhIdCase{"50FLW040A", 0x0820}),
                         [](const auto &info) { return std::string(info.param.part); });

TEST(FwhProgram, StatusReadyBitClearForTheBusyReadsThenSet) {
  Board board;
  FlashBoard flash(board, "82802AC");
  flash.LpcChip()->SetBusyReads(3, 7);
  const uint64_t target = At(flash, 0x45678);
  Write(target, 0x40);
  Write(target, 0xC3);
  Write(target, 0x70);  // read status is accepted while the part works
  unsigned busy = 0;
  while (busy < 100 && !(Read(target) & 0x80)) ++busy;
  EXPECT_EQ(busy, 3u);
  EXPECT_EQ(Read(target) & 0x30, 0) << "no error bits";
  Write(target, 0xFF);
  EXPECT_EQ(Read(target), 0xC3);

  Write(target, 0x10);  // the alternative program set-up
  Write(target, 0x3C);
  while (!(Read(target) & 0x80)) {
  }
  Write(target, 0xFF);
  EXPECT_EQ(Read(target), 0x00) << "programming only clears bits";
}

TEST(FwhErase, BlockEraseNeedsTheConfirmAndErasesItsSixtyFourKiB) {
  Board board;
  FlashBoard flash(board, "50FLW040A");
  flash.LoadImage(std::vector<uint8_t>(flash.FlashSize(), 0x00));
  flash.LpcChip()->SetBusyReads(1, 4);
  const uint64_t block = At(flash, 0x30000);

  Write(block + 0x123, 0x20);
  Write(block + 0x123, 0xFF);  // anything but D0h: a command sequence error
  EXPECT_EQ(Read(block) & 0xB0, 0xB0) << "ready, erase and program error bits";
  Write(block, 0x50);
  EXPECT_EQ(Read(block) & 0x30, 0x00) << "clear status";
  Write(block, 0xFF);
  EXPECT_EQ(Read(block), 0x00) << "nothing erased";

  Write(block + 0x123, 0x20);
  Write(block + 0x123, 0xD0);
  unsigned busy = 0;
  while (busy < 100 && !(Read(block) & 0x80)) ++busy;
  EXPECT_EQ(busy, 4u);
  Write(block, 0xFF);
  const std::vector<uint8_t> contents = flash.Contents();
  EXPECT_EQ(contents[0x2FFFF], 0x00);
  EXPECT_EQ(contents[0x30000], 0xFF);
  EXPECT_EQ(contents[0x3FFFF], 0xFF);
  EXPECT_EQ(contents[0x40000], 0x00);
}

TEST(FwhFaults, NeverReadyAndIgnoredProgram) {
  {
    Board board;
    FlashBoard flash(board, "82802AC");
    flash.LpcChip()->NeverFinish(true);
    Write(At(flash, 0), 0x20);
    Write(At(flash, 0), 0xD0);
    for (int i = 0; i < 10000; ++i) ASSERT_FALSE(Read(At(flash, 0)) & 0x80);
  }
  {
    Board board;
    FlashBoard flash(board, "82802AC");
    flash.LpcChip()->IgnorePrograms(true);
    Write(At(flash, 8), 0x40);
    Write(At(flash, 8), 0x00);
    while (!(Read(At(flash, 8)) & 0x80)) {
    }
    Write(At(flash, 8), 0xFF);
    EXPECT_EQ(Read(At(flash, 8)), 0xFF);
  }
}

TEST(LpcCatalogue, HoldsTheSevenLpcPartsInTableOrder) {
  std::vector<std::string> names;
  for (const auto &part : sim::LpcPartCatalogue()) names.push_back(part.name);
  EXPECT_EQ(names, (std::vector<std::string>{"82802AC", "49LF008A", "49LF004A", "49FL004T",
                                             "39V040FPA", "50FLW040A", "39VF080"}));
}

}  // namespace
