// Result lines go straight to the first UART (COM1), not through the firmware console: a
// check must still be able to report when the console is what broke, and the runner reads
// this port's log. The firmware shares the port for its own console; lines are written
// whole, so the two never interleave within a line.
#pragma once

#include "TextLine.h"

namespace serial {

void WriteLine(const TextLine &Line);

}  // namespace serial
