#include "ScreenshotHandshake.h"

#include "SerialPort.h"
#include "uefi/SimpleTextInput.h"

namespace {

const UINTN kPollMicroseconds = 10000;
const UINTN kTimeoutMicroseconds = 20000000;

}  // namespace

bool WaitForScreenshot(EFI_SYSTEM_TABLE *SystemTable, const char *Name) {
  auto *Keyboard = static_cast<EFI_SIMPLE_TEXT_INPUT_PROTOCOL *>(SystemTable->ConIn);
  EFI_INPUT_KEY Key;
  // Keys pressed before now do not answer this request (bounded: a keyboard that never runs
  // dry must not hang the check).
  for (UINTN Drained = 0; Keyboard != nullptr && Drained < 64; ++Drained) {
    if (EFI_ERROR(Keyboard->ReadKeyStroke(Keyboard, &Key))) break;
  }
  serial::WriteLine(TextLine().Add("SCREEN ").Add(Name));
  for (UINTN Waited = 0; Waited < kTimeoutMicroseconds; Waited += kPollMicroseconds) {
    if (Keyboard != nullptr && !EFI_ERROR(Keyboard->ReadKeyStroke(Keyboard, &Key))) return true;
    SystemTable->BootServices->Stall(kPollMicroseconds);
  }
  serial::WriteLine(TextLine().Add("NOTE no key after SCREEN ").Add(Name).Add(": went on"));
  return false;
}
