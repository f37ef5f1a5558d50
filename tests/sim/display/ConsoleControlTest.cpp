// The simulated Framework console control: mode switching, refused and failed switches, and
// the scripted switch to text that ends an animation.
#include <gtest/gtest.h>

#include "sim/uefi/display/ConsoleControl.h"

namespace sim {
namespace {

EFI_CONSOLE_CONTROL_SCREEN_MODE ModeOf(ConsoleControl &console) {
  EFI_CONSOLE_CONTROL_SCREEN_MODE mode = EfiConsoleControlScreenMaxValue;
  EXPECT_EQ(console.Protocol()->GetMode(console.Protocol(), &mode, nullptr, nullptr), EFI_SUCCESS);
  return mode;
}

TEST(ConsoleControl, SwitchesBetweenTextAndGraphics) {
  ConsoleControl console;
  EFI_CONSOLE_CONTROL_PROTOCOL *protocol = console.Protocol();
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenText);
  EXPECT_EQ(protocol->SetMode(protocol, EfiConsoleControlScreenGraphics), EFI_SUCCESS);
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenGraphics);
  EXPECT_EQ(protocol->SetMode(protocol, EfiConsoleControlScreenText), EFI_SUCCESS);
  EXPECT_EQ(console.Mode(), EfiConsoleControlScreenText);
  EXPECT_EQ(console.SetModeCalls(),
            (std::vector<EFI_CONSOLE_CONTROL_SCREEN_MODE>{EfiConsoleControlScreenGraphics,
                                                          EfiConsoleControlScreenText}));
  EXPECT_EQ(console.GetModeCount(), 2u);
}

TEST(ConsoleControl, GetModeFillsTheOptionalOutputsAndNeedsTheMode) {
  ConsoleControl console(EfiConsoleControlScreenGraphics);
  EFI_CONSOLE_CONTROL_PROTOCOL *protocol = console.Protocol();
  EFI_CONSOLE_CONTROL_SCREEN_MODE mode = EfiConsoleControlScreenMaxValue;
  BOOLEAN gopUga = FALSE, locked = TRUE;
  EXPECT_EQ(protocol->GetMode(protocol, &mode, &gopUga, &locked), EFI_SUCCESS);
  EXPECT_EQ(mode, EfiConsoleControlScreenGraphics);
  EXPECT_EQ(gopUga, TRUE);
  EXPECT_EQ(locked, FALSE);
  EXPECT_EQ(protocol->GetMode(protocol, nullptr, &gopUga, &locked), EFI_INVALID_PARAMETER);
}

TEST(ConsoleControl, RefusedAndFailedSwitchesChangeNothing) {
  ConsoleControl console(EfiConsoleControlScreenGraphics);
  EFI_CONSOLE_CONTROL_PROTOCOL *protocol = console.Protocol();
  EXPECT_EQ(protocol->SetMode(protocol, EfiConsoleControlScreenMaxValue), EFI_UNSUPPORTED);
  console.FailSetMode(EFI_DEVICE_ERROR);
  EXPECT_EQ(protocol->SetMode(protocol, EfiConsoleControlScreenText), EFI_DEVICE_ERROR);
  EXPECT_EQ(protocol->SetMode(protocol, EfiConsoleControlScreenText), EFI_DEVICE_ERROR);
  EXPECT_EQ(console.Mode(), EfiConsoleControlScreenGraphics);
  console.FailSetMode(EFI_SUCCESS);
  EXPECT_EQ(protocol->SetMode(protocol, EfiConsoleControlScreenText), EFI_SUCCESS);
  EXPECT_EQ(console.Mode(), EfiConsoleControlScreenText);
  EXPECT_EQ(console.SetModeCalls().size(), 4u);
}

TEST(ConsoleControl, SwitchToTextAtTheNthGetModeFromNow) {
  ConsoleControl console(EfiConsoleControlScreenGraphics);
  ModeOf(console);  // calls before the arming do not count
  console.SwitchToTextAfterGetModeCalls(3);
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenGraphics);
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenGraphics);
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenText);
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenText);
  EXPECT_EQ(console.Mode(), EfiConsoleControlScreenText);
  EXPECT_EQ(console.GetModeCount(), 5u);
}

TEST(ConsoleControl, SwitchToTextOnTheNextGetMode) {
  for (unsigned n : {0u, 1u}) {
    ConsoleControl console(EfiConsoleControlScreenGraphics);
    console.SwitchToTextAfterGetModeCalls(n);
    EXPECT_EQ(console.Mode(), EfiConsoleControlScreenGraphics) << "n = " << n;
    EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenText) << "n = " << n;
  }
}

TEST(ConsoleControl, GraphicsSetAgainAfterTheScriptedSwitchStays) {
  ConsoleControl console(EfiConsoleControlScreenGraphics);
  console.SwitchToTextAfterGetModeCalls(1);
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenText);
  console.Protocol()->SetMode(console.Protocol(), EfiConsoleControlScreenGraphics);
  EXPECT_EQ(ModeOf(console), EfiConsoleControlScreenGraphics);
}

}  // namespace
}  // namespace sim
