// The chipset's SPI host interface registers (offsets from SPIBAR = RCBA + 0x3800) and their
// fields, as the I/O controller hub datasheet names them. Shared by the simulated controller and
// by tests that drive it register by register.
#pragma once

#include <cstdint>

#include "sim/hw/flash/RegisterField.h"

namespace sim::spi {

// ---- Register offsets ----
inline constexpr uint16_t kBfpr = 0x00;    // 32: BIOS flash primary region
inline constexpr uint16_t kHsfs = 0x04;    // 16: hardware sequencing flash status
inline constexpr uint16_t kHsfc = 0x06;    // 16: hardware sequencing flash control
inline constexpr uint16_t kFaddr = 0x08;   // 32: flash address
inline constexpr uint16_t kFdata0 = 0x10;  // 64 bytes: FDATA0..FDATA15
inline constexpr unsigned kFdataBytes = 64;
inline constexpr uint16_t kFrap = 0x50;    // 32: flash region access permissions
inline constexpr uint16_t kFreg0 = 0x54;   // 32 each: FREG0 (descriptor) .. FREG4 (platform data)
inline constexpr unsigned kRegionCount = 5;
inline constexpr uint16_t kSsfs = 0x90;    // 8: software sequencing flash status
inline constexpr uint16_t kSsfc = 0x91;    // 24: software sequencing flash control
inline constexpr uint16_t kPreop = 0x94;   // 16: prefix opcodes 0 (low byte) and 1
inline constexpr uint16_t kOptype = 0x96;  // 16: two bits per opcode menu entry
inline constexpr uint16_t kOpmenu = 0x98;  // 8 bytes: opcode menu entries 0..7
inline constexpr uint16_t kFdoc = 0xB0;    // 32: flash descriptor observability control
inline constexpr uint16_t kFdod = 0xB4;    // 32: flash descriptor observability data
inline constexpr uint16_t kLvscc = 0xC4;   // 32: lower vendor-specific component capabilities
inline constexpr uint16_t kUvscc = 0xC8;   // 32: upper vendor-specific component capabilities
inline constexpr uint16_t kFpb = 0xD0;     // 32: flash partition boundary
inline constexpr uint16_t kBlockSize = 0x200;  // registers decoded from SPIBAR

// Region indices of FREGn and of the descriptor's region section.
inline constexpr unsigned kRegionDescriptor = 0, kRegionBios = 1, kRegionMe = 2,
                          kRegionGbe = 3, kRegionPlatformData = 4;

// ---- Fields ----
namespace bfpr {
inline constexpr RegisterField kBase{0, 13};   // 4 KiB units
inline constexpr RegisterField kLimit{16, 13};  // 4 KiB units, last unit of the region
}  // namespace bfpr

namespace freg {  // FREG0..FREG4, same layout as the descriptor's FLREGn
inline constexpr RegisterField kBase{0, 13};
inline constexpr RegisterField kLimit{16, 13};
}  // namespace freg

namespace hsfs {
inline constexpr RegisterField kFdone{0, 1};   // write 1 to clear
inline constexpr RegisterField kFcerr{1, 1};   // write 1 to clear
inline constexpr RegisterField kAel{2, 1};     // write 1 to clear
inline constexpr RegisterField kBerase{3, 2};  // erase unit of the lower component (VSCC)
inline constexpr RegisterField kScip{5, 1};
inline constexpr RegisterField kFdopss{13, 1};
inline constexpr RegisterField kFdv{14, 1};
inline constexpr RegisterField kFlockdn{15, 1};
inline constexpr uint32_t kWriteOneToClear = 0x0007;
}  // namespace hsfs

namespace hsfc {
inline constexpr RegisterField kFgo{0, 1};
inline constexpr RegisterField kFcycle{1, 2};
inline constexpr RegisterField kFdbc{8, 6};
inline constexpr RegisterField kFsmie{15, 1};
inline constexpr uint32_t kCycleRead = 0, kCycleReserved = 1, kCycleWrite = 2, kCycleErase = 3;
}  // namespace hsfc

namespace faddr {
inline constexpr RegisterField kFla{0, 25};
}  // namespace faddr

namespace frap {
inline constexpr RegisterField kBrra{0, 8};   // regions the host may read
inline constexpr RegisterField kBrwa{8, 8};   // regions the host may write
inline constexpr RegisterField kBmrag{16, 8};
inline constexpr RegisterField kBmwag{24, 8};
}  // namespace frap

// SSFS and SSFC as one 32-bit value at 0x90 (SSFS in bits 7:0, SSFC in bits 31:8).
namespace ssfs {
inline constexpr RegisterField kScip{0, 1};
inline constexpr RegisterField kCds{2, 1};    // write 1 to clear
inline constexpr RegisterField kFcerr{3, 1};  // write 1 to clear
inline constexpr RegisterField kAel{4, 1};    // write 1 to clear
inline constexpr uint32_t kWriteOneToClear = 0x1C;
}  // namespace ssfs

namespace ssfc {  // bit positions inside SSFC itself (SPIBAR + 0x91)
inline constexpr RegisterField kScgo{1, 1};
inline constexpr RegisterField kAcs{2, 1};
inline constexpr RegisterField kSpop{3, 1};
inline constexpr RegisterField kCop{4, 3};
inline constexpr RegisterField kDbc{8, 6};
inline constexpr RegisterField kDs{14, 1};
inline constexpr RegisterField kSme{15, 1};
inline constexpr RegisterField kScf{16, 3};
}  // namespace ssfc

namespace optype {  // entry n in bits 2n+1:2n
inline constexpr uint32_t kReadNoAddress = 0, kWriteNoAddress = 1, kReadWithAddress = 2,
                          kWriteWithAddress = 3;
constexpr RegisterField Entry(unsigned n) { return RegisterField{2 * n, 2}; }
}  // namespace optype

namespace fdoc {
inline constexpr RegisterField kFdsi{2, 10};  // dword index inside the section
inline constexpr RegisterField kFdss{12, 3};  // section select
inline constexpr uint32_t kSectionMap = 0, kSectionComponent = 1, kSectionRegion = 2,
                          kSectionMaster = 3, kSectionStraps = 4;
}  // namespace fdoc

namespace vscc {  // LVSCC and UVSCC
inline constexpr RegisterField kBes{0, 2};   // erase unit: 0 256 B, 1 4 KiB, 2 8 KiB, 3 64 KiB
inline constexpr RegisterField kWg{2, 1};    // write granularity: 0 one byte, 1 64 bytes
inline constexpr RegisterField kWsr{3, 1};   // status write of 00h before every write/erase
inline constexpr RegisterField kWews{4, 1};  // enable for that status write: 0 50h, 1 06h
inline constexpr RegisterField kEo{8, 8};    // erase opcode
inline constexpr RegisterField kVcl{23, 1};  // capabilities locked
}  // namespace vscc

namespace fpb {
inline constexpr RegisterField kFpba{0, 13};  // 4 KiB units; UVSCC applies at and above it
}  // namespace fpb

}  // namespace sim::spi
