// boardsim as a user meets it: the program is run, and its exit status, its standard output
// and its standard error are checked whole. The SPD images expected here are written out from
// the board's SPD tables (byte, image A, image B), not taken from the module's data.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sim/display/PngReadBack.h"

namespace {

struct Outcome {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string ReadFile(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

std::string Quote(const std::string &Argument) {
  std::string Quoted = "'";
  for (char C : Argument) Quoted += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Quoted + "'";
}

class BoardSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string Template = ::testing::TempDir() + "boardsim-XXXXXX";
    ASSERT_NE(mkdtemp(&Template[0]), nullptr);
    Scratch = Template;
  }
  void TearDown() override { std::system(("rm -rf " + Quote(Scratch)).c_str()); }

  Outcome Run(const std::vector<std::string> &Arguments) {
    std::string Command = Quote(BOARDSIM_PATH);
    for (const std::string &Argument : Arguments) Command += " " + Quote(Argument);
    std::string OutPath = Scratch + "/stdout.txt", ErrPath = Scratch + "/stderr.txt";
    Command += " >" + Quote(OutPath) + " 2>" + Quote(ErrPath);
    int Raw = std::system(Command.c_str());
    Outcome Result;
    Result.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    Result.Out = ReadFile(OutPath);
    Result.Err = ReadFile(ErrPath);
    std::remove(OutPath.c_str());
    std::remove(ErrPath.c_str());
    return Result;
  }

  // Names in the scratch folder, the captured output files excluded.
  std::vector<std::string> ScratchEntries() {
    std::vector<std::string> Names;
    DIR *Folder = opendir(Scratch.c_str());
    while (dirent *Entry = readdir(Folder)) {
      std::string Name = Entry->d_name;
      if (Name != "." && Name != ".." && Name != "stdout.txt" && Name != "stderr.txt")
        Names.push_back(Name);
    }
    closedir(Folder);
    return Names;
  }

