// The example board as the platform driver will use it: the entries it implements answer,
// every other entry refuses cleanly instead of crashing the caller.
#include "FirmwareChecks.h"

namespace {

typedef EFI_STATUS(EFIAPI *ANY_BOARD_ENTRY)(BOARD_SUPPORT_PROTOCOL *This, UINTN Function,
                                            UINT64 First, UINT64 Second, UINT64 Third);

EFI_STATUS CallEntry(BOARD_SUPPORT_PROTOCOL *Board, UINTN Entry, UINTN Function) {
  VOID *Record = nullptr;
  ANY_BOARD_ENTRY Call = reinterpret_cast<ANY_BOARD_ENTRY>(Board->Operations->Entry[Entry]);
  return Call(Board, Function, reinterpret_cast<UINT64>(&Record), 0, 0);
}

}  // namespace

void CheckBoard(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  BOARD_SUPPORT_PROTOCOL *Board = &Context.Board->Board;
  if (!Report.ExpectTrue("board.operation_table_present", Board->Operations != nullptr,
                         "the board's operation table is null")) {
    return;
  }

  VOID *Record = nullptr;
  BOARD_GET_TEXT_RESOLUTION GetTextResolution = reinterpret_cast<BOARD_GET_TEXT_RESOLUTION>(
      Board->Operations->Entry[BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION]);
  EFI_STATUS Status = GetTextResolution(Board, BOARD_TEXT_RESOLUTION_FUNCTION, &Record);
  if (Report.ExpectEqual("board.text_resolution_status", EFI_SUCCESS, Status) &&
      Report.ExpectTrue("board.text_resolution_record", Record != nullptr, "null record")) {
    const BOARD_TEXT_RESOLUTION_RECORD *Resolution =
        static_cast<const BOARD_TEXT_RESOLUTION_RECORD *>(Record);
    Report.ExpectEqual("board.text_resolution_width", EXAMPLE_BOARD_TEXT_WIDTH, Resolution->Width);
    Report.ExpectEqual("board.text_resolution_height", EXAMPLE_BOARD_TEXT_HEIGHT,
                       Resolution->Height);
  }

  // Every entry with a function code it does not implement, and every unused entry with any
  // code, must answer EFI_UNSUPPORTED (and must not count as a platform call).
  UINT64 CallsBefore = Context.Board->PlatformCallCount;
  const UINTN Functions[] = {0, BOARD_TEXT_RESOLUTION_FUNCTION, 2, BOARD_PLATFORM_CALL_FUNCTION};
  for (UINTN Entry = 0; Entry < BOARD_SUPPORT_ENTRY_COUNT; ++Entry) {
    for (UINTN Function : Functions) {
      bool Implemented = (Entry == BOARD_SUPPORT_ENTRY_PLATFORM_CALL &&
                          Function == BOARD_PLATFORM_CALL_FUNCTION) ||
                         (Entry == BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION &&
                          Function == BOARD_TEXT_RESOLUTION_FUNCTION);
      if (Implemented) continue;
      Status = CallEntry(Board, Entry, Function);
      if (Status != EFI_UNSUPPORTED) {
        Report.Fail("board.other_entries_unsupported", TextLine()
                                                           .Add("entry ")
                                                           .Dec(Entry)
                                                           .Add(" function ")
                                                           .Dec(Function)
                                                           .Add(" returned ")
                                                           .Hex(Status));
        return;
      }
    }
  }
  Report.Pass("board.other_entries_unsupported");
  Report.ExpectEqual("board.refused_calls_not_counted", CallsBefore,
                     Context.Board->PlatformCallCount);
}
