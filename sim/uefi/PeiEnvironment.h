// The PEI side of the simulated firmware: a PEI services table over a real HOB list, as the
// PEI core keeps it. CreateHob carves each new HOB out of the free memory after the list,
// writes its header (type, length rounded up to 8, reserved) and moves the end-of-list
// marker; the rest of the new HOB is left as the core leaves it, unwritten.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uefi/Hob.h"
#include "uefi/PeiServices.h"

namespace sim {

class PeiEnvironment {
 public:
  static constexpr size_t kDefaultHobSpace = 16 * 1024;
  static constexpr uint8_t kUnwrittenFill = 0xAF;

  explicit PeiEnvironment(size_t hobSpace = kDefaultHobSpace);
  ~PeiEnvironment();
  PeiEnvironment(const PeiEnvironment &) = delete;
  PeiEnvironment &operator=(const PeiEnvironment &) = delete;

  static PeiEnvironment &Current();

  // What a PEIM's entry point receives.
  const EFI_PEI_SERVICES **PeiServices() { return &tablePointer_; }

  // The nth CreateHob from now (1 = the next) fails with `status` and creates nothing.
  void FailNthCreateHob(unsigned nth, EFI_STATUS status);

  // ---- The HOB list, walked by header lengths as a consumer would ----
  const EFI_HOB_HANDOFF_INFO_TABLE &Handoff() const;
  std::vector<const EFI_HOB_GENERIC_HEADER *> Hobs() const;  // without the end marker
  std::vector<const EFI_HOB_GUID_TYPE *> GuidHobs(const EFI_GUID &name) const;
  // Bytes of the list from the first HOB through the end marker.
  size_t ListSize() const;

  // Services called so far ("CreateHob(4, 282)", "CopyMem(258)"), and calls of services
  // the simulation does not provide.
  const std::vector<std::string> &Calls() const { return calls_; }
  const std::vector<std::string> &Errors() const { return errors_; }

  // ---- Used by the service entries ----
  EFI_STATUS CreateHob(UINT16 type, UINT16 length, VOID **hob);
  void RecordCall(std::string call) { calls_.push_back(std::move(call)); }
  void RecordError(std::string error) { errors_.push_back(std::move(error)); }

 private:
  EFI_HOB_HANDOFF_INFO_TABLE &MutableHandoff();
  void WriteEndOfList(uint8_t *at);

  std::vector<uint64_t> storage_;  // 8-byte aligned HOB memory
  EFI_PEI_SERVICES table_{};
  const EFI_PEI_SERVICES *tablePointer_ = &table_;
  std::vector<unsigned> pendingFailures_;
  std::vector<EFI_STATUS> pendingStatuses_;
  std::vector<std::string> calls_;
  std::vector<std::string> errors_;
};

}  // namespace sim