  std::string Scratch;
};

// ---- Wrong command lines: exit status 2, nothing on standard output, the wrong value named
// ---- with what is accepted, then the command's usage.

struct WrongLine {
  const char *Name;
  std::vector<std::string> Arguments;
  const char *Message;  // the first line of standard error, exactly
  const char *Usage;    // a line of the usage that must follow
};

class WrongCommandLineTest : public BoardSimTest,
                             public ::testing::WithParamInterface<WrongLine> {};

TEST_P(WrongCommandLineTest, NamesTheFaultAndShowsTheUsage) {
  const WrongLine &Case = GetParam();
  Outcome Result = Run(Case.Arguments);
  EXPECT_EQ(Result.Status, 2);
  EXPECT_EQ(Result.Out, "");
  std::string FirstLine = Result.Err.substr(0, Result.Err.find('\n'));
  EXPECT_EQ(FirstLine, Case.Message);
  EXPECT_NE(Result.Err.find(Case.Usage), std::string::npos) << Result.Err;
  EXPECT_TRUE(ScratchEntries().empty());
}

const char kSpdUsage[] = "Usage: boardsim spd [OPTIONS]";
const char kStrapAccepted[] = "accepted: 0 or 1";

INSTANTIATE_TEST_SUITE_P(
    Spd, WrongCommandLineTest,
    ::testing::Values(
        WrongLine{"StrapTwo", {"spd", "--strap", "2"},
                  "boardsim spd: --strap: '2' is not a strap level; accepted: 0 or 1", kSpdUsage},
        WrongLine{"StrapWord", {"spd", "--strap", "abc"},
                  "boardsim spd: --strap: 'abc' is not a strap level; accepted: 0 or 1",
                  kSpdUsage},
        WrongLine{"StrapNegative", {"spd", "--strap", "-1"},
                  "boardsim spd: --strap: '-1' is not a strap level; accepted: 0 or 1",
                  kSpdUsage},
        WrongLine{"StrapFraction", {"spd", "--strap", "1.0"},
                  "boardsim spd: --strap: '1.0' is not a strap level; accepted: 0 or 1",
                  kSpdUsage},
        WrongLine{"StrapWithoutValue", {"spd", "--strap"},
                  "boardsim spd: --strap: no value given; accepted: 0 or 1", kSpdUsage},
        WrongLine{"StrapValueIsAnOption", {"spd", "--strap", "--output", "x.bin"},
                  "boardsim spd: --strap: '--output' is not a strap level; accepted: 0 or 1",
                  kSpdUsage},
        WrongLine{"NoStrap", {"spd"}, "boardsim spd: --strap is required", kSpdUsage},
        WrongLine{"OutputWithoutValue", {"spd", "--strap", "1", "--output"},
                  "boardsim spd: --output: no value given; accepted: FILE", kSpdUsage},
        WrongLine{"UnknownOption", {"spd", "--strap", "1", "--bogus"},
                  "boardsim spd: The following argument was not expected: --bogus", kSpdUsage},
        WrongLine{"NoCommand", {}, "boardsim: A subcommand is required", "spd"},
        WrongLine{"UnknownCommand", {"frobnicate", "--strap", "1"},
                  "boardsim: unknown command 'frobnicate'; commands: spd, bmp, flash, logo", "Usage: boardsim"}),
    [](const ::testing::TestParamInfo<WrongLine> &Info) { return std::string(Info.param.Name); });

TEST_F(BoardSimTest, StrapUsageSaysWhatIsAccepted) {
  Outcome Result = Run({"spd", "--strap", "7"});
  // The usage that follows the message names the option with its accepted values.
  EXPECT_NE(Result.Err.find("--strap 0|1 REQUIRED"), std::string::npos) << Result.Err;
  EXPECT_NE(Result.Err.find(kStrapAccepted), std::string::npos);
}

// ---- --help on every command: exit 0, the help on standard output, nothing on error.

struct HelpCase {
  const char *Name;
  std::vector<std::string> Arguments;
  std::vector<const char *> Lines;  // lines the help must contain
};

class HelpTest : public BoardSimTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpTest, PrintsTheCommandsHelp) {
  Outcome Result = Run(GetParam().Arguments);
  EXPECT_EQ(Result.Status, 0);
  EXPECT_EQ(Result.Err, "");
  for (const char *Line : GetParam().Lines)
    EXPECT_NE(Result.Out.find(Line), std::string::npos) << Line << "\n" << Result.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HelpTest,
    ::testing::Values(HelpCase{"Top", {"--help"}, {"Usage: boardsim", "spd"}},
                      HelpCase{"TopShort", {"-h"}, {"Usage: boardsim", "spd"}},
                      HelpCase{"Spd", {"spd", "--help"}, {kSpdUsage, "--strap", "--output"}},
                      HelpCase{"SpdShort", {"spd", "-h"}, {kSpdUsage, "--strap"}},
                      HelpCase{"SpdAfterAValue", {"spd", "--strap", "1", "--help"}, {kSpdUsage}},
                      HelpCase{"Logo",
                               {"logo", "--help"},
                               {"Usage: boardsim logo [OPTIONS]", "--screen WxH REQUIRED",
                                "--logo FILE[:TYPE[:PLACEMENT[:X,Y]]]", "--badge TEXT",
                                "--handoff FILE", "--ready-to-boot", "--output OUT.png"}}),
    [](const ::testing::TestParamInfo<HelpCase> &Info) { return std::string(Info.param.Name); });

// ---- An image file that cannot be written: the system's reason, before any dump, and no
// ---- file left behind.

struct UnwritableCase {
  const char *Name;
  const char *Output;  // relative to the scratch folder
  int Error;           // the errno whose text the message must carry
};

