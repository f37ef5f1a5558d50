#include "sim/hw/Faults.h"

#include <sstream>

namespace sim {

const char *ToString(FaultKind kind) {
  switch (kind) {
    case FaultKind::UnclaimedPort: return "UnclaimedPort";
    case FaultKind::UnmappedMemory: return "UnmappedMemory";
    case FaultKind::AbsentMsr: return "AbsentMsr";
    case FaultKind::GeneralProtection: return "GeneralProtection";
    case FaultKind::HaltWithInterruptsDisabled: return "HaltWithInterruptsDisabled";
    case FaultKind::DecodeConflict: return "DecodeConflict";
  }
  return "?";
}

std::ostream &operator<<(std::ostream &out, const Fault &fault) {
  out << ToString(fault.kind) << " at 0x" << std::hex << fault.address << std::dec;
  if (fault.width != 0) out << " (" << fault.width << " bits)";
  if (!fault.detail.empty()) out << ": " << fault.detail;
  return out;
}

void FaultList::Record(FaultKind kind, uint64_t address, unsigned width, std::string detail) {
  faults_.push_back(Fault{kind, address, width, std::move(detail)});
}

size_t FaultList::Count(FaultKind kind) const {
  size_t count = 0;
  for (const Fault &fault : faults_) {
    if (fault.kind == kind) ++count;
  }
  return count;
}

std::string FaultList::Describe() const {
  std::ostringstream out;
  for (const Fault &fault : faults_) out << fault << "\n";
  return out.str();
}

}  // namespace sim
