#include "sim/uefi/display/ConsoleControl.h"

#include <stdexcept>

namespace sim {

ConsoleControl::ConsoleControl(EFI_CONSOLE_CONTROL_SCREEN_MODE start) : mode_(start) {
  if (start >= EfiConsoleControlScreenMaxValue) {
    throw std::invalid_argument("a console is in text or graphics mode");
  }
  binding_.protocol.GetMode = &ConsoleControl::GetMode;
  binding_.protocol.SetMode = &ConsoleControl::SetMode;
  binding_.protocol.LockStdIn = &ConsoleControl::LockStdIn;
  binding_.owner = this;
}

ConsoleControl &ConsoleControl::From(EFI_CONSOLE_CONTROL_PROTOCOL *self) {
  return *reinterpret_cast<Binding *>(self)->owner;
}

void ConsoleControl::SwitchToTextAfterGetModeCalls(unsigned n) {
  switchArmed_ = true;
  switchAtGetMode_ = getModeCount_ + (n == 0 ? 1 : n);
}

EFI_STATUS EFIAPI ConsoleControl::GetMode(EFI_CONSOLE_CONTROL_PROTOCOL *self,
                                          EFI_CONSOLE_CONTROL_SCREEN_MODE *mode,
                                          BOOLEAN *gopUgaExists, BOOLEAN *stdInLocked) {
  ConsoleControl &console = From(self);
  if (mode == nullptr) return EFI_INVALID_PARAMETER;
  ++console.getModeCount_;
  if (console.switchArmed_ && console.getModeCount_ >= console.switchAtGetMode_) {
    console.switchArmed_ = false;
    console.mode_ = EfiConsoleControlScreenText;
  }
  *mode = console.mode_;
  if (gopUgaExists != nullptr) *gopUgaExists = console.gopUgaExists_ ? TRUE : FALSE;
  if (stdInLocked != nullptr) *stdInLocked = FALSE;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI ConsoleControl::SetMode(EFI_CONSOLE_CONTROL_PROTOCOL *self,
                                          EFI_CONSOLE_CONTROL_SCREEN_MODE mode) {
  ConsoleControl &console = From(self);
  console.setModeCalls_.push_back(mode);
  if (console.setModeFailure_ != EFI_SUCCESS) return console.setModeFailure_;
  if (mode >= EfiConsoleControlScreenMaxValue) return EFI_UNSUPPORTED;
  console.mode_ = mode;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI ConsoleControl::LockStdIn(EFI_CONSOLE_CONTROL_PROTOCOL *, CHAR16 *) {
  return EFI_UNSUPPORTED;  // no keyboard behind this console
}

}  // namespace sim