class UnwritableOutputTest : public BoardSimTest,
                             public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableOutputTest, GivesTheSystemsReasonAndLeavesNothing) {
  ASSERT_EQ(mkdir((Scratch + "/folder").c_str(), 0755), 0);
  std::ofstream(Scratch + "/plain") << "not a folder";
  std::string Output = Scratch + "/" + GetParam().Output;

  Outcome Result = Run({"spd", "--strap", "1", "--output", Output});

  EXPECT_EQ(Result.Status, 1);
  EXPECT_EQ(Result.Out, "");  // it stops before the dump
  EXPECT_EQ(Result.Err, "boardsim spd: cannot write " + Output + ": " +
                            std::strerror(GetParam().Error) + "\n");
  std::vector<std::string> Left = ScratchEntries();
  std::sort(Left.begin(), Left.end());
  EXPECT_EQ(Left, (std::vector<std::string>{"folder", "plain"}));
  EXPECT_EQ(ReadFile(Scratch + "/plain"), "not a folder");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UnwritableOutputTest,
    ::testing::Values(UnwritableCase{"FolderMissing", "missing/spd.bin", ENOENT},
                      UnwritableCase{"IsAFolder", "folder", EISDIR},
                      UnwritableCase{"UnderAPlainFile", "plain/spd.bin", ENOTDIR}),
    [](const ::testing::TestParamInfo<UnwritableCase> &Info) {
      return std::string(Info.param.Name);
    });

// ---- The images, byte for byte, in the file and in the dump, and the whole output.

// The board's SPD tables: every byte not listed is 0 in both images.
struct SpdByte {
  unsigned Offset;
  uint8_t A, B;
};
const SpdByte kListedBytes[] = {
    {0, 0x92, 0x92},   {1, 0x11, 0x11},   {2, 0x0B, 0x0B},   {3, 0x03, 0x03},
    {4, 0x03, 0x03},   {5, 0x19, 0x19},   {7, 0x01, 0x01},   {8, 0x03, 0x03},
    {9, 0x11, 0x52},   {10, 0x01, 0x01},  {11, 0x08, 0x08},  {12, 0x0A, 0x0A},
    {14, 0xFE, 0xFE},  {16, 0x69, 0x69},  {17, 0x78, 0x78},  {18, 0x69, 0x69},
    {19, 0x30, 0x30},  {20, 0x69, 0x69},  {21, 0x11, 0x11},  {22, 0x18, 0x18},
    {23, 0x81, 0x81},  {25, 0x05, 0x05},  {26, 0x3C, 0x3C},  {27, 0x3C, 0x3C},
    {29, 0xF0, 0xF0},  {30, 0x83, 0x83},  {31, 0x01, 0x05},  {60, 0x0F, 0x0F},
    {61, 0x11, 0x11},  {62, 0x65, 0x01},  {117, 0x80, 0x80}, {118, 0xCE, 0xAD},
    {119, 0x01, 0x01}, {126, 0x4F, 0x2D}, {127, 0x23, 0x78}, {146, 0x00, 0x4E},
    {147, 0x00, 0x30}, {148, 0x80, 0x80}, {149, 0xCE, 0xAD}};

struct StrapCase {
  const char *Name;
  int Strap;
  char Image;               // 'A' or 'B'
  const char *PartNumber;   // bytes 128-145: 16 characters, then two spaces
  const char *CrcLine;
};

// The JEDEC SPD CRC: CRC-16, polynomial 0x1021, initial value 0, most significant bit first.
uint16_t SpdCrc(const std::string &Bytes, size_t Count) {
  uint16_t Crc = 0;
  for (size_t Index = 0; Index < Count; ++Index) {
    Crc ^= static_cast<uint16_t>(static_cast<uint8_t>(Bytes[Index]) << 8);
    for (int Bit = 0; Bit < 8; ++Bit)
      Crc = static_cast<uint16_t>((Crc & 0x8000) ? (Crc << 1) ^ 0x1021 : Crc << 1);
  }
  return Crc;
}

// The table's image. Bytes 126-127 are the CRC of bytes 0-116: the table lists 0x4F 0x23 for
// image A, which is not the CRC of image A's bytes (a memory initialisation that checks it
// would reject the module), so the module publishes the CRC itself, 0x0F94.
std::string ExpectedImage(const StrapCase &Case) {
  std::string Image(256, '\0');
  for (const SpdByte &Byte : kListedBytes) Image[Byte.Offset] = static_cast<char>(
      Case.Image == 'A' ? Byte.A : Byte.B);
  std::string Part = std::string(Case.PartNumber) + "  ";
  Image.replace(128, 18, Part);
  uint16_t Crc = SpdCrc(Image, 117);
  Image[126] = static_cast<char>(Crc & 0xFF);
  Image[127] = static_cast<char>(Crc >> 8);
  return Image;
}

