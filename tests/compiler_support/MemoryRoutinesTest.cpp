// The firmware images' own memcpy, memmove, memset and memcmp. The compiler calls them for
// structure copies and initialised local arrays (the SPD provider's 258-byte data blocks, for
// one), and on the host the C library's versions would hide any fault in them. Every length
// from 0 to 70 at every alignment, overlap in both directions, equal and unequal runs.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

// The images' routines, renamed when built for this test.
extern "C" {
void *dxe_memcpy(void *Destination, const void *Source, size_t Length);
void *dxe_memmove(void *Destination, const void *Source, size_t Length);
void *dxe_memset(void *Buffer, int Value, size_t Length);
int dxe_memcmp(const void *Left, const void *Right, size_t Length);
void *pei_memcpy(void *Destination, const void *Source, size_t Length);
void *pei_memset(void *Buffer, int Value, size_t Length);
void *board_memcpy(void *Destination, const void *Source, size_t Length);
void *board_memmove(void *Destination, const void *Source, size_t Length);
void *board_memset(void *Buffer, int Value, size_t Length);
int board_memcmp(const void *Left, const void *Right, size_t Length);
}

namespace {

using CopyRoutine = void *(*)(void *, const void *, size_t);
using SetRoutine = void *(*)(void *, int, size_t);
using CompareRoutine = int (*)(const void *, const void *, size_t);

template <typename Routine>
struct ImageRoutine {
  const char *Image;
  Routine Function;
};

template <typename Routine>
std::string ImageName(const ::testing::TestParamInfo<ImageRoutine<Routine>> &Info) {
  return Info.param.Image;
}
template <typename Routine>
void PrintTo(const ImageRoutine<Routine> &Row, std::ostream *Out) {
  *Out << Row.Image;
}

constexpr size_t kMaxLength = 70;
constexpr size_t kAlignments = 16;
constexpr size_t kArena = 256;

// Bytes that differ from their neighbours and from their position, so that a byte taken from
// the wrong place shows.
std::vector<uint8_t> Pattern(size_t Size, uint8_t Seed) {
  std::vector<uint8_t> Bytes(Size);
  for (size_t i = 0; i < Size; ++i) Bytes[i] = (uint8_t)(Seed + i * 37 + (i >> 3));
  return Bytes;
}

// The first byte where two arenas differ, or "" when they agree.
std::string FirstDifference(const std::vector<uint8_t> &Actual,
                            const std::vector<uint8_t> &Expected) {
  for (size_t i = 0; i < Expected.size(); ++i) {
    if (Actual[i] != Expected[i]) {
      std::ostringstream Out;
      Out << "byte " << i << " is 0x" << std::hex << int{Actual[i]} << ", expected 0x"
          << int{Expected[i]};
      return Out.str();
    }
  }
  return "";
}

std::string Case(size_t Length, long DestinationOffset, long SourceOffset) {
  std::ostringstream Out;
  Out << "length " << Length << ", destination +" << DestinationOffset << ", source +"
      << SourceOffset << ": ";
  return Out.str();
}

// ---- memcpy -------------------------------------------------------------------------------

class MemcpyTest : public ::testing::TestWithParam<ImageRoutine<CopyRoutine>> {};

TEST_P(MemcpyTest, CopiesExactlyTheRunAtEveryLengthAndAlignment) {
  const CopyRoutine Copy = GetParam().Function;
  const std::vector<uint8_t> Source = Pattern(kArena, 0x11);
  const std::vector<uint8_t> Fresh = Pattern(kArena, 0xC3);
  std::vector<uint8_t> Destination, Expected;
  std::string Failure;
  for (size_t Length = 0; Length <= kMaxLength && Failure.empty(); ++Length) {
    for (size_t To = 0; To < kAlignments && Failure.empty(); ++To) {
      for (size_t From = 0; From < kAlignments && Failure.empty(); ++From) {
        Destination = Fresh;
        Expected = Fresh;
        for (size_t i = 0; i < Length; ++i) Expected[To + i] = Source[From + i];

        void *Result = Copy(Destination.data() + To, Source.data() + From, Length);
        std::string Difference = FirstDifference(Destination, Expected);
        if (Result != Destination.data() + To) Difference = "wrong result pointer";
        if (!Difference.empty()) Failure = Case(Length, (long)To, (long)From) + Difference;
      }
    }
  }
  EXPECT_EQ(Failure, "");
}

INSTANTIATE_TEST_SUITE_P(Images, MemcpyTest,
                         ::testing::Values(ImageRoutine<CopyRoutine>{"PlatformServicesDxe",
                                                                     dxe_memcpy},
                                           ImageRoutine<CopyRoutine>{"SpdProviderPei", pei_memcpy},
                                           ImageRoutine<CopyRoutine>{"ExampleBoardDxe",
                                                                     board_memcpy}),
                         ImageName<CopyRoutine>);

// ---- memmove ------------------------------------------------------------------------------

class MemmoveTest : public ::testing::TestWithParam<ImageRoutine<CopyRoutine>> {};

// Destination before the source, after it, the same, overlapping by any amount, and just
// clear of it on either side.
TEST_P(MemmoveTest, MovesOverlappingRunsInBothDirections) {
  const CopyRoutine Move = GetParam().Function;
  const std::vector<uint8_t> Fresh = Pattern(kArena, 0x5D);
  std::vector<uint8_t> Arena, Expected;
  std::string Failure;
  for (size_t Length = 0; Length <= kMaxLength && Failure.empty(); ++Length) {
    std::vector<long> Shifts;
    for (long Shift = -20; Shift <= 20; ++Shift) Shifts.push_back(Shift);
    for (long Edge : {(long)Length, (long)Length + 1}) {
      Shifts.push_back(Edge);
      Shifts.push_back(-Edge);
    }
    for (size_t Alignment = 0; Alignment < kAlignments && Failure.empty(); ++Alignment) {
      for (long Shift : Shifts) {
        const long From = 90 + (long)Alignment;  // room for 71 bytes either side
        const long To = From + Shift;
        Arena = Fresh;
        Expected = Fresh;
        for (size_t i = 0; i < Length; ++i) Expected[To + i] = Fresh[From + i];

        void *Result = Move(Arena.data() + To, Arena.data() + From, Length);
        std::string Difference = FirstDifference(Arena, Expected);
        if (Result != Arena.data() + To) Difference = "wrong result pointer";
        if (!Difference.empty()) {
          Failure = Case(Length, To, From) + Difference;
          break;
        }
      }
    }
  }
  EXPECT_EQ(Failure, "");
}

INSTANTIATE_TEST_SUITE_P(Images, MemmoveTest,
                         ::testing::Values(ImageRoutine<CopyRoutine>{"PlatformServicesDxe",
                                                                     dxe_memmove},
                                           ImageRoutine<CopyRoutine>{"ExampleBoardDxe",
                                                                     board_memmove}),
                         ImageName<CopyRoutine>);

// ---- memset -------------------------------------------------------------------------------

class MemsetTest : public ::testing::TestWithParam<ImageRoutine<SetRoutine>> {};

// The value is an int of which only the low byte counts.
TEST_P(MemsetTest, FillsExactlyTheRunWithTheLowByte) {
  const SetRoutine Set = GetParam().Function;
  const std::vector<uint8_t> Fresh = Pattern(kArena, 0x77);
  std::vector<uint8_t> Arena, Expected;
  const struct {
    int Value;
    uint8_t Byte;
  } Values[] = {{0x00, 0x00}, {0xFF, 0xFF}, {0x5A, 0x5A}, {0x1A5, 0xA5}, {-1, 0xFF}, {-128, 0x80}};
  std::string Failure;
  for (const auto &V : Values) {
    for (size_t Length = 0; Length <= kMaxLength && Failure.empty(); ++Length) {
      for (size_t At = 0; At < kAlignments && Failure.empty(); ++At) {
        Arena = Fresh;
        Expected = Fresh;
        for (size_t i = 0; i < Length; ++i) Expected[At + i] = V.Byte;

        void *Result = Set(Arena.data() + At, V.Value, Length);
        std::string Difference = FirstDifference(Arena, Expected);
        if (Result != Arena.data() + At) Difference = "wrong result pointer";
        if (!Difference.empty()) {
          Failure = Case(Length, (long)At, 0) + "value " + std::to_string(V.Value) + ": " +
                    Difference;
        }
      }
    }
  }
  EXPECT_EQ(Failure, "");
}

INSTANTIATE_TEST_SUITE_P(Images, MemsetTest,
                         ::testing::Values(ImageRoutine<SetRoutine>{"PlatformServicesDxe",
                                                                    dxe_memset},
                                           ImageRoutine<SetRoutine>{"SpdProviderPei", pei_memset},
                                           ImageRoutine<SetRoutine>{"ExampleBoardDxe",
                                                                    board_memset}),
                         ImageName<SetRoutine>);

// ---- memcmp -------------------------------------------------------------------------------

class MemcmpTest : public ::testing::TestWithParam<ImageRoutine<CompareRoutine>> {};

int Sign(int Value) { return (Value > 0) - (Value < 0); }

TEST_P(MemcmpTest, EqualRunsCompareEqualAtEveryLengthAndAlignment) {
  const CompareRoutine Compare = GetParam().Function;
  const std::vector<uint8_t> Left = Pattern(kArena, 0x29);
  std::vector<uint8_t> Right;
  std::string Failure;
  for (size_t Length = 0; Length <= kMaxLength && Failure.empty(); ++Length) {
    for (size_t A = 0; A < kAlignments && Failure.empty(); ++A) {
      for (size_t B = 0; B < kAlignments && Failure.empty(); ++B) {
        Right.assign(kArena, 0xEE);
        for (size_t i = 0; i < Length; ++i) Right[B + i] = Left[A + i];
        Right[B + Length] = (uint8_t)~Left[A + Length];  // just past the run: must not count
        const int Result = Compare(Left.data() + A, Right.data() + B, Length);
        if (Result != 0) Failure = Case(Length, (long)A, (long)B) + std::to_string(Result);
      }
    }
  }
  EXPECT_EQ(Failure, "");
}

// The first differing byte decides, compared as unsigned, whatever follows it.
TEST_P(MemcmpTest, FirstDifferenceDecidesTheSignAsUnsignedBytes) {
  const CompareRoutine Compare = GetParam().Function;
  const struct {
    uint8_t Left, Right;
  } Pairs[] = {{0x00, 0x01}, {0x01, 0x00}, {0x7F, 0x80}, {0x80, 0x7F}, {0xFF, 0x00}, {0x00, 0xFF}};
  const std::vector<uint8_t> Run = Pattern(kArena, 0x63);
  // Every byte a comparison may read is written for each case, so the buffers are reused.
  std::vector<uint8_t> Left(kArena), Right(kArena);
  std::string Failure;
  for (const auto &P : Pairs) {
    const int Wanted = P.Left < P.Right ? -1 : 1;
    for (size_t Length = 1; Length <= kMaxLength && Failure.empty(); ++Length) {
      for (size_t At = 0; At < Length && Failure.empty(); ++At) {
        for (size_t Alignment = 0; Alignment < kAlignments && Failure.empty(); ++Alignment) {
          const size_t A = Alignment, B = (Alignment * 5 + 3) % kAlignments;
          for (size_t i = 0; i < Length; ++i) Left[A + i] = Right[B + i] = Run[i];
          Left[A + At] = P.Left;
          Right[B + At] = P.Right;
          // After the first difference, the opposite order: only the first may decide.
          for (size_t i = At + 1; i < Length; ++i) {
            Left[A + i] = P.Left < P.Right ? 0xFF : 0x00;
            Right[B + i] = P.Left < P.Right ? 0x00 : 0xFF;
          }
          const int Result = Compare(Left.data() + A, Right.data() + B, Length);
          if (Sign(Result) != Wanted) {
            std::ostringstream Out;
            Out << Case(Length, (long)A, (long)B) << "difference at " << At << " (0x" << std::hex
                << int{P.Left} << " vs 0x" << int{P.Right} << ") gave " << std::dec << Result;
            Failure = Out.str();
          }
        }
      }
    }
  }
  EXPECT_EQ(Failure, "");
}

INSTANTIATE_TEST_SUITE_P(Images, MemcmpTest,
                         ::testing::Values(ImageRoutine<CompareRoutine>{"PlatformServicesDxe",
                                                                        dxe_memcmp},
                                           ImageRoutine<CompareRoutine>{"ExampleBoardDxe",
                                                                        board_memcmp}),
                         ImageName<CompareRoutine>);

}  // namespace
