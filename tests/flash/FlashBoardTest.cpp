#include "tests/flash/FlashBoardTest.h"

#include <algorithm>

namespace flash_test {

namespace {

constexpr UINT64 kPiece = 0x40000;

}  // namespace

std::vector<UINT8> PatternImage(size_t Size, UINT32 Seed) {
  std::vector<UINT8> Image(Size);
  UINT32 State = Seed * 2654435761u + 1;
  for (size_t i = 0; i < Size; ++i) {
    State = State * 1664525u + 1013904223u;
    Image[i] = (UINT8)(State >> 24);
  }
  return Image;
}

std::vector<UINT8> FirmwareImage(size_t Size, UINT32 Seed) {
  std::vector<UINT8> Image(Size, 0xFF);
  std::vector<UINT8> Data = PatternImage(Size, Seed);
  auto Fill = [&](size_t First, size_t Length) {
    std::copy(Data.begin() + First, Data.begin() + First + Length, Image.begin() + First);
  };
  Fill(0, 0x3010);
  Fill(Size / 2 - 0x1FC7, 0x4A31);
  Fill(Size - 0x6000, 0x6000);
  return Image;
}

void FlashBoardTest::Fit(const sim::FlashBoardOptions &Options, bool PlatformTables) {
  Flash = std::make_unique<sim::FlashBoard>(Board, Options);
  if (PlatformTables) {
    ASSERT_EQ(Env().InstallDxeServices(), EFI_SUCCESS);
    ASSERT_NE(Env().InstallBootScriptSave(), nullptr);
  }
  StartDriverWithBoard();
  Services = InstalledInterface();
  ASSERT_NE(Services, nullptr);
}

FLASH_PART_RECORD *FlashBoardTest::Detect(UINT64 Table) {
  FLASH_PART_RECORD *Part = nullptr;
  EFI_STATUS Status = Services->DetectFlashPart(&Part, Table);
  EXPECT_EQ(Status, EFI_SUCCESS);
  return Part;
}

EFI_STATUS FlashBoardTest::EraseAll(FLASH_PART_RECORD *Part, UINT64 Address, UINT64 Length) {
  for (UINT64 Done = 0; Done < Length; Done += kPiece) {
    UINT64 Piece = Length - Done < kPiece ? Length - Done : kPiece;
    EFI_STATUS Status = Part->Erase(Address + Done, Piece);
    Board.Log().Clear();
    if (EFI_ERROR(Status)) return Status;
  }
  return EFI_SUCCESS;
}

EFI_STATUS FlashBoardTest::ProgramAll(FLASH_PART_RECORD *Part, UINT64 Address, const UINT8 *Data,
                                      UINT64 Length) {
  constexpr UINT64 kUnit = 0x1000;
  for (UINT64 Done = 0; Done < Length; Done += kUnit) {
    UINT64 Piece = Length - Done < kUnit ? Length - Done : kUnit;
    if (std::all_of(Data + Done, Data + Done + Piece, [](UINT8 Byte) { return Byte == 0xFF; })) {
      continue;
    }
    EFI_STATUS Status = Part->Program(Address + Done, Data + Done, &Piece, Address);
    Board.Log().Clear();
    if (EFI_ERROR(Status)) return Status;
  }
  return EFI_SUCCESS;
}

EFI_STATUS FlashBoardTest::ReadAll(FLASH_PART_RECORD *Part, UINT64 Address, UINT8 *Data,
                                   UINT64 Length) {
  for (UINT64 Done = 0; Done < Length; Done += kPiece) {
    UINT64 Piece = Length - Done < kPiece ? Length - Done : kPiece;
    EFI_STATUS Status = Part->Read(Data + Done, Address + Done, Piece);
    Board.Log().Clear();
    if (EFI_ERROR(Status)) return Status;
  }
  return EFI_SUCCESS;
}

}  // namespace flash_test
