// Pool memory with real backing storage. Every live allocation is tracked so a test can see
// what a module kept, and bad frees are recorded instead of corrupting the host heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "uefi/UefiBase.h"

namespace sim {

struct PoolAllocation {
  void *address;
  size_t size;
  EFI_MEMORY_TYPE type;
  uint64_t sequence;  // 1 for the first allocation of the environment, then counting up
};

struct PoolError {
  enum class Kind { UnknownPointer, DoubleFree, NullPointer };
  Kind kind;
  void *address;
  std::string Describe() const;
};

class PoolAllocator {
 public:
  PoolAllocator() = default;
  PoolAllocator(const PoolAllocator &) = delete;
  PoolAllocator &operator=(const PoolAllocator &) = delete;
  ~PoolAllocator();

  // AllocatePool semantics, including the injected failures below (counted per call).
  EFI_STATUS Allocate(EFI_MEMORY_TYPE type, size_t size, void **buffer);
  // Pool the environment allocates on a caller's behalf (LocateHandleBuffer): tracked like any
  // other block, but it does not count as an AllocatePool call for failure injection.
  EFI_STATUS AllocateForService(EFI_MEMORY_TYPE type, size_t size, void **buffer);
  // FreePool semantics: unknown pointers and double frees are recorded as errors.
  EFI_STATUS Free(void *buffer);

  // The nth Allocate from now (1 = the next one) fails with EFI_OUT_OF_RESOURCES.
  void FailNthAllocation(unsigned nth);
  // Every Allocate fails with EFI_OUT_OF_RESOURCES until set back to false.
  void FailEveryAllocation(bool fail) { failEvery_ = fail; }

  size_t LiveCount() const { return live_.size(); }
  size_t LiveBytes() const;
  const std::vector<PoolAllocation> &Live() const { return live_; }
  const PoolAllocation *Find(const void *address) const;
  const std::vector<PoolError> &Errors() const { return errors_; }
  std::string DescribeErrors() const;
  std::string DescribeLive() const;

  static bool IsValidPoolType(EFI_MEMORY_TYPE type);

 private:
  bool ConsumeInjectedFailure();
  EFI_STATUS AllocateBlock(EFI_MEMORY_TYPE type, size_t size, void **buffer);

  std::vector<PoolAllocation> live_;
  // Freed blocks are kept (and poisoned under ASan) until the environment ends, so a freed
  // address is never handed out again: a double free stays detectable and a use after free
  // faults instead of reading someone else's data.
  std::vector<PoolAllocation> retired_;
  std::vector<PoolError> errors_;
  uint64_t nextSequence_ = 1;
  std::vector<unsigned> pendingFailures_;  // countdowns, 0 = fail the next allocation
  bool failEvery_ = false;
};

}  // namespace sim
