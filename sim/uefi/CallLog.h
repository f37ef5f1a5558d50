// Ordered record of every boot and runtime service call the code under test made, so a test
// can check start-up order and what a module asked for.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/uefi/Service.h"

namespace sim {

struct ServiceCall {
  Service service;
  std::string detail;     // the key argument: a GUID, a size, an event group...
  EFI_STATUS status = 0;  // what the service returned (0 for VOID services)
  bool injected = false;  // the status came from failure injection
  bool finished = false;  // the service has returned (false while it, or a notify, runs)
};

class CallLog {
 public:
  // Returns the index of the new entry; calls nested inside notify functions follow it.
  size_t Begin(Service service, std::string detail);
  void Finish(size_t index, EFI_STATUS status, bool injected);

  const std::vector<ServiceCall> &Entries() const { return entries_; }
  std::vector<Service> Services() const;
  size_t Count(Service service) const;
  // Entries of one service, in call order.
  std::vector<ServiceCall> CallsOf(Service service) const;
  // "LocateProtocol(<guid>) -> 0x0" per line; for failure messages.
  std::string Describe() const;
  void Clear() { entries_.clear(); }

 private:
  std::vector<ServiceCall> entries_;
};

}  // namespace sim
