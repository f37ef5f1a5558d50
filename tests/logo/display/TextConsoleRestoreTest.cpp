// Back to the text console: the resolution the board asks for, the switch to text, and the
// signal every call leaves behind, successful or not.
#include "platform_dxe/PlatformServices.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

// The board's text resolution record, as the board support protocol's entry 19 hands it out.
BOARD_TEXT_RESOLUTION_RECORD BoardRecord{0xAAAAAAAA, 0xBBBBBBBB, 1024, 768};
bool BoardGivesRecord = true;
std::vector<UINTN> BoardFunctionCodes;

EFI_STATUS EFIAPI BoardTextResolution(BOARD_SUPPORT_PROTOCOL *, UINTN Function, VOID **Record) {
  BoardFunctionCodes.push_back(Function);
  if (BoardGivesRecord) *Record = &BoardRecord;
  // The status says nothing; only the record counts.
  return EFI_DEVICE_ERROR;
}

class RestoreTextConsoleTest : public LogoTest {
 protected:
  void SetUp() override {
    LogoTest::SetUp();
    BoardGivesRecord = true;
    BoardFunctionCodes.clear();
  }
  void InstallBoardWithTextResolution() {
    BoardSupport.Operations.Entry[BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION] =
        (BOARD_SUPPORT_ENTRY)BoardTextResolution;
    InstallBoardSupport();
  }
};

const std::vector<sim::Resolution> kModes = {{640, 480}, {800, 600}, {1024, 768}};

TEST_F(RestoreTextConsoleTest, WithoutConsoleControlSignalsAndRefuses) {
  sim::GraphicsOutputDevice &screen = AttachScreen(kModes, 2);
  EXPECT_EQ(RestoreTextConsole(), EFI_UNSUPPORTED);
  EXPECT_EQ(RestoredSignals(), 1u);
  EXPECT_TRUE(screen.SetModeCalls().empty());
  EXPECT_TRUE(screen.QueryModeCalls().empty());
}

TEST_F(RestoreTextConsoleTest, WithoutDrawingDeviceSignalsAndRefuses) {
  InstallConsoleControl();
  Console.Protocol()->SetMode(Console.Protocol(), EfiConsoleControlScreenGraphics);
  EXPECT_EQ(RestoreTextConsole(), EFI_UNSUPPORTED);
  EXPECT_EQ(RestoredSignals(), 1u);
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenGraphics);
}

TEST_F(RestoreTextConsoleTest, WithoutBoardSupportSets800x600AndText) {
  sim::GraphicsOutputDevice &screen = AttachScreen(kModes, 2);
  InstallConsoleControl();
  Console.Protocol()->SetMode(Console.Protocol(), EfiConsoleControlScreenGraphics);
  const size_t before = LivePool();

  EXPECT_EQ(RestoreTextConsole(), EFI_SUCCESS);

  EXPECT_EQ(screen.SetModeCalls(), std::vector<uint32_t>{1});
  EXPECT_EQ(screen.Width(), 800u);
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenText);
  EXPECT_EQ(RestoredSignals(), 1u);
  ExpectPoolClean(before);
}

TEST_F(RestoreTextConsoleTest, BoardRecordChoosesTheResolution) {
  sim::GraphicsOutputDevice &screen = AttachScreen(kModes, 0);
  InstallConsoleControl();
  InstallBoardWithTextResolution();

  EXPECT_EQ(RestoreTextConsole(), EFI_SUCCESS);

  EXPECT_EQ(BoardFunctionCodes, std::vector<UINTN>{1});
  EXPECT_EQ(screen.SetModeCalls(), std::vector<uint32_t>{2});
  EXPECT_EQ(screen.Width(), 1024u);
  EXPECT_EQ(screen.Height(), 768u);
  // The record is the board's: read, never written.
  EXPECT_EQ(BoardRecord.Reserved0, 0xAAAAAAAAu);
  EXPECT_EQ(BoardRecord.Width, 1024u);
}

