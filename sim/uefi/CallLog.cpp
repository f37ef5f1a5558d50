#include "sim/uefi/CallLog.h"

#include <cstdio>

namespace sim {

size_t CallLog::Begin(Service service, std::string detail) {
  entries_.push_back(ServiceCall{service, std::move(detail), 0, false, false});
  return entries_.size() - 1;
}

void CallLog::Finish(size_t index, EFI_STATUS status, bool injected) {
  if (index >= entries_.size()) return;  // the log was cleared while the call ran
  entries_[index].status = status;
  entries_[index].injected = injected;
  entries_[index].finished = true;
}

std::vector<Service> CallLog::Services() const {
  std::vector<Service> services;
  for (const ServiceCall &call : entries_) services.push_back(call.service);
  return services;
}

size_t CallLog::Count(Service service) const {
  size_t count = 0;
  for (const ServiceCall &call : entries_) count += call.service == service ? 1 : 0;
  return count;
}

std::vector<ServiceCall> CallLog::CallsOf(Service service) const {
  std::vector<ServiceCall> calls;
  for (const ServiceCall &call : entries_) {
    if (call.service == service) calls.push_back(call);
  }
  return calls;
}

std::string CallLog::Describe() const {
  std::string text;
  for (const ServiceCall &call : entries_) {
    char status[32];
    std::snprintf(status, sizeof status, "0x%llx", static_cast<unsigned long long>(call.status));
    text += ServiceName(call.service);
    text += "(" + call.detail + ") -> " + status + (call.injected ? " [injected]" : "") + "\n";
  }
  return text;
}

}  // namespace sim