TEST(SpdTable, CrcOfImageBIsTheListedOneAndOfImageAIsNot) {
  // Proves SpdCrc against the table where the table is right, and shows where it is not.
  std::string B(256, '\0'), A(256, '\0');
  for (const SpdByte &Byte : kListedBytes) {
    A[Byte.Offset] = static_cast<char>(Byte.A);
    B[Byte.Offset] = static_cast<char>(Byte.B);
  }
  A.replace(128, 18, "M471B5273DH0-CK0  ");
  B.replace(128, 18, "HMT325S6CFR8C-PB  ");
  EXPECT_EQ(SpdCrc(B, 117), 0x782D);
  EXPECT_EQ(SpdCrc(A, 117), 0x0F94);
  EXPECT_NE(SpdCrc(A, 117), 0x234F);
}

std::string ExpectedOutput(const StrapCase &Case, const std::string &Image,
                           const std::string &Path) {
  std::ostringstream Text;
  Text << "SPD block published for strap " << Case.Strap << " (image " << Case.Image << ")\n"
       << " HOB length: 288 bytes (282 asked for; the PEI core rounds every HOB up to a "
          "multiple of 8)\n"
       << " header: 01 00\n"
       << " image:\n";
  char Cell[8];
  for (unsigned Row = 0; Row < 256; Row += 16) {
    std::snprintf(Cell, sizeof(Cell), "  %03x:", Row);
    Text << Cell;
    for (unsigned Column = 0; Column < 16; ++Column) {
      std::snprintf(Cell, sizeof(Cell), " %02x", (unsigned char)Image[Row + Column]);
      Text << Cell;
    }
    Text << "\n";
  }
  // Both images: single-rank, 64-bit DDR3-1600 from 2 Gb x8 devices, 2 GB.
  Text << "Memory type:   DDR3 SDRAM\n"
       << "Module type:   SO-DIMM\n"
       << "Capacity:      2048 MiB (1 rank(s) of x8 devices, 64-bit bus)\n"
       << "Speed grade:   DDR3-1600 (tCKmin 1.250 ns)\n"
       << "Part number:   \"" << Case.PartNumber << "\"\n"
       << Case.CrcLine << "\n"
       << "Wrote the 256-byte SPD image to " << Path << "\n";
  return Text.str();
}

class SpdImageTest : public BoardSimTest, public ::testing::WithParamInterface<StrapCase> {};

TEST_P(SpdImageTest, FileAndOutputHoldTheTablesImage) {
  const StrapCase &Case = GetParam();
  std::string Path = Scratch + "/spd.bin";
  std::string Image = ExpectedImage(Case);

  Outcome Result = Run({"spd", "--strap", std::to_string(Case.Strap), "--output", Path});

  EXPECT_EQ(Result.Status, 0);
  EXPECT_EQ(Result.Err, "");
  EXPECT_EQ(ReadFile(Path), Image);
  EXPECT_EQ(Result.Out, ExpectedOutput(Case, Image, Path));
  EXPECT_EQ(ScratchEntries(), std::vector<std::string>{"spd.bin"});  // no temporary left
  struct stat Info;
  ASSERT_EQ(stat(Path.c_str(), &Info), 0);
  EXPECT_NE(Info.st_mode & S_IRGRP, 0u) << "the image file got private permissions";
}

TEST_P(SpdImageTest, ReplacesAnExistingFileWhole) {
  const StrapCase &Case = GetParam();
  std::string Path = Scratch + "/spd.bin";
  std::ofstream(Path) << std::string(1000, 'x');  // longer than an image

  Outcome Result = Run({"spd", "--strap", std::to_string(Case.Strap), "--output", Path});

  EXPECT_EQ(Result.Status, 0);
  EXPECT_EQ(ReadFile(Path), ExpectedImage(Case));
}