TEST_F(RestoreTextConsoleTest, BoardWithoutRecordGives800x600) {
  sim::GraphicsOutputDevice &screen = AttachScreen(kModes, 0);
  InstallConsoleControl();
  InstallBoardWithTextResolution();
  BoardGivesRecord = false;

  EXPECT_EQ(RestoreTextConsole(), EFI_SUCCESS);
  EXPECT_EQ(screen.SetModeCalls(), std::vector<uint32_t>{1});
}

TEST_F(RestoreTextConsoleTest, BoardWithoutTheEntryGives800x600) {
  sim::GraphicsOutputDevice &screen = AttachScreen(kModes, 0);
  InstallConsoleControl();
  InstallBoardSupport();  // entry 19 absent

  EXPECT_EQ(RestoreTextConsole(), EFI_SUCCESS);
  EXPECT_EQ(screen.SetModeCalls(), std::vector<uint32_t>{1});
}

TEST_F(RestoreTextConsoleTest, UgaOnlyKeepsColourDepthAndRefreshRate) {
  sim::UgaDrawDevice &uga = AttachUgaOnly(640, 480, 16, 75);
  InstallConsoleControl();

  EXPECT_EQ(RestoreTextConsole(), EFI_SUCCESS);

  ASSERT_EQ(uga.SetModeCalls().size(), 1u);
  EXPECT_EQ(uga.SetModeCalls()[0].Width, 800u);
  EXPECT_EQ(uga.SetModeCalls()[0].Height, 600u);
  EXPECT_EQ(uga.SetModeCalls()[0].ColourDepth, 16u);
  EXPECT_EQ(uga.SetModeCalls()[0].RefreshRate, 75u);
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenText);
}

TEST_F(RestoreTextConsoleTest, UgaGetModeFailureLeavesTheResolutionButSwitchesToText) {
  sim::UgaDrawDevice &uga = AttachUgaOnly(640, 480);
  uga.FailGetMode(true);
  InstallConsoleControl();
  Console.Protocol()->SetMode(Console.Protocol(), EfiConsoleControlScreenGraphics);

  EXPECT_EQ(RestoreTextConsole(), EFI_SUCCESS);

  EXPECT_TRUE(uga.SetModeCalls().empty());
  EXPECT_EQ(uga.Screen().Width(), 640u);
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenText);
}

TEST_F(RestoreTextConsoleTest, ConsoleControlFailureIsReturnedAfterTheSignal) {
  AttachScreen(kModes, 1);
  InstallConsoleControl();
  Console.FailSetMode(EFI_DEVICE_ERROR);

  EXPECT_EQ(RestoreTextConsole(), EFI_DEVICE_ERROR);
  EXPECT_EQ(RestoredSignals(), 1u);
}

TEST_F(RestoreTextConsoleTest, EveryCallLeavesItsOwnSignal) {
  EXPECT_EQ(RestoreTextConsole(), EFI_UNSUPPORTED);
  EXPECT_EQ(RestoreTextConsole(), EFI_UNSUPPORTED);
  EXPECT_EQ(RestoredSignals(), 2u);
}

// Every mode record comes from pool: with any one of them missing the restore still ends in
// text mode, returns the console's status and leaks nothing.
TEST_F(RestoreTextConsoleTest, AllocationFailureSweep) {
  sim::GraphicsOutputDevice &screen = AttachScreen(kModes, 2);
  InstallConsoleControl();
  for (unsigned n = 1;; ++n) {
    ASSERT_LT(n, 50u) << "the sweep does not end";
    screen.Protocol()->SetMode(screen.Protocol(), 2);
    Console.Protocol()->SetMode(Console.Protocol(), EfiConsoleControlScreenGraphics);
    const size_t before = LivePool();
    const size_t signals = RestoredSignals();
    Env().Pool().FailNthAllocation(n);

    EXPECT_EQ(RestoreTextConsole(), EFI_SUCCESS) << "allocation " << n;

    ExpectPoolClean(before);
    EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenText) << "allocation " << n;
    EXPECT_EQ(RestoredSignals(), signals + 1);
    if (InjectedFailureUnused(n)) {
      EXPECT_EQ(screen.Width(), 800u);
      break;
    }
  }
}

}  // namespace
}  // namespace logo_test
