// CMOS services. The clock bytes are compared with what the firmware's own runtime GetTime
// says; reads and writes are compared with the check's own port accesses, so the driver is
// never judged by itself.
#include "FirmwareChecks.h"
#include "RtcClock.h"
#include "X86.h"

namespace {

const UINT16 kCmosIndex = 0x70;
const UINT16 kCmosData = 0x71;

// Bytes at the top of the 128-byte CMOS, clear of the clock and of what the emulator fills in
// for the firmware. Their old values are put back at the end.
const UINT8 kScratchA = 0x7C;
const UINT8 kScratchB = 0x7D;
const UINT8 kScratchC = 0x7E;

UINT8 DirectRead(UINT8 Index) {
  x86::Out8(kCmosIndex, Index);
  return x86::In8(kCmosData);
}

void DirectWrite(UINT8 Index, UINT8 Value) {
  x86::Out8(kCmosIndex, Index);
  x86::Out8(kCmosData, Value);
}

TextLine &AddTime(TextLine &Line, UINT8 Hours, UINT8 Minutes, UINT8 Seconds) {
  return Line.Dec(Hours, 2).Add(':').Dec(Minutes, 2).Add(':').Dec(Seconds, 2);
}

bool SameSecond(const EFI_TIME &A, const EFI_TIME &B) {
  return A.Hour == B.Hour && A.Minute == B.Minute && A.Second == B.Second;
}

void CheckClockAgainstGetTime(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  EFI_RUNTIME_SERVICES *Runtime = Context.SystemTable->RuntimeServices;

  // GetTime before and after the CMOS reads: if both agree, no second boundary fell in
  // between and the CMOS bytes must show that same time. Otherwise try again.
  for (UINTN Attempt = 0; Attempt < 5; ++Attempt) {
    EFI_TIME Before = {}, After = {};
    EFI_STATUS Status = Runtime->GetTime(&Before, nullptr);
    UINT8 StatusB = Services.CmosRead8(rtc::kStatusB);
    UINT8 RawSeconds = Services.CmosRead8(rtc::kSeconds);
    UINT8 RawMinutes = Services.CmosRead8(rtc::kMinutes);
    UINT8 RawHours = Services.CmosRead8(rtc::kHours);
    if (!EFI_ERROR(Status)) Status = Runtime->GetTime(&After, nullptr);
    if (EFI_ERROR(Status)) {
      Report.Fail("cmos.clock_matches_get_time", TextLine().Add("GetTime returned ").Hex(Status));
      return;
    }
    if (!SameSecond(Before, After)) continue;

    rtc::ClockTime Cmos = rtc::Decode(StatusB, RawHours, RawMinutes, RawSeconds);
    TextLine Note;
    Note.Add("RTC status B ")
        .Hex(StatusB)
        .Add(rtc::IsBinary(StatusB) ? " binary" : " BCD")
        .Add(rtc::Is24Hour(StatusB) ? " 24h" : " 12h")
        .Add(", raw h/m/s ")
        .Hex(RawHours)
        .Add(' ')
        .Hex(RawMinutes)
        .Add(' ')
        .Hex(RawSeconds);
    Report.Note(Note);
    if (Cmos.Hours == Before.Hour && Cmos.Minutes == Before.Minute &&
        Cmos.Seconds == Before.Second) {
      Report.Pass("cmos.clock_matches_get_time");
    } else {
      TextLine Differed;
      Differed.Add("GetTime ");
      AddTime(Differed, Before.Hour, Before.Minute, Before.Second).Add(" CmosRead8 ");
      AddTime(Differed, Cmos.Hours, Cmos.Minutes, Cmos.Seconds);
      Report.Fail("cmos.clock_matches_get_time", Differed);
    }
    return;
  }
  Report.Fail("cmos.clock_matches_get_time",
              TextLine().Add("GetTime never returned the same second twice in a row"));
}

void CheckReadsAndWrites(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  const UINT8 SavedA = DirectRead(kScratchA);
  const UINT8 SavedB = DirectRead(kScratchB);
  const UINT8 SavedC = DirectRead(kScratchC);

  DirectWrite(kScratchA, 0x5A);
  Report.ExpectEqual("cmos.read8_returns_stored_byte", 0x5A, Services.CmosRead8(kScratchA));

  Services.CmosWrite8(kScratchA, 0xA5);
  Report.ExpectEqual("cmos.write8_stores_byte", 0xA5, DirectRead(kScratchA));

  DirectWrite(kScratchA, 0xCD);
  DirectWrite(kScratchB, 0xAB);
  Report.ExpectEqual("cmos.read16_high_byte_from_next_index", 0xABCD,
                     Services.CmosRead16(kScratchA));

  Services.CmosWrite16(kScratchA, 0x1234);
  UINT16 Stored = static_cast<UINT16>(DirectRead(kScratchA) | (DirectRead(kScratchB) << 8));
  Report.ExpectEqual("cmos.write16_low_byte_first", 0x1234, Stored);

  DirectWrite(kScratchC, 0x3C);
  Report.ExpectEqual("cmos.indexed_read8_on_cmos_ports", 0x3C,
                     Services.IndexedIoRead8(kCmosIndex, kCmosData, kScratchC));
  Services.IndexedIoWrite8(kCmosIndex, kCmosData, kScratchC, 0xC3);
  Report.ExpectEqual("cmos.indexed_write8_on_cmos_ports", 0xC3, DirectRead(kScratchC));

  DirectWrite(kScratchA, SavedA);
  DirectWrite(kScratchB, SavedB);
  DirectWrite(kScratchC, SavedC);
}

}  // namespace

void CheckCmos(FirmwareCheckContext &Context) {
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  CheckReport &Report = *Context.Report;
  if (!RequireSlot(Report, "cmos.services", Services.CmosRead8) ||
      !RequireSlot(Report, "cmos.services", Services.CmosWrite8) ||
      !RequireSlot(Report, "cmos.services", Services.CmosRead16) ||
      !RequireSlot(Report, "cmos.services", Services.CmosWrite16) ||
      !RequireSlot(Report, "cmos.services", Services.IndexedIoRead8) ||
      !RequireSlot(Report, "cmos.services", Services.IndexedIoWrite8)) {
    return;
  }
  CheckClockAgainstGetTime(Context);
  CheckReadsAndWrites(Context);
}
