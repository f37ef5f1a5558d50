// The DXE services table a platform's DXE core publishes, as far as drivers here use it:
// SetMemorySpaceAttributes is recorded (and answers Success unless a failure is injected);
// every other member answers Unsupported. The table exists with every environment but is
// only reachable once a test installs it in the system table's configuration table, under
// EFI_DXE_SERVICES_TABLE_GUID, with UefiEnvironment::InstallDxeServices().
#pragma once

#include <cstdint>
#include <vector>

#include "uefi/DxeServicesTable.h"

namespace sim {

struct MemorySpaceAttributesCall {
  EFI_PHYSICAL_ADDRESS base;
  UINT64 length;
  UINT64 attributes;
};

class DxeServices {
 public:
  static constexpr EFI_GUID kTableGuid = EFI_DXE_SERVICES_TABLE_GUID;

  DxeServices();
  DxeServices(const DxeServices &) = delete;
  DxeServices &operator=(const DxeServices &) = delete;

  EFI_DXE_SERVICES *Table() { return &table_; }

  // Every SetMemorySpaceAttributes that was carried out, in order.
  const std::vector<MemorySpaceAttributesCall> &AttributeChanges() const { return changes_; }
  void RecordAttributes(const MemorySpaceAttributesCall &call) { changes_.push_back(call); }

 private:
  EFI_DXE_SERVICES table_;
  std::vector<MemorySpaceAttributesCall> changes_;
};

}  // namespace sim