INSTANTIATE_TEST_SUITE_P(
    Straps, SpdImageTest,
    ::testing::Values(
        StrapCase{"StrapOneImageA", 1, 'A', "M471B5273DH0-CK0",
                  "CRC:           stored 0x0F94, computed 0x0F94 over bytes 0-116: OK"},
        StrapCase{"StrapZeroImageB", 0, 'B', "HMT325S6CFR8C-PB",
                  "CRC:           stored 0x782D, computed 0x782D over bytes 0-116: OK"}),
    [](const ::testing::TestParamInfo<StrapCase> &Info) { return std::string(Info.param.Name); });

// ---- boardsim logo ----

const char kLogoUsage[] = "Usage: boardsim logo [OPTIONS]";

INSTANTIATE_TEST_SUITE_P(
    Logo, WrongCommandLineTest,
    ::testing::Values(
        WrongLine{"ScreenWord", {"logo", "--screen", "1024by768", "--output", "o.png"},
                  "boardsim logo: --screen: '1024by768' is not a screen size; accepted: "
                  "WIDTHxHEIGHT, each 1 to 8192",
                  kLogoUsage},
        WrongLine{"ScreenZeroWide", {"logo", "--screen", "0x768", "--output", "o.png"},
                  "boardsim logo: --screen: '0x768' is not a screen size; accepted: "
                  "WIDTHxHEIGHT, each 1 to 8192",
                  kLogoUsage},
        WrongLine{"ScreenTooTall", {"logo", "--screen", "64x8193", "--output", "o.png"},
                  "boardsim logo: --screen: '64x8193' is not a screen size; accepted: "
                  "WIDTHxHEIGHT, each 1 to 8192",
                  kLogoUsage},
        WrongLine{"LogoTypeTwo",
                  {"logo", "--screen", "64x48", "--logo", "a.bmp:2", "--output", "o.png"},
                  "boardsim logo: --logo: '2' is not an image type; accepted: 0 (logo) or 1 "
                  "(overlay)",
                  kLogoUsage},
        WrongLine{"LogoPlacementWord",
                  {"logo", "--screen", "64x48", "--logo", "a.bmp:0:centre", "--output", "o.png"},
                  "boardsim logo: --logo: 'centre' is not a placement code; accepted: 0 to "
                  "4294967295 (above 8 as 0)",
                  kLogoUsage},
        WrongLine{"LogoPositionWithoutY",
                  {"logo", "--screen", "64x48", "--logo", "a.bmp:0:8:3", "--output", "o.png"},
                  "boardsim logo: --logo: '3' is not a position; accepted: X,Y (whole numbers "
                  "from 0)",
                  kLogoUsage},
        WrongLine{"LogoTooManyParts",
                  {"logo", "--screen", "64x48", "--logo", "a.bmp:0:8:1,1:9", "--output", "o.png"},
                  "boardsim logo: --logo: 'a.bmp:0:8:1,1:9' is not FILE[:TYPE[:PLACEMENT[:X,Y]]]",
                  kLogoUsage},
        WrongLine{"LogoFileMissing",
                  {"logo", "--screen", "64x48", "--logo", "/nonexistent/a.bmp", "--output",
                   "o.png"},
                  "boardsim logo: --logo: cannot read '/nonexistent/a.bmp': No such file or "
                  "directory",
                  kLogoUsage},
        WrongLine{"HandOffFileMissing",
                  {"logo", "--screen", "64x48", "--handoff", "/nonexistent/h.bmp", "--output",
                   "o.png"},
                  "boardsim logo: --handoff: cannot read '/nonexistent/h.bmp': No such file or "
                  "directory",
                  kLogoUsage},
        WrongLine{"NoScreen", {"logo", "--output", "o.png"}, "boardsim logo: --screen is required",
                  kLogoUsage},
        WrongLine{"NoOutput", {"logo", "--screen", "64x48"}, "boardsim logo: --output is required",
                  kLogoUsage}),
    [](const ::testing::TestParamInfo<WrongLine> &Info) { return std::string(Info.param.Name); });

struct Rgb {
  uint8_t R, G, B;
  bool operator==(const Rgb &Other) const {
    return R == Other.R && G == Other.G && B == Other.B;
  }
};
constexpr Rgb kBlack{0, 0, 0}, kWhite{0xFF, 0xFF, 0xFF}, kOrange{0xF0, 0x80, 0x10},
    kTeal{0x10, 0x90, 0x90};

