#include "tests/logo/format/FormatHarness.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace format_test {

namespace {
constexpr UINT8 GuardByte = 0xA5;
constexpr UINTN GuardBytes = 64;
}  // namespace

FormatRun RunFormat(UINTN BufferSize, const std::u16string &Format,
                    const std::vector<UINT64> &Slots) {
  std::vector<CHAR16> FormatCopy(Format.begin(), Format.end());
  FormatCopy.push_back(0);
  std::unique_ptr<UINT64[]> SlotCopy(new UINT64[Slots.size() + (Slots.empty() ? 1 : 0)]);
  std::copy(Slots.begin(), Slots.end(), SlotCopy.get());

  std::vector<UINT8> Block(BufferSize + GuardBytes, GuardByte);
  CHAR16 *Buffer = reinterpret_cast<CHAR16 *>(Block.data());

  FormatRun Run;
  Run.Returned = FormatString(Buffer, BufferSize, FormatCopy.data(), VaListFromSlots(SlotCopy.get()));

  UINTN Touched = Run.Returned * 2;
  if (Touched > Block.size()) Touched = Block.size();
  Run.OnlyTextWritten = true;
  for (UINTN i = Touched; i < Block.size(); ++i) {
    if (Block[i] != GuardByte) Run.OnlyTextWritten = false;
  }
  if (Run.Returned != 0 && Run.Returned * 2 <= BufferSize) {
    CHAR16 Last;
    std::memcpy(&Last, Block.data() + (Run.Returned - 1) * 2, 2);
    Run.NulWritten = Last == 0;
    for (UINTN i = 0; i + 1 < Run.Returned; ++i) {
      CHAR16 Character;
      std::memcpy(&Character, Block.data() + i * 2, 2);
      Run.Text.push_back(Character);
    }
  }
  return Run;
}

std::string Show(const std::u16string &Text) {
  std::string Out;
  for (char16_t Character : Text) {
    if (Character == u'\r') {
      Out += "\\r";
    } else if (Character == u'\n') {
      Out += "\\n";
    } else if (Character >= 0x20 && Character < 0x7F && Character != u'\\') {
      Out += static_cast<char>(Character);
    } else {
      char Escape[8];
      std::snprintf(Escape, sizeof(Escape), "\\u%04X", static_cast<unsigned>(Character));
      Out += Escape;
    }
  }
  return Out;
}

}  // namespace format_test
