// Reading the real-time clock bytes the way the hardware stores them: BCD or binary (status
// register B bit 2) and 12-hour or 24-hour (bit 1; in 12-hour mode bit 7 of the hour is PM).
#pragma once

#include "uefi/UefiBase.h"

namespace rtc {

const UINT8 kSeconds = 0x00;
const UINT8 kMinutes = 0x02;
const UINT8 kHours = 0x04;
const UINT8 kStatusB = 0x0B;

struct ClockTime {
  UINT8 Hours, Minutes, Seconds;  // binary, 24-hour
};

// Decodes raw register bytes into binary 24-hour time.
ClockTime Decode(UINT8 StatusB, UINT8 RawHours, UINT8 RawMinutes, UINT8 RawSeconds);

bool IsBinary(UINT8 StatusB);
bool Is24Hour(UINT8 StatusB);

}  // namespace rtc