void PutLe(std::string &Bytes, size_t Offset, uint32_t Value, int Size) {
  for (int I = 0; I < Size; ++I) Bytes[Offset + I] = static_cast<char>(Value >> (8 * I));
}

// A 24-bit bitmap file of one colour, rows from the bottom; the two reserved words of its
// file header (offsets 6 and 8) hold a location marker.
void WriteBitmap(const std::string &Path, uint32_t Width, uint32_t Height, Rgb Colour,
                 uint16_t MarkerX = 0, uint16_t MarkerY = 0) {
  const uint32_t Row = (Width * 3 + 3) & ~3u;
  std::string File(54 + Row * Height, '\0');
  File[0] = 'B';
  File[1] = 'M';
  PutLe(File, 2, static_cast<uint32_t>(File.size()), 4);
  PutLe(File, 6, MarkerX, 2);
  PutLe(File, 8, MarkerY, 2);
  PutLe(File, 10, 54, 4);
  PutLe(File, 14, 40, 4);
  PutLe(File, 18, Width, 4);
  PutLe(File, 22, Height, 4);
  PutLe(File, 26, 1, 2);
  PutLe(File, 28, 24, 2);
  for (uint32_t Y = 0; Y < Height; ++Y)
    for (uint32_t X = 0; X < Width; ++X) {
      size_t At = 54 + Y * Row + X * 3;
      File[At] = static_cast<char>(Colour.B);
      File[At + 1] = static_cast<char>(Colour.G);
      File[At + 2] = static_cast<char>(Colour.R);
    }
  std::ofstream(Path, std::ios::binary) << File;
}

class LogoCommandTest : public BoardSimTest {
 protected:
  sim::RgbPicture Picture(const std::string &Path) {
    sim::RgbPicture Result;
    std::string Error;
    EXPECT_TRUE(sim::ReadPngAsRgb(Path, Result, Error)) << Path << ": " << Error;
    return Result;
  }
  static Rgb At(const sim::RgbPicture &P, uint32_t X, uint32_t Y) {
    const uint8_t *Pixel = &P.rgb[(size_t(Y) * P.width + X) * 3];
    return Rgb{Pixel[0], Pixel[1], Pixel[2]};
  }
  // Pixels of the rectangle equal to Colour.
  static size_t Count(const sim::RgbPicture &P, uint32_t X, uint32_t Y, uint32_t W, uint32_t H,
                      Rgb Colour) {
    size_t N = 0;
    for (uint32_t Row = Y; Row < Y + H; ++Row)
      for (uint32_t Column = X; Column < X + W; ++Column) N += At(P, Column, Row) == Colour;
    return N;
  }
};

TEST_F(LogoCommandTest, DrawsACentredLogoWithBadgesUnderneathAndSaysWhere) {
  const std::string Logo = Scratch + "/logo.bmp", Out = Scratch + "/screen.png";
  WriteBitmap(Logo, 40, 20, kOrange);

  Outcome Result = Run({"logo", "--screen", "320x240", "--logo", Logo, "--badge", "AB",
                        "--badge", "C", "--output", Out});

  EXPECT_EQ(Result.Status, 0) << Result.Err;
  EXPECT_EQ(Result.Err, "");
  // Centred: ((320 - 40) / 2, (240 - 20) / 2). Badge lines start at half the screen height,
  // each centred at 8 pixels a character, 19 rows apart. With a logo source the loop ends
  // when the overlay images run out.
  EXPECT_EQ(Result.Out,
            "Screen 320 x 240\n"
            "Image 40 x 20 at (140, 110)\n"
            "Text \"AB\" at (152, 120)\n"
            "Text \"C\" at (156, 139)\n"
            "ShowBootLogo: Not Found\n"
            "Wrote " + Out + "\n");

  sim::RgbPicture Screen = Picture(Out);
  ASSERT_EQ(Screen.width, 320u);
  ASSERT_EQ(Screen.height, 240u);
  // The logo's rows above the first badge line are all logo; its frame is black.
  EXPECT_EQ(Count(Screen, 140, 110, 40, 10, kOrange), 400u);
  EXPECT_EQ(Count(Screen, 139, 110, 1, 20, kBlack), 20u);
  EXPECT_EQ(Count(Screen, 180, 110, 1, 20, kBlack), 20u);
  EXPECT_EQ(Count(Screen, 140, 109, 40, 1, kBlack), 40u);
  // Both badge lines are drawn in white where the output says.
  EXPECT_GT(Count(Screen, 152, 120, 16, 19, kWhite), 0u);
  EXPECT_GT(Count(Screen, 156, 139, 8, 19, kWhite), 0u);
  EXPECT_EQ(Count(Screen, 0, 158, 320, 82, kBlack), 320u * 82);
}

