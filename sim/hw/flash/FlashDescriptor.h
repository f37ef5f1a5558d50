// The flash descriptor the chipset reads from the start of SPI flash component 0: a signature,
// a map of sections, component densities, the regions (descriptor, BIOS, ME, GbE, platform
// data) and the masters' access grants. Field positions as the I/O controller hub datasheet
// gives them. Used to build flash images for the simulated board and to decode one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/hw/flash/RegisterField.h"

namespace sim {

namespace descriptor {
inline constexpr uint32_t kSignatureOffset = 0x10;  // FLVALSIG
inline constexpr uint32_t kSignature = 0x0FF0A55A;
inline constexpr uint32_t kFlmap0Offset = 0x14, kFlmap1Offset = 0x18, kFlmap2Offset = 0x1C;

namespace flmap0 {
inline constexpr RegisterField kFcba{0, 8};   // component section base, address bits 11:4
inline constexpr RegisterField kNc{8, 2};     // number of components minus one
inline constexpr RegisterField kFrba{16, 8};  // region section base, address bits 11:4
inline constexpr RegisterField kNr{24, 3};    // number of regions minus one
}  // namespace flmap0
namespace flmap1 {
inline constexpr RegisterField kFmba{0, 8};    // master section base, address bits 11:4
inline constexpr RegisterField kNm{8, 3};      // number of masters minus one
inline constexpr RegisterField kFisba{16, 8};  // chipset strap section base, bits 11:4
inline constexpr RegisterField kIsl{24, 8};    // chipset strap length in dwords
}  // namespace flmap1
namespace flcomp {
inline constexpr RegisterField kC1den{0, 3};  // density of component 1 (code below)
inline constexpr RegisterField kC2den{3, 3};  // density of component 2
}  // namespace flcomp
namespace flreg {
inline constexpr RegisterField kBase{0, 13};   // 4 KiB units
inline constexpr RegisterField kLimit{16, 13};  // 4 KiB units (last unit)
}  // namespace flreg
namespace flmstr {
inline constexpr RegisterField kRequesterId{0, 16};
inline constexpr RegisterField kReadAccess{16, 8};   // bit n: region n readable
inline constexpr RegisterField kWriteAccess{24, 8};  // bit n: region n writable
}  // namespace flmstr
namespace flpb {
inline constexpr RegisterField kFpba{0, 13};  // partition boundary, 4 KiB units
}  // namespace flpb

// Density code of FLCOMP for a component size; nullopt for a size no code gives.
std::optional<uint8_t> DensityCode(uint32_t bytes);
// Bytes of a density code; 0 for the reserved codes 6 and 7.
uint32_t DensityBytes(uint8_t code);
}  // namespace descriptor

struct FlashRegion {
  uint32_t base;   // first byte, linear
  uint32_t limit;  // last byte, linear
};

// What WriteFlashDescriptor lays down. Regions left empty are written as unused (base above
// limit). The host master (FLMSTR1) grants are as given: the chipset always lets the host read
// and write its own BIOS region whatever they say.
struct FlashDescriptorLayout {
  std::vector<uint32_t> componentBytes;  // one or two components
  std::array<std::optional<FlashRegion>, 5> regions;  // indexed by spi::kRegion*
  uint8_t hostReadAccess = 0;   // FLMSTR1 bits 23:16
  uint8_t hostWriteAccess = 0;  // FLMSTR1 bits 31:24
  uint32_t partitionBoundary = 0;  // FLPB in bytes (multiple of 4 KiB)
};

// Section offsets the builder uses (any 16-byte aligned place below 4 KiB would do).
namespace descriptor {
inline constexpr uint32_t kComponentSection = 0x30, kRegionSection = 0x40,
                          kMasterSection = 0x60, kStrapSection = 0x100;
}  // namespace descriptor

// Writes the descriptor into the first 4 KiB of Image (which must hold at least that much):
// the signature at 0x10, the map, FLCOMP/FLILL/FLPB, FLREG0-4, FLMSTR1-3. The rest of the
// first 4 KiB is left as it was. Aborts on a component size no density code gives (a test bug).
void WriteFlashDescriptor(std::vector<uint8_t> &image, const FlashDescriptorLayout &layout);

// A descriptor as the chipset decodes it at reset; nullopt when the signature is missing.
struct DecodedDescriptor {
  uint32_t flmap0, flmap1, flmap2;
  unsigned componentCount;
  std::array<uint32_t, 2> componentBytes;  // from FLCOMP; 0 for the second when there is one
  std::array<uint32_t, 5> flreg;           // raw FLREGn (0x00001FFF for an unused region)
  uint32_t flmstr1;
  uint32_t partitionBoundary;  // bytes
  uint32_t componentSection, regionSection, masterSection, strapSection;  // byte offsets
};
std::optional<DecodedDescriptor> DecodeFlashDescriptor(const std::vector<uint8_t> &component0);

}  // namespace sim
