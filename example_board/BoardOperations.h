// The example board's operation table and the instance that carries it.
#pragma once

#include "ExampleBoard.h"

// The board's single protocol instance, ready to install.
EXAMPLE_BOARD_INSTANCE *ExampleBoardInstance();
