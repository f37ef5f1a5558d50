#include "RtcClock.h"

namespace rtc {
namespace {

const UINT8 kStatusBBinary = 0x04;
const UINT8 kStatusB24Hour = 0x02;
const UINT8 kHourPm = 0x80;

UINT8 FromBcd(UINT8 Value) { return static_cast<UINT8>((Value >> 4) * 10 + (Value & 0x0F)); }

}  // namespace

bool IsBinary(UINT8 StatusB) { return (StatusB & kStatusBBinary) != 0; }
bool Is24Hour(UINT8 StatusB) { return (StatusB & kStatusB24Hour) != 0; }

ClockTime Decode(UINT8 StatusB, UINT8 RawHours, UINT8 RawMinutes, UINT8 RawSeconds) {
  bool Pm = !Is24Hour(StatusB) && (RawHours & kHourPm) != 0;
  if (!Is24Hour(StatusB)) RawHours &= static_cast<UINT8>(~kHourPm);

  ClockTime Time;
  Time.Hours = IsBinary(StatusB) ? RawHours : FromBcd(RawHours);
  Time.Minutes = IsBinary(StatusB) ? RawMinutes : FromBcd(RawMinutes);
  Time.Seconds = IsBinary(StatusB) ? RawSeconds : FromBcd(RawSeconds);
  if (!Is24Hour(StatusB)) {
    // 12 AM is hour 0 and 12 PM is hour 12.
    Time.Hours = static_cast<UINT8>(Time.Hours % 12 + (Pm ? 12 : 0));
  }
  return Time;
}

}  // namespace rtc
