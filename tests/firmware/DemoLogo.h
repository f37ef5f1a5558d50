// The boot logo part of the demo: runs before the report is printed (the logo owns the screen
// until the text console is restored) and keeps what it saw for the report.
#pragma once

#include "AcpiBgrt.h"
#include "include/PlatformServicesProtocol.h"
#include "uefi/Uefi.h"

struct DemoLogoFindings {
  EFI_STATUS ShowStatus = EFI_NOT_STARTED;
  UINTN ScreenWidth = 0, ScreenHeight = 0;
  UINTN LogoWidth = 0, LogoHeight = 0;
  UINTN LogoX = 0, LogoY = 0;        // where the hand-off must put it
  bool LogoOnScreen = false;         // the board's pixels are there
  bool ScreenshotTaken = false;
  UINTN BadgeCount = 0;
  bool BgrtFound = false;
  BgrtTable Bgrt;
  bool BgrtImageIsLogo = false;
  EFI_STATUS RestoreStatus = EFI_NOT_STARTED;
  UINT32 TextWidth = 0, TextHeight = 0;
  EFI_CONSOLE_CONTROL_SCREEN_MODE ConsoleMode = EfiConsoleControlScreenMaxValue;
  UINTN RestoredHandles = 0;
};

// ShowBootLogo, a screenshot request ("SCREEN logo"), the ready-to-boot signal, the BGRT the
// firmware then publishes, and RestoreTextConsole.
void RunDemoLogo(EFI_SYSTEM_TABLE *SystemTable, PLATFORM_SERVICES_PROTOCOL *Services,
                 DemoLogoFindings *Findings);
