// A complete update as a flash tool does it, on every part of both tables: open the flash for
// writes, detect, erase, program, read back, close. Afterwards the flash holds the new image
// wherever the driver may write, and nothing else changed.
#include <gtest/gtest.h>

#include "sim/hw/flash/FlashParts.h"
#include "tests/flash/FlashBoardTest.h"

namespace flash_test {
namespace {

struct UpdateCase {
  std::string Part;
  bool Descriptor;
  bool Spi;
};

void PrintTo(const UpdateCase &Case, std::ostream *Out) {
  *Out << Case.Part << (Case.Descriptor ? " with descriptor" : " without descriptor");
}

class FullUpdateTest : public FlashBoardTest, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(FullUpdateTest, FlashHoldsTheNewImageAfterwards) {
  const UpdateCase &Case = GetParam();
  sim::FlashBoardOptions Options = FlashBoardTest::Options(Case.Part);
  Options.descriptor = Case.Descriptor;
  Fit(Options);
  const UINT64 Size = Flash->FlashSize();
  Flash->LoadImage(PatternImage(Size, 1));
  const std::vector<UINT8> Before = Flash->Contents();
  const std::vector<UINT8> Image = FirmwareImage(Size, 2);

  ASSERT_EQ(Services->SetFlashWriteEnable(TRUE), EFI_SUCCESS);
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  EXPECT_STREQ((const char *)Part->PartName, Case.Part.c_str());

  ASSERT_EQ(EraseAll(Part, FlashBase(), Size), EFI_SUCCESS);
  ASSERT_EQ(ProgramAll(Part, FlashBase(), Image.data(), Size), EFI_SUCCESS);
  std::vector<UINT8> ReadBack(Size);
  ASSERT_EQ(ReadAll(Part, FlashBase(), ReadBack.data(), Size), EFI_SUCCESS);
  ASSERT_EQ(Services->SetFlashWriteEnable(FALSE), EFI_SUCCESS);

  // With a descriptor the driver writes only the BIOS region; the board's is all but the
  // descriptor's own 4 KiB.
  std::vector<UINT8> Expected = Image;
  UINT64 Writable = 0;
  if (Flash->IsSpi() && Case.Descriptor) {
    const sim::FlashRegion &Bios = *Flash->Layout()->regions[1];
    for (UINT64 i = 0; i < Size; ++i) {
      if (i < Bios.base || i > Bios.limit) Expected[i] = Before[i];
    }
    Writable = Bios.base;
  }
  const std::vector<UINT8> After = Flash->Contents();
  EXPECT_TRUE(After == Expected) << "first difference at linear 0x" << std::hex
                                 << (std::mismatch(After.begin(), After.end(), Expected.begin()).first - After.begin());
  EXPECT_TRUE(std::equal(ReadBack.begin() + Writable, ReadBack.end(), Image.begin() + Writable));
}

std::vector<UpdateCase> AllParts() {
  std::vector<UpdateCase> Cases;
  for (const sim::SpiPartProfile &Spi : sim::SpiPartCatalogue()) {
    Cases.push_back({Spi.name, true, true});
    Cases.push_back({Spi.name, false, true});
  }
  for (const sim::LpcPartProfile &Lpc : sim::LpcPartCatalogue()) Cases.push_back({Lpc.name, false, false});
  return Cases;
}

INSTANTIATE_TEST_SUITE_P(
    EveryTablePart, FullUpdateTest, ::testing::ValuesIn(AllParts()),
    [](const ::testing::TestParamInfo<UpdateCase> &Info) {
      std::string Name = "Part" + Info.param.Part;
      if (!Info.param.Spi) return Name;
      return Name + (Info.param.Descriptor ? "_Descriptor" : "_NoDescriptor");
    });

}  // namespace
}  // namespace flash_test
