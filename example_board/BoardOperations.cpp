// Operations of the example board. A real board fills in the entries its platform needs;
// every other entry must still point somewhere, because callers index the table blindly.
#include "BoardOperations.h"

namespace {

// Callers may pass any number of further arguments; under the UEFI calling convention an
// operation that ignores them is still called correctly.
EFI_STATUS EFIAPI Unsupported(BOARD_SUPPORT_PROTOCOL *This, UINTN Function) {
  (void)This;
  (void)Function;
  return EFI_UNSUPPORTED;
}

// Entry 2, function 3: the platform call. The example board has no firmware service behind
// it, so it answers with the status the caller put in the first argument. That lets a test
// pick the status it wants to see passed back unchanged.
EFI_STATUS EFIAPI PlatformCall(BOARD_SUPPORT_PROTOCOL *This, UINTN Function, UINT64 First,
                               UINT32 Second, UINT64 Third) {
  if (Function != BOARD_PLATFORM_CALL_FUNCTION) return EFI_UNSUPPORTED;
  EXAMPLE_BOARD_INSTANCE *Board = reinterpret_cast<EXAMPLE_BOARD_INSTANCE *>(This);
  Board->PlatformCallCount += 1;
  Board->LastPlatformCallSecond = Second;
  Board->LastPlatformCallThird = Third;
  return static_cast<EFI_STATUS>(First);
}

// The board's display record; only width and height are defined.
BOARD_TEXT_RESOLUTION_RECORD gTextResolution = {0, 0, EXAMPLE_BOARD_TEXT_WIDTH,
                                                EXAMPLE_BOARD_TEXT_HEIGHT};

// Entry 19, function 1: where the text console size lives. The record stays owned by the
// board; callers read it in place.
EFI_STATUS EFIAPI GetTextResolution(BOARD_SUPPORT_PROTOCOL *This, UINTN Function, VOID **Record) {
  (void)This;
  if (Function != BOARD_TEXT_RESOLUTION_FUNCTION) return EFI_UNSUPPORTED;
  if (Record == nullptr) return EFI_INVALID_PARAMETER;
  *Record = &gTextResolution;
  return EFI_SUCCESS;
}

template <typename Operation>
BOARD_SUPPORT_ENTRY Entry(Operation Op) {
  return reinterpret_cast<BOARD_SUPPORT_ENTRY>(Op);
}

BOARD_SUPPORT_OPERATIONS MakeOperations() {
  BOARD_SUPPORT_OPERATIONS Table;
  for (UINTN Index = 0; Index < BOARD_SUPPORT_ENTRY_COUNT; ++Index) {
    Table.Entry[Index] = Entry(&Unsupported);
  }
  Table.Entry[BOARD_SUPPORT_ENTRY_PLATFORM_CALL] = Entry(&PlatformCall);
  Table.Entry[BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION] = Entry(&GetTextResolution);
  return Table;
}

BOARD_SUPPORT_OPERATIONS gOperations;
EXAMPLE_BOARD_INSTANCE gInstance;

}  // namespace

EXAMPLE_BOARD_INSTANCE *ExampleBoardInstance() {
  // Filled at run time: casting a function pointer is not a constant expression, so a static
  // table could need a constructor, and nothing runs constructors in a UEFI image.
  gOperations = MakeOperations();
  gInstance.Board.Operations = &gOperations;
  gInstance.PlatformCallCount = 0;
  gInstance.LastPlatformCallSecond = 0;
  gInstance.LastPlatformCallThird = 0;
  return &gInstance;
}
