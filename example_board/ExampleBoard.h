// The example board's view of its own protocol instance. A platform driver only sees the
// BOARD_SUPPORT_PROTOCOL at the front; the fields behind it are the board's private state,
// laid out here so that firmware tests can see what the board was asked to do.
#pragma once

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
