#include "sim/uefi/FailureInjector.h"

namespace sim {

void FailureInjector::FailNthCall(Service service, unsigned nth, EFI_STATUS status) {
  rules_.push_back(Rule{service, nth == 0 ? 0 : nth - 1, false, status});
}

void FailureInjector::FailEveryCall(Service service, EFI_STATUS status) {
  rules_.push_back(Rule{service, 0, true, status});
}

std::optional<EFI_STATUS> FailureInjector::OnCall(Service service) {
  std::optional<EFI_STATUS> injected;
  for (auto rule = rules_.begin(); rule != rules_.end();) {
    if (rule->service != service) {
      ++rule;
      continue;
    }
    if (rule->everyCall) {
      if (!injected) injected = rule->status;
      ++rule;
    } else if (rule->callsToSkip > 0) {
      --rule->callsToSkip;
      ++rule;
    } else {
      if (!injected) injected = rule->status;
      rule = rules_.erase(rule);
    }
  }
  return injected;
}

}  // namespace sim
