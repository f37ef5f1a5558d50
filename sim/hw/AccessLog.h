// The ordered record of everything the processor did through the instruction seam. Tests
// compare slices of it against the exact sequence a routine must produce.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace sim {

enum class AccessKind {
  IoRead, IoWrite, MmioRead, MmioWrite, Cr0Read, Cr0Write, Wbinvd, Invd,
  MsrRead, MsrWrite, Cli, Sti, FlagsRead, Rdtsc, Cpuid, Hlt,
};

// What each field holds:
//   IoRead/IoWrite      address = port,   width 8/16/32, value = data read or written
//   MmioRead/MmioWrite  address = physical address, width 8/16/32, value = data
//   MsrRead/MsrWrite    address = MSR index, width 64, value = EDX:EAX
//   Cr0Read/Cr0Write, FlagsRead   width = bits of UINTN, value = register
//   Rdtsc               width 64, value = counter returned
//   Cpuid               address = leaf (EAX), value = subleaf (ECX), width 0
//   Wbinvd, Invd, Cli, Sti, Hlt   address, width and value 0
struct Access {
  AccessKind kind;
  uint64_t address;
  unsigned width;
  uint64_t value;

  bool operator==(const Access &other) const {
    return kind == other.kind && address == other.address && width == other.width &&
           value == other.value;
  }
  bool operator!=(const Access &other) const { return !(*this == other); }

  // Shorthands for writing expected sequences; width in bits.
  static Access IoRead(uint16_t port, unsigned width, uint32_t value);
  static Access IoWrite(uint16_t port, unsigned width, uint32_t value);
  static Access MmioRead(uint64_t address, unsigned width, uint32_t value);
  static Access MmioWrite(uint64_t address, unsigned width, uint32_t value);
  static Access MsrRead(uint32_t index, uint64_t value);
  static Access MsrWrite(uint32_t index, uint64_t value);
  static Access Cr0Read(uint64_t value);
  static Access Cr0Write(uint64_t value);
  static Access FlagsRead(uint64_t value);
  static Access Rdtsc(uint64_t value);
  static Access Cpuid(uint32_t leaf, uint32_t subleaf);
  // Wbinvd, Invd, Cli, Sti, Hlt.
  static Access Plain(AccessKind kind);
};

const char *ToString(AccessKind kind);
std::ostream &operator<<(std::ostream &out, const Access &access);

class AccessLog {
 public:
  void Record(const Access &access) { entries_.push_back(access); }

  const std::vector<Access> &All() const { return entries_; }
  size_t Size() const { return entries_.size(); }
  void Clear() { entries_.clear(); }

  // A position to take a slice from later: log.Since(mark) is everything after it.
  size_t Mark() const { return entries_.size(); }
  std::vector<Access> Since(size_t mark) const;

  std::vector<Access> Where(const std::function<bool(const Access &)> &predicate) const;
  std::vector<Access> OfKind(AccessKind kind) const;
  size_t Count(AccessKind kind) const;
  // Values written to / read from one I/O port, in order, at any width.
  std::vector<uint32_t> ValuesWrittenToPort(uint16_t port) const;
  std::vector<uint32_t> ValuesReadFromPort(uint16_t port) const;
  std::vector<Access> IoAt(uint16_t port) const;  // reads and writes of one port

 private:
  std::vector<Access> entries_;
};

// One access per line, for a failure message.
std::string Describe(const std::vector<Access> &accesses);

}  // namespace sim
