// A Framework SMM system table as a flash client hands it to the driver. Its SmmAllocatePool
// and SmmFreePool work on a pool of their own (SMRAM is not boot-services memory), logged as
// services of their own, so a test can fail them (FailureInjector, Service::SmmAllocatePool)
// and see what was allocated. The other members answer Unsupported.
#pragma once

#include "sim/uefi/PoolAllocator.h"
#include "uefi/SmmSystemTable.h"

namespace sim {

class SmmSystemTable {
 public:
  SmmSystemTable();
  SmmSystemTable(const SmmSystemTable &) = delete;
  SmmSystemTable &operator=(const SmmSystemTable &) = delete;

  EFI_SMM_SYSTEM_TABLE *Table() { return &table_; }
  PoolAllocator &Pool() { return pool_; }

 private:
  EFI_SMM_SYSTEM_TABLE table_;
  PoolAllocator pool_;
};

}  // namespace sim
