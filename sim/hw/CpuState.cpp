#include "sim/hw/CpuState.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {
constexpr UINTN kCr0Defined = CpuState::kCr0PE | CpuState::kCr0MP | CpuState::kCr0EM |
                              CpuState::kCr0TS | CpuState::kCr0ET | CpuState::kCr0NE |
                              CpuState::kCr0WP | CpuState::kCr0AM | CpuState::kCr0NW |
                              CpuState::kCr0CD | CpuState::kCr0PG;

constexpr uint32_t Chars(const char (&text)[5]) {
  return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
         uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}
}  // namespace

// A family 6 processor of the chipset's generation: leaf 0 reports one basic leaf past itself
// and the vendor string; leaf 1 the signature and FPU, TSC, MSR, APIC, MTRR and PGE.
CpuState::CpuState(FaultList &faults) : faults_(faults) {
  AddMsr(kMtrrDefType, kMtrrDefTypePowerOn, kMtrrDefTypeReserved);
  AddMsr(kMsr1FE, 0);
  SetCpuid(0, {1, Chars("Genu"), Chars("ntel"), Chars("ineI")});
  SetCpuid(1, {0x000106A5, 0, 0, 0x00003231});
}

void CpuState::WriteCr0(UINTN value) {
  const uint64_t wide = value;
  const char *why = nullptr;
  if ((wide >> 32) != 0) {
    why = "bits 63:32 set";
  } else if ((value & kCr0NW) && !(value & kCr0CD)) {
    why = "NW set with CD clear";
  } else if ((value & kCr0PG) && !(value & kCr0PE)) {
    why = "PG set with PE clear";
  }
  if (why != nullptr) {
    faults_.Record(FaultKind::GeneralProtection, 0, sizeof(UINTN) * 8,
                   std::string("MOV CR0: ") + why);
    return;
  }
  cr0_ = (value & kCr0Defined) | kCr0ET;
}

uint64_t CpuState::Rdmsr(uint32_t index) {
  auto found = msrs_.find(index);
  if (found == msrs_.end()) {
    faults_.Record(FaultKind::AbsentMsr, index, 64, "RDMSR");
    return 0;
  }
  return found->second.value;
}

void CpuState::Wrmsr(uint32_t index, uint64_t value) {
  auto found = msrs_.find(index);
  if (found == msrs_.end()) {
    faults_.Record(FaultKind::AbsentMsr, index, 64, "WRMSR");
    return;
  }
  if ((value & found->second.reserved) != 0) {
    faults_.Record(FaultKind::GeneralProtection, index, 64, "WRMSR sets a reserved bit");
    return;
  }
  found->second.value = value;
}

uint64_t CpuState::Rdtsc() {
  const uint64_t value = tsc_;
  tsc_ += tsc_step_;
  return value;
}

CpuState::CpuidRegisters CpuState::Cpuid(uint32_t leaf, uint32_t subleaf) const {
  auto exact = cpuid_exact_.find({leaf, subleaf});
  if (exact != cpuid_exact_.end()) return exact->second;
  auto any = cpuid_any_.find(leaf);
  if (any != cpuid_any_.end()) return any->second;
  return {0, 0, 0, 0};
}

void CpuState::Hlt() {
  ++hlt_count_;
  if (!interrupts_enabled_) {
    faults_.Record(FaultKind::HaltWithInterruptsDisabled, 0, 0, "HLT with IF clear");
  }
}

void CpuState::AddMsr(uint32_t index, uint64_t value, uint64_t reservedMask) {
  msrs_[index] = MsrEntry{value, reservedMask};
}

uint64_t CpuState::Msr(uint32_t index) const {
  auto found = msrs_.find(index);
  if (found == msrs_.end()) {
    std::fprintf(stderr, "sim::CpuState::Msr: MSR 0x%x is not present on this board\n", index);
    std::abort();
  }
  return found->second.value;
}

void CpuState::PresetMsr(uint32_t index, uint64_t value) {
  auto found = msrs_.find(index);
  if (found == msrs_.end()) {
    AddMsr(index, value);
  } else {
    found->second.value = value;
  }
}

}  // namespace sim
