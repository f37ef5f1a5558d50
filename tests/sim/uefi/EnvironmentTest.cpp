#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {

VOID EFIAPI RecordNotify(EFI_EVENT event, VOID *context) {
  auto *probe = static_cast<NotifyProbe *>(context);
  UefiEnvironment &env = UefiEnvironment::Current();
  ++probe->runs;
  probe->tplSeen = env.CurrentTpl();
  probe->eventSeen = event;
  probe->callsLoggedBefore = env.Calls().Entries().size();
  const std::vector<ServiceCall> &calls = env.Calls().Entries();
  probe->lastCallFinished = !calls.empty() && calls.back().finished;
}

}  // namespace sim
