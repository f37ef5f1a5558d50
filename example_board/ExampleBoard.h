// The example board's view of its own protocol instance and of the logo services it offers.
// A platform driver only sees the BOARD_SUPPORT_PROTOCOL at the front of the instance; the
// fields behind it are the board's private state, laid out here so that firmware tests can
// see what the board was asked to do. The logo constants below are what the firmware checks
// expect on screen.
#pragma once

#include "include/BoardLogoProtocols.h"
#include "include/BoardProtocols.h"

// What ExampleBoardDxe hands out: the public protocol first, then the board's bookkeeping.
typedef struct {
  BOARD_SUPPORT_PROTOCOL Board;
  UINT64 PlatformCallCount;       // calls of entry 2 with function 3
  UINT32 LastPlatformCallSecond;  // second argument of the latest such call
  UINT32 Reserved;
  UINT64 LastPlatformCallThird;  // third argument of the latest such call
} EXAMPLE_BOARD_INSTANCE;
// The board protocol must start the instance.
PLATFORM_SERVICES_ASSERT_OFFSET(EXAMPLE_BOARD_INSTANCE, Board, 0, 0);

// Text console size the board reports through entry 19.
#define EXAMPLE_BOARD_TEXT_WIDTH 1024u
#define EXAMPLE_BOARD_TEXT_HEIGHT 768u

// Size of the board-owned buffer behind the shared data protocol. It covers every offset
// the platform driver adds to the shared base (the largest is below 600).
#define EXAMPLE_BOARD_SHARED_BUFFER_SIZE 1024u

// ---- Logo images (24-bit bitmap files built at start-up) ----
// The logo: a red/green gradient under a blue 16-pixel checker, in a 3-pixel white frame.
// Odd sizes, so that every halving of a placement drops a fraction. The hand-off image is
// the same picture.
#define EXAMPLE_LOGO_WIDTH 241u
#define EXAMPLE_LOGO_HEIGHT 121u
// The logo image is centred at the top, this many rows down (placement code 1).
#define EXAMPLE_LOGO_PLACEMENT LOGO_PLACE_CENTRE_TOP
#define EXAMPLE_LOGO_TOP 120u
// Location marker in the logo's bitmap header words (offsets 6 and 8): where overlays go.
#define EXAMPLE_LOGO_MARKER_X 96u
#define EXAMPLE_LOGO_MARKER_Y 560u
// The overlay: an 8-pixel red/yellow checker in a 2-pixel cyan frame, placed left-top at the
// marker (its own coordinates are replaced by the marker's).
#define EXAMPLE_OVERLAY_WIDTH 64u
#define EXAMPLE_OVERLAY_HEIGHT 32u
// The default logo in the board's firmware volume: the logo picture at another size.
#define EXAMPLE_DEFAULT_LOGO_WIDTH 160u
#define EXAMPLE_DEFAULT_LOGO_HEIGHT 80u

// ---- Badge strings ----
#define EXAMPLE_BADGE_COUNT 3u
// Index 2 is drawn at a fixed place; 0 and 1 are centred on the badge lines.
#define EXAMPLE_BADGE_POSITIONED_X 16u
#define EXAMPLE_BADGE_POSITIONED_Y 760u

// The pictures, pixel by pixel (0x00RRGGBB). Firmware checks compare the screen with these.
static inline UINT32 ExampleLogoPixel(UINT32 X, UINT32 Y, UINT32 Width, UINT32 Height) {
  if (X < 3 || Y < 3 || X + 3 >= Width || Y + 3 >= Height) return 0x00FFFFFFu;
  UINT32 Red = X * 255u / (Width - 1);
  UINT32 Green = Y * 255u / (Height - 1);
  UINT32 Blue = ((X / 16 + Y / 16) % 2) != 0 ? 0xC0u : 0x40u;
  return (Red << 16) | (Green << 8) | Blue;
}

static inline UINT32 ExampleOverlayPixel(UINT32 X, UINT32 Y, UINT32 Width, UINT32 Height) {
  if (X < 2 || Y < 2 || X + 2 >= Width || Y + 2 >= Height) return 0x0000FFFFu;
  return ((X / 8 + Y / 8) % 2) != 0 ? 0x00E02020u : 0x00F0E010u;
}