TEST_F(LogoCommandTest, TypePlacementAndPositionReachTheLogoSource) {
  const std::string Logo = Scratch + "/logo.bmp", Overlay = Scratch + "/overlay.bmp";
  WriteBitmap(Logo, 10, 10, kOrange, 30, 40);  // its marker places the overlay at (30, 40)
  WriteBitmap(Overlay, 4, 4, kTeal);

  Outcome Result = Run({"logo", "--screen", "64x64", "--logo", Logo + ":0:0:7,9", "--logo",
                        Overlay + ":1:0:5,5", "--output", Scratch + "/s.png"});

  EXPECT_EQ(Result.Status, 0) << Result.Err;
  EXPECT_NE(Result.Out.find("Image 10 x 10 at (7, 9)\nImage 4 x 4 at (30, 40)\n"),
            std::string::npos)
      << Result.Out;
  sim::RgbPicture Screen = Picture(Scratch + "/s.png");
  EXPECT_EQ(Count(Screen, 7, 9, 10, 10, kOrange), 100u);
  EXPECT_EQ(Count(Screen, 30, 40, 4, 4, kTeal), 16u);
}

TEST_F(LogoCommandTest, HandOffAndReadyToBootEraseTheBadgesAndKeepTheLogo) {
  const std::string Logo = Scratch + "/boot.bmp", Out = Scratch + "/handoff.png";
  WriteBitmap(Logo, 200, 100, kTeal);

  Outcome Result = Run({"logo", "--screen", "800x600", "--handoff", Logo, "--badge", "Setup",
                        "--ready-to-boot", "--output", Out});

  EXPECT_EQ(Result.Status, 0) << Result.Err;
  const std::string Second = Scratch + "/handoff-ready-to-boot.png";
  // 800 x 600 with a 200 x 100 logo: (300, 179), the badge line 38 rows under the logo.
  EXPECT_EQ(Result.Out,
            "Screen 800 x 600\n"
            "Image 200 x 100 at (300, 179)\n"
            "Text \"Setup\" at (380, 317)\n"
            "Handed to the boot logo protocol: 200 x 100 at (300, 179)\n"
            "ShowBootLogo: Success\n"
            "Wrote " + Out + "\n"
            "At ready-to-boot:\n"
            "Erased rows 317 to 335, full width\n"
            "Wrote " + Second + "\n");

  sim::RgbPicture Before = Picture(Out), After = Picture(Second);
  EXPECT_GT(Count(Before, 380, 317, 40, 19, kWhite), 0u);
  EXPECT_EQ(Count(After, 0, 317, 800, 19, kBlack), 800u * 19);
  EXPECT_EQ(Count(After, 300, 179, 200, 100, kTeal), 200u * 100);
}

TEST_F(LogoCommandTest, AnUnwritableOutputFailsWithTheReason) {
  const std::string Logo = Scratch + "/logo.bmp", Out = Scratch + "/missing/screen.png";
  WriteBitmap(Logo, 4, 4, kOrange);

  Outcome Result = Run({"logo", "--screen", "64x48", "--logo", Logo, "--output", Out});

  EXPECT_EQ(Result.Status, 1);
  EXPECT_EQ(Result.Err, "boardsim logo: cannot create " + Out + "\n");
  EXPECT_EQ(Result.Out.find("Wrote"), std::string::npos);
}

}  // namespace
