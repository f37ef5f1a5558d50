// A boot script save protocol that keeps what it is given: each Write becomes an entry with
// the table, the opcode and the opcode's arguments, the data copied out of the caller's buffer
// at the time of the call (as the script stores it). Memory, I/O and PCI configuration writes
// and stalls are understood; other opcodes answer Unsupported and are not kept. Install it with
// UefiEnvironment::InstallBootScriptSave().
#pragma once

#include <cstdint>
#include <vector>

#include "uefi/BootScriptSave.h"

namespace sim {

struct BootScriptEntry {
  UINT16 tableName;
  UINT16 opcode;
  EFI_BOOT_SCRIPT_WIDTH width = 0;  // write opcodes
  UINT64 address = 0;               // write opcodes
  UINTN count = 0;                  // write opcodes: elements of width
  std::vector<uint8_t> data;        // write opcodes: count elements, as the buffer held them
  UINTN duration = 0;               // stall
};

class BootScriptRecorder {
 public:
  static constexpr EFI_GUID kProtocolGuid = EFI_BOOT_SCRIPT_SAVE_PROTOCOL_GUID;

  BootScriptRecorder();
  BootScriptRecorder(const BootScriptRecorder &) = delete;
  BootScriptRecorder &operator=(const BootScriptRecorder &) = delete;

  EFI_BOOT_SCRIPT_SAVE_PROTOCOL *Protocol() { return &protocol_; }
  const std::vector<BootScriptEntry> &Entries() const { return entries_; }
  void Add(BootScriptEntry entry) { entries_.push_back(std::move(entry)); }
  unsigned ClosedTables() const { return closed_; }
  void NoteClosed() { ++closed_; }

 private:
  EFI_BOOT_SCRIPT_SAVE_PROTOCOL protocol_;
  std::vector<BootScriptEntry> entries_;
  unsigned closed_ = 0;
};

}  // namespace sim
