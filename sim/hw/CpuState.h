// The processor state the instruction seam reaches: CR0, the flags register's interrupt flag,
// the MSRs, the time-stamp counter, CPUID and the cache-control instructions.
//
// Power-on state is the state boot firmware runs its drivers in, not the reset state: caches
// on (CD = NW = 0), protected mode with paging (CR0 = PG|NE|ET|MP|PE = 0x80000033) and
// interrupts enabled (IF = 1). Tests that need reset-like state preset it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <utility>

#include "sim/hw/Faults.h"
#include "uefi/UefiBase.h"

namespace sim {

class CpuState {
 public:
  static constexpr UINTN kCr0PE = 1u << 0, kCr0MP = 1u << 1, kCr0EM = 1u << 2, kCr0TS = 1u << 3,
                         kCr0ET = 1u << 4, kCr0NE = 1u << 5, kCr0WP = 1u << 16,
                         kCr0AM = 1u << 18, kCr0NW = 1u << 29, kCr0CD = 1u << 30,
                         kCr0PG = 1u << 31;
  static constexpr UINTN kPowerOnCr0 = kCr0PG | kCr0NE | kCr0ET | kCr0MP | kCr0PE;
  static constexpr UINTN kFlagsReserved1 = 0x2;  // bit 1 always reads 1
  static constexpr UINTN kFlagsIF = 0x200;
  static constexpr uint32_t kMtrrDefType = 0x2FF;
  static constexpr uint64_t kMtrrDefTypePowerOn = 0xC06;  // E, FE, default type write-back
  static constexpr uint64_t kMtrrDefTypeReserved = ~uint64_t{0xCFF};
  static constexpr uint32_t kMsr1FE = 0x1FE;
  static constexpr uint64_t kPowerOnTscStep = 1000;

  using CpuidRegisters = std::array<uint32_t, 4>;  // EAX, EBX, ECX, EDX

  explicit CpuState(FaultList &faults);

  // ---- The instructions ------------------------------------------------------------------
  UINTN ReadCr0() const { return cr0_; }
  // #GP (recorded; CR0 unchanged) for bits above 31, NW without CD, or PG without PE.
  // Reserved bits among 31:0 are ignored, and ET is hard-wired to 1.
  void WriteCr0(UINTN value);
  void Wbinvd() { ++wbinvd_count_; }
  void Invd() { ++invd_count_; }
  // An absent MSR is a #GP: recorded, and RDMSR yields 0. A write that sets a reserved bit
  // of a present MSR is a #GP too and leaves it unchanged.
  uint64_t Rdmsr(uint32_t index);
  void Wrmsr(uint32_t index, uint64_t value);
  void Cli() { interrupts_enabled_ = false; }
  void Sti() { interrupts_enabled_ = true; }
  UINTN ReadFlags() const { return kFlagsReserved1 | (interrupts_enabled_ ? kFlagsIF : 0); }
  // Returns the counter, then advances it by the step.
  uint64_t Rdtsc();
  // A leaf/subleaf nobody set returns zeros.
  CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf) const;
  // Counts; HLT with IF clear would never return and is recorded as a fault.
  void Hlt();

  // ---- State for tests -------------------------------------------------------------------
  UINTN Cr0() const { return cr0_; }
  void PresetCr0(UINTN value) { cr0_ = value; }
  unsigned WbinvdCount() const { return wbinvd_count_; }
  unsigned InvdCount() const { return invd_count_; }
  unsigned HltCount() const { return hlt_count_; }
  bool InterruptsEnabled() const { return interrupts_enabled_; }
  void PresetInterruptsEnabled(bool enabled) { interrupts_enabled_ = enabled; }

  // Adds (or replaces) an MSR; ReservedMask marks bits a WRMSR must leave clear.
  void AddMsr(uint32_t index, uint64_t value, uint64_t reservedMask = 0);
  void RemoveMsr(uint32_t index) { msrs_.erase(index); }
  bool HasMsr(uint32_t index) const { return msrs_.count(index) != 0; }
  // Value of a present MSR; aborts for an absent one (a test bug).
  uint64_t Msr(uint32_t index) const;
  // Sets the value of a present MSR, adding it (no reserved bits) if absent.
  void PresetMsr(uint32_t index, uint64_t value);

  uint64_t Tsc() const { return tsc_; }  // what the next RDTSC returns
  void PresetTsc(uint64_t value) { tsc_ = value; }
  void AdvanceTsc(uint64_t ticks) { tsc_ += ticks; }
  uint64_t TscStep() const { return tsc_step_; }
  void SetTscStep(uint64_t step) { tsc_step_ = step; }

  // A leaf that answers the same for every subleaf, or one subleaf of a leaf; the exact
  // subleaf wins.
  void SetCpuid(uint32_t leaf, CpuidRegisters registers) { cpuid_any_[leaf] = registers; }
  void SetCpuid(uint32_t leaf, uint32_t subleaf, CpuidRegisters registers) {
    cpuid_exact_[{leaf, subleaf}] = registers;
  }

 private:
  struct MsrEntry {
    uint64_t value;
    uint64_t reserved;
  };

  FaultList &faults_;
  UINTN cr0_ = kPowerOnCr0;
  bool interrupts_enabled_ = true;
  unsigned wbinvd_count_ = 0, invd_count_ = 0, hlt_count_ = 0;
  std::map<uint32_t, MsrEntry> msrs_;
  uint64_t tsc_ = 0;
  uint64_t tsc_step_ = kPowerOnTscStep;
  std::map<uint32_t, CpuidRegisters> cpuid_any_;
  std::map<std::pair<uint32_t, uint32_t>, CpuidRegisters> cpuid_exact_;
};

}  // namespace sim
