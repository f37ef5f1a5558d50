#include "SerialPort.h"

#include "X86.h"

namespace serial {
namespace {

// The firmware has already programmed the port (baud rate, framing); only the transmit
// register and the line status are touched here.
const UINT16 kBase = 0x3F8;
const UINT16 kTransmit = kBase + 0;
const UINT16 kLineStatus = kBase + 5;
const UINT8 kLineStatusTransmitEmpty = 0x20;

void WriteByte(UINT8 Byte) {
  // Bounded wait: a UART that never drains must not hang the check.
  for (UINT32 Spin = 0; Spin < 100000; ++Spin) {
    if (x86::In8(kLineStatus) & kLineStatusTransmitEmpty) break;
  }
  x86::Out8(kTransmit, Byte);
}

}  // namespace

void WriteLine(const TextLine &Line) {
  for (const char *Text = Line.Text(); *Text != '\0'; ++Text) {
    WriteByte(static_cast<UINT8>(*Text));
  }
  WriteByte('\r');
  WriteByte('\n');
}

}  // namespace serial
