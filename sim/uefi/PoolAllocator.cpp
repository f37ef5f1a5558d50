#include "sim/uefi/PoolAllocator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define SIM_POISON(addr, size) ASAN_POISON_MEMORY_REGION(addr, size)
#define SIM_UNPOISON(addr, size) ASAN_UNPOISON_MEMORY_REGION(addr, size)
#else
#define SIM_POISON(addr, size) ((void)(addr), (void)(size))
#define SIM_UNPOISON(addr, size) ((void)(addr), (void)(size))
#endif

namespace sim {
namespace {

// Pool contents are undefined after AllocatePool; a fill pattern makes a module that relies on
// zeroed memory fail visibly.
constexpr unsigned char kFreshPoolFill = 0xAF;

// Memory types beyond the last defined one, up to the OEM range, are not valid pool types.
constexpr EFI_MEMORY_TYPE kPersistentMemory = 14;
constexpr EFI_MEMORY_TYPE kFirstUndefinedType = 15;
constexpr EFI_MEMORY_TYPE kFirstOemType = 0x70000000;

}  // namespace

std::string PoolError::Describe() const {
  const char *what = kind == Kind::DoubleFree       ? "double free"
                     : kind == Kind::NullPointer    ? "FreePool(NULL)"
                                                    : "free of a pointer that is not pool memory";
  char text[96];
  std::snprintf(text, sizeof text, "%s at %p", what, address);
  return text;
}

PoolAllocator::~PoolAllocator() {
  for (const PoolAllocation &allocation : live_) std::free(allocation.address);
  for (const PoolAllocation &block : retired_) {
    SIM_UNPOISON(block.address, block.size == 0 ? 1 : block.size);
    std::free(block.address);
  }
}

bool PoolAllocator::IsValidPoolType(EFI_MEMORY_TYPE type) {
  if (type >= kFirstOemType) return true;
  if (type == EfiConventionalMemory || type == kPersistentMemory) return false;
  return type < kFirstUndefinedType;
}

void PoolAllocator::FailNthAllocation(unsigned nth) {
  pendingFailures_.push_back(nth == 0 ? 0 : nth - 1);
}

bool PoolAllocator::ConsumeInjectedFailure() {
  bool fail = failEvery_;
  for (auto countdown = pendingFailures_.begin(); countdown != pendingFailures_.end();) {
    if (*countdown == 0) {
      fail = true;
      countdown = pendingFailures_.erase(countdown);
    } else {
      --*countdown;
      ++countdown;
    }
  }
  return fail;
}

EFI_STATUS PoolAllocator::Allocate(EFI_MEMORY_TYPE type, size_t size, void **buffer) {
  if (buffer == nullptr || !IsValidPoolType(type)) return EFI_INVALID_PARAMETER;
  if (ConsumeInjectedFailure()) return EFI_OUT_OF_RESOURCES;
  return AllocateBlock(type, size, buffer);
}

EFI_STATUS PoolAllocator::AllocateForService(EFI_MEMORY_TYPE type, size_t size, void **buffer) {
  if (buffer == nullptr || !IsValidPoolType(type)) return EFI_INVALID_PARAMETER;
  return AllocateBlock(type, size, buffer);
}

EFI_STATUS PoolAllocator::AllocateBlock(EFI_MEMORY_TYPE type, size_t size, void **buffer) {
  // malloc alignment (16 on the host) exceeds the 8 bytes pool memory guarantees.
  void *block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) return EFI_OUT_OF_RESOURCES;
  std::memset(block, kFreshPoolFill, size);
  live_.push_back(PoolAllocation{block, size, type, nextSequence_++});
  *buffer = block;
  return EFI_SUCCESS;
}

EFI_STATUS PoolAllocator::Free(void *buffer) {
  if (buffer == nullptr) {
    errors_.push_back(PoolError{PoolError::Kind::NullPointer, buffer});
    return EFI_INVALID_PARAMETER;
  }
  auto it = std::find_if(live_.begin(), live_.end(),
                         [&](const PoolAllocation &a) { return a.address == buffer; });
  if (it == live_.end()) {
    bool wasFreed = std::any_of(retired_.begin(), retired_.end(),
                                [&](const PoolAllocation &a) { return a.address == buffer; });
    errors_.push_back(
        PoolError{wasFreed ? PoolError::Kind::DoubleFree : PoolError::Kind::UnknownPointer,
                  buffer});
    return EFI_INVALID_PARAMETER;
  }
  SIM_POISON(it->address, it->size == 0 ? 1 : it->size);
  retired_.push_back(*it);
  live_.erase(it);
  return EFI_SUCCESS;
}

size_t PoolAllocator::LiveBytes() const {
  size_t bytes = 0;
  for (const PoolAllocation &allocation : live_) bytes += allocation.size;
  return bytes;
}

const PoolAllocation *PoolAllocator::Find(const void *address) const {
  for (const PoolAllocation &allocation : live_) {
    if (allocation.address == address) return &allocation;
  }
  return nullptr;
}

std::string PoolAllocator::DescribeErrors() const {
  std::string text;
  for (const PoolError &error : errors_) text += error.Describe() + "\n";
  return text;
}

std::string PoolAllocator::DescribeLive() const {
  std::string text;
  for (const PoolAllocation &allocation : live_) {
    char line[96];
    std::snprintf(line, sizeof line, "#%llu: %zu bytes of type %u at %p\n",
                  static_cast<unsigned long long>(allocation.sequence), allocation.size,
                  allocation.type, allocation.address);
    text += line;
  }
  return text;
}

}  // namespace sim
