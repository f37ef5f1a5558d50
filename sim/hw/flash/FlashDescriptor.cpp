#include "sim/hw/flash/FlashDescriptor.h"

#include <cstdio>
#include <cstdlib>

#include "sim/hw/flash/SpiRegisters.h"

namespace sim {

namespace descriptor {

std::optional<uint8_t> DensityCode(uint32_t bytes) {
  for (uint8_t code = 0; code <= 5; ++code) {
    if (DensityBytes(code) == bytes) return code;
  }
  return std::nullopt;
}

uint32_t DensityBytes(uint8_t code) { return code <= 5 ? (512u << 10) << code : 0; }

}  // namespace descriptor

namespace {

constexpr uint32_t kUnusedRegion = 0x00001FFF;  // base 0x1FFF above limit 0

uint32_t Load32(const std::vector<uint8_t> &bytes, uint32_t offset) {
  if (offset + 4 > bytes.size()) return 0xFFFFFFFF;
  return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
         (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

void Store32(std::vector<uint8_t> &bytes, uint32_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t RegionWord(const std::optional<FlashRegion> &region) {
  if (!region) return kUnusedRegion;
  return descriptor::flreg::kBase.Of(region->base >> 12) |
         descriptor::flreg::kLimit.Of(region->limit >> 12);
}

[[noreturn]] void Die(const char *message) {
  std::fprintf(stderr, "sim::WriteFlashDescriptor: %s\n", message);
  std::abort();
}

}  // namespace

void WriteFlashDescriptor(std::vector<uint8_t> &image, const FlashDescriptorLayout &layout) {
  using namespace descriptor;
  if (image.size() < 0x1000) Die("image smaller than the 4 KiB descriptor");
  if (layout.componentBytes.empty() || layout.componentBytes.size() > 2) {
    Die("one or two components");
  }
  uint32_t flcomp = 0;
  for (size_t i = 0; i < layout.componentBytes.size(); ++i) {
    const auto code = DensityCode(layout.componentBytes[i]);
    if (!code) Die("component size has no density code");
    flcomp |= (i == 0 ? flcomp::kC1den : flcomp::kC2den).Of(*code);
  }
  Store32(image, kSignatureOffset, kSignature);
  Store32(image, kFlmap0Offset,
          flmap0::kFcba.Of(kComponentSection >> 4) |
              flmap0::kNc.Of(static_cast<uint32_t>(layout.componentBytes.size() - 1)) |
              flmap0::kFrba.Of(kRegionSection >> 4) | flmap0::kNr.Of(spi::kRegionCount - 1));
  Store32(image, kFlmap1Offset,
          flmap1::kFmba.Of(kMasterSection >> 4) | flmap1::kNm.Of(2) |
              flmap1::kFisba.Of(kStrapSection >> 4) | flmap1::kIsl.Of(0));
  Store32(image, kFlmap2Offset, 0);
  Store32(image, kComponentSection, flcomp);
  Store32(image, kComponentSection + 4, 0);  // FLILL: no invalid instructions
  Store32(image, kComponentSection + 8, flpb::kFpba.Of(layout.partitionBoundary >> 12));
  for (unsigned r = 0; r < spi::kRegionCount; ++r) {
    Store32(image, kRegionSection + 4 * r, RegionWord(layout.regions[r]));
  }
  Store32(image, kMasterSection,
          flmstr::kReadAccess.Of(layout.hostReadAccess) |
              flmstr::kWriteAccess.Of(layout.hostWriteAccess));
  Store32(image, kMasterSection + 4, 0);  // FLMSTR2 (ME)
  Store32(image, kMasterSection + 8, 0);  // FLMSTR3 (GbE)
}

std::optional<DecodedDescriptor> DecodeFlashDescriptor(const std::vector<uint8_t> &component0) {
  using namespace descriptor;
  if (Load32(component0, kSignatureOffset) != kSignature) return std::nullopt;
  DecodedDescriptor d{};
  d.flmap0 = Load32(component0, kFlmap0Offset);
  d.flmap1 = Load32(component0, kFlmap1Offset);
  d.flmap2 = Load32(component0, kFlmap2Offset);
  d.componentSection = flmap0::kFcba.Get(d.flmap0) << 4;
  d.regionSection = flmap0::kFrba.Get(d.flmap0) << 4;
  d.masterSection = flmap1::kFmba.Get(d.flmap1) << 4;
  d.strapSection = flmap1::kFisba.Get(d.flmap1) << 4;
  // Two bits of NC, but the chipset has two chip selects.
  d.componentCount = flmap0::kNc.Get(d.flmap0) == 0 ? 1 : 2;
  const uint32_t flcomp = Load32(component0, d.componentSection);
  d.componentBytes[0] = DensityBytes(static_cast<uint8_t>(flcomp::kC1den.Get(flcomp)));
  d.componentBytes[1] = d.componentCount == 2
                            ? DensityBytes(static_cast<uint8_t>(flcomp::kC2den.Get(flcomp)))
                            : 0;
  d.partitionBoundary = flpb::kFpba.Get(Load32(component0, d.componentSection + 8)) << 12;
  const unsigned regions = flmap0::kNr.Get(d.flmap0) + 1;
  for (unsigned r = 0; r < spi::kRegionCount; ++r) {
    d.flreg[r] = r < regions ? Load32(component0, d.regionSection + 4 * r) : kUnusedRegion;
  }
  d.flmstr1 = Load32(component0, d.masterSection);
  return d;
}

}  // namespace sim
