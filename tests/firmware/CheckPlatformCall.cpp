// PlatformCall hands its arguments to the board (entry 2, function 3) and returns the
// board's status untouched. The example board answers with the first argument, so each case
// picks the status it expects back, errors and warnings included.
#include "FirmwareChecks.h"

namespace {

struct PlatformCallCase {
  const char *Name;
  UINT64 First;  // also the status the example board returns
  UINT32 Second;
  UINT64 Third;
};

const PlatformCallCase kCases[] = {
    {"platform_call.success", EFI_SUCCESS, 0x00000001u, 0x0000000000000002ull},
    {"platform_call.aborted", EFI_ABORTED, 0xFFFFFFFFu, 0xFFFFFFFFFFFFFFFFull},
    // Not a status any firmware defines: nothing in between may translate or clamp it.
    {"platform_call.unusual_error", EFIERR(0x7A5C3E1), 0x89ABCDEFu, 0x0123456789ABCDEFull},
    // A warning (high bit clear, non-zero) must not be folded into success.
    {"platform_call.warning", 0x0000000000000004ull, 0x80000000u, 0x8000000000000000ull},
};

}  // namespace

void CheckPlatformCall(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  if (!RequireSlot(Report, "platform_call.service", Services.PlatformCall)) return;
  EXAMPLE_BOARD_INSTANCE &Board = *Context.Board;

  for (const PlatformCallCase &Case : kCases) {
    UINT64 CallsBefore = Board.PlatformCallCount;
    EFI_STATUS Status = Services.PlatformCall(Case.First, Case.Second, Case.Third);
    TextLine Differed;
    if (Status != Case.First) {
      Differed.Add("status: expected ").Hex(Case.First).Add(" got ").Hex(Status);
    } else if (Board.PlatformCallCount != CallsBefore + 1) {
      Differed.Add("the board was called ")
          .Dec(Board.PlatformCallCount - CallsBefore)
          .Add(" times");
    } else if (Board.LastPlatformCallSecond != Case.Second) {
      Differed.Add("board saw second ")
          .Hex(Board.LastPlatformCallSecond)
          .Add(", expected ")
          .Hex(Case.Second);
    } else if (Board.LastPlatformCallThird != Case.Third) {
      Differed.Add("board saw third ")
          .Hex(Board.LastPlatformCallThird)
          .Add(", expected ")
          .Hex(Case.Third);
    }
    if (Differed.Length() == 0) {
      Report.Pass(Case.Name);
    } else {
      Report.Fail(Case.Name, Differed);
    }
  }
}
