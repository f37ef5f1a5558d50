// Things the simulated board saw that would be an error, an exception or a hang on a real one.
// Nothing here aborts: the access completes the way the hardware completes it (all-ones, a
// dropped write, a zero) and the fault is kept for the test to assert on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace sim {

enum class FaultKind {
  UnclaimedPort,    // no device decodes the I/O port: reads float high, writes vanish
  UnmappedMemory,   // no device decodes the physical address
  AbsentMsr,        // RDMSR/WRMSR of an MSR the processor does not have (#GP)
  GeneralProtection,  // a reserved or invalid bit pattern written to CR0 or an MSR (#GP)
  HaltWithInterruptsDisabled,  // HLT with IF clear never wakes up
  DecodeConflict,   // a relocatable window was moved onto a range another device decodes
};

struct Fault {
  FaultKind kind;
  uint64_t address;  // port, physical address or MSR index
  unsigned width;    // bits of the access; 0 when it has none
  std::string detail;
};

const char *ToString(FaultKind kind);
std::ostream &operator<<(std::ostream &out, const Fault &fault);

class FaultList {
 public:
  void Record(FaultKind kind, uint64_t address, unsigned width, std::string detail);

  const std::vector<Fault> &All() const { return faults_; }
  bool Empty() const { return faults_.empty(); }
  size_t Count(FaultKind kind) const;
  void Clear() { faults_.clear(); }
  // One fault per line, for a failure message.
  std::string Describe() const;

 private:
  std::vector<Fault> faults_;
};

}  // namespace sim
