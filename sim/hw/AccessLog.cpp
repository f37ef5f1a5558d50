#include "sim/hw/AccessLog.h"

#include <sstream>

#include "uefi/UefiBase.h"

namespace sim {

namespace {
constexpr unsigned kNativeBits = sizeof(UINTN) * 8;
}

Access Access::IoRead(uint16_t port, unsigned width, uint32_t value) {
  return {AccessKind::IoRead, port, width, value};
}
Access Access::IoWrite(uint16_t port, unsigned width, uint32_t value) {
  return {AccessKind::IoWrite, port, width, value};
}
Access Access::MmioRead(uint64_t address, unsigned width, uint32_t value) {
  return {AccessKind::MmioRead, address, width, value};
}
Access Access::MmioWrite(uint64_t address, unsigned width, uint32_t value) {
  return {AccessKind::MmioWrite, address, width, value};
}
Access Access::MsrRead(uint32_t index, uint64_t value) {
  return {AccessKind::MsrRead, index, 64, value};
}
Access Access::MsrWrite(uint32_t index, uint64_t value) {
  return {AccessKind::MsrWrite, index, 64, value};
}
Access Access::Cr0Read(uint64_t value) { return {AccessKind::Cr0Read, 0, kNativeBits, value}; }
Access Access::Cr0Write(uint64_t value) { return {AccessKind::Cr0Write, 0, kNativeBits, value}; }
Access Access::FlagsRead(uint64_t value) {
  return {AccessKind::FlagsRead, 0, kNativeBits, value};
}
Access Access::Rdtsc(uint64_t value) { return {AccessKind::Rdtsc, 0, 64, value}; }
Access Access::Cpuid(uint32_t leaf, uint32_t subleaf) {
  return {AccessKind::Cpuid, leaf, 0, subleaf};
}
Access Access::Plain(AccessKind kind) { return {kind, 0, 0, 0}; }

const char *ToString(AccessKind kind) {
  switch (kind) {
    case AccessKind::IoRead: return "IoRead";
    case AccessKind::IoWrite: return "IoWrite";
    case AccessKind::MmioRead: return "MmioRead";
    case AccessKind::MmioWrite: return "MmioWrite";
    case AccessKind::Cr0Read: return "Cr0Read";
    case AccessKind::Cr0Write: return "Cr0Write";
    case AccessKind::Wbinvd: return "Wbinvd";
    case AccessKind::Invd: return "Invd";
    case AccessKind::MsrRead: return "MsrRead";
    case AccessKind::MsrWrite: return "MsrWrite";
    case AccessKind::Cli: return "Cli";
    case AccessKind::Sti: return "Sti";
    case AccessKind::FlagsRead: return "FlagsRead";
    case AccessKind::Rdtsc: return "Rdtsc";
    case AccessKind::Cpuid: return "Cpuid";
    case AccessKind::Hlt: return "Hlt";
  }
  return "?";
}

std::ostream &operator<<(std::ostream &out, const Access &access) {
  out << ToString(access.kind) << std::hex;
  switch (access.kind) {
    case AccessKind::IoRead:
    case AccessKind::IoWrite:
    case AccessKind::MmioRead:
    case AccessKind::MmioWrite:
    case AccessKind::MsrRead:
    case AccessKind::MsrWrite:
      out << "(0x" << access.address << ", " << std::dec << access.width << std::hex
          << ", 0x" << access.value << ")";
      break;
    case AccessKind::Cr0Read:
    case AccessKind::Cr0Write:
    case AccessKind::FlagsRead:
    case AccessKind::Rdtsc:
      out << "(0x" << access.value << ")";
      break;
    case AccessKind::Cpuid:
      out << "(leaf 0x" << access.address << ", subleaf 0x" << access.value << ")";
      break;
    default:
      break;
  }
  return out << std::dec;
}

std::vector<Access> AccessLog::Since(size_t mark) const {
  if (mark >= entries_.size()) return {};
  return std::vector<Access>(entries_.begin() + static_cast<std::ptrdiff_t>(mark),
                             entries_.end());
}

std::vector<Access> AccessLog::Where(
    const std::function<bool(const Access &)> &predicate) const {
  std::vector<Access> matches;
  for (const Access &access : entries_) {
    if (predicate(access)) matches.push_back(access);
  }
  return matches;
}

std::vector<Access> AccessLog::OfKind(AccessKind kind) const {
  return Where([kind](const Access &access) { return access.kind == kind; });
}

size_t AccessLog::Count(AccessKind kind) const { return OfKind(kind).size(); }

std::vector<uint32_t> AccessLog::ValuesWrittenToPort(uint16_t port) const {
  std::vector<uint32_t> values;
  for (const Access &access : entries_) {
    if (access.kind == AccessKind::IoWrite && access.address == port) {
      values.push_back(static_cast<uint32_t>(access.value));
    }
  }
  return values;
}

std::vector<uint32_t> AccessLog::ValuesReadFromPort(uint16_t port) const {
  std::vector<uint32_t> values;
  for (const Access &access : entries_) {
    if (access.kind == AccessKind::IoRead && access.address == port) {
      values.push_back(static_cast<uint32_t>(access.value));
    }
  }
  return values;
}

std::vector<Access> AccessLog::IoAt(uint16_t port) const {
  return Where([port](const Access &access) {
    return (access.kind == AccessKind::IoRead || access.kind == AccessKind::IoWrite) &&
           access.address == port;
  });
}

std::string Describe(const std::vector<Access> &accesses) {
  std::ostringstream out;
  for (const Access &access : accesses) out << access << "\n";
  return out.str();
}

}  // namespace sim
