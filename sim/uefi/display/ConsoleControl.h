// The Framework console control protocol: a console that is either in text or in graphics
// mode. GetMode reports the mode; SetMode switches it.
#pragma once

#include <vector>

#include "uefi/ConsoleControl.h"

namespace sim {

class ConsoleControl {
 public:
  explicit ConsoleControl(EFI_CONSOLE_CONTROL_SCREEN_MODE start = EfiConsoleControlScreenText);
  ConsoleControl(const ConsoleControl &) = delete;
  ConsoleControl &operator=(const ConsoleControl &) = delete;

  EFI_CONSOLE_CONTROL_PROTOCOL *Protocol() { return &binding_.protocol; }
  EFI_CONSOLE_CONTROL_SCREEN_MODE Mode() const { return mode_; }

  // Every SetMode call, accepted or not, with the mode asked for.
  const std::vector<EFI_CONSOLE_CONTROL_SCREEN_MODE> &SetModeCalls() const {
    return setModeCalls_;
  }
  unsigned GetModeCount() const { return getModeCount_; }

  // SetMode returns `status` and changes nothing, until called again with EFI_SUCCESS.
  void FailSetMode(EFI_STATUS status) { setModeFailure_ = status; }
  // Something else switches the console to text just before the nth GetMode from now (1 = the
  // next one; 0 counts as 1), so that call and every later one report text. This is how a test
  // ends an animation that runs until the console leaves graphics mode.
  void SwitchToTextAfterGetModeCalls(unsigned n);
  // What GetMode reports as GopUgaExists (TRUE unless set otherwise).
  void SetGopUgaExists(bool exists) { gopUgaExists_ = exists; }

 private:
  struct Binding {
    EFI_CONSOLE_CONTROL_PROTOCOL protocol;
    ConsoleControl *owner;
  };
  static ConsoleControl &From(EFI_CONSOLE_CONTROL_PROTOCOL *self);

  static EFI_STATUS EFIAPI GetMode(EFI_CONSOLE_CONTROL_PROTOCOL *self,
                                   EFI_CONSOLE_CONTROL_SCREEN_MODE *mode, BOOLEAN *gopUgaExists,
                                   BOOLEAN *stdInLocked);
  static EFI_STATUS EFIAPI SetMode(EFI_CONSOLE_CONTROL_PROTOCOL *self,
                                   EFI_CONSOLE_CONTROL_SCREEN_MODE mode);
  static EFI_STATUS EFIAPI LockStdIn(EFI_CONSOLE_CONTROL_PROTOCOL *self, CHAR16 *password);

  Binding binding_;
  EFI_CONSOLE_CONTROL_SCREEN_MODE mode_;
  std::vector<EFI_CONSOLE_CONTROL_SCREEN_MODE> setModeCalls_;
  unsigned getModeCount_ = 0;
  bool switchArmed_ = false;
  unsigned switchAtGetMode_ = 0;  // value of getModeCount_ at which the switch happens
  EFI_STATUS setModeFailure_ = EFI_SUCCESS;
  bool gopUgaExists_ = true;
};

}  // namespace sim
