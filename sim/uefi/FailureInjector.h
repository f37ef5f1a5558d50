// Makes a chosen call of a chosen service fail with a chosen status, without the service doing
// anything, so a test can drive a module down its error paths.
#pragma once

#include <optional>
#include <vector>

#include "sim/uefi/Service.h"

namespace sim {

class FailureInjector {
 public:
  // The nth call of `service` from now (1 = the next one) returns `status`.
  void FailNthCall(Service service, unsigned nth, EFI_STATUS status);
  void FailNextCall(Service service, EFI_STATUS status) { FailNthCall(service, 1, status); }
  // Every call of `service` from now on returns `status`, until Clear().
  void FailEveryCall(Service service, EFI_STATUS status);
  void Clear() { rules_.clear(); }

  // Called once per service call; returns the status to inject, if any.
  std::optional<EFI_STATUS> OnCall(Service service);

 private:
  struct Rule {
    Service service;
    unsigned callsToSkip;  // calls that pass before the failing one
    bool everyCall;
    EFI_STATUS status;
  };
  std::vector<Rule> rules_;
};

}  // namespace sim
