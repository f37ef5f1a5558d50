#include "sim/hw/flash/FlashParts.h"

namespace sim {

namespace {

constexpr uint32_t KiB = 1024, MiB = 1024 * 1024;

// Block-protect parts: BP2..BP0 = 001 protects the top 1/64 of a 32 or 64 Mbit array (1/32 of a
// 16 Mbit one), each further value doubles it, 111 protects everything. The status register is
// non-volatile and leaves the factory cleared, so these parts power up unprotected.
SpiPartProfile BlockProtectPart(std::string vendor, std::string name, std::vector<uint8_t> id,
                                uint32_t size, bool enableWriteStatus) {
  return SpiPartProfile{std::move(vendor), std::move(name), std::move(id), size,
                        /*powerUpStatus=*/0x00, SpiProtectionScheme::BlockProtectBits,
                        size >= 8 * MiB ? size / 64 : 64 * KiB, SpiProgramScheme::Page256,
                        enableWriteStatus};
}

std::vector<SpiPartProfile> MakeSpiParts() {
  std::vector<SpiPartProfile> parts;
  parts.push_back(BlockProtectPart("AMIC", "25LQ32A", {0x37, 0x40, 0x16}, 4 * MiB, false));
  parts.push_back(BlockProtectPart("EON", "25F32", {0x1C, 0x31, 0x16}, 4 * MiB, false));
  parts.push_back(BlockProtectPart("EON", "25F16", {0x1C, 0x31, 0x15}, 2 * MiB, false));
  parts.push_back(BlockProtectPart("EON", "25Q32B", {0x1C, 0x30, 0x16}, 4 * MiB, false));
  parts.push_back(BlockProtectPart("Winbond", "25X32", {0xEF, 0x30, 0x16}, 4 * MiB, false));
  parts.push_back(BlockProtectPart("Winbond", "25Q32", {0xEF, 0x40, 0x16}, 4 * MiB, true));
  // Powers up with BP2..BP0 set (the whole array protected); programs one byte per 0x02;
  // a status write is enabled by 0x50 or 0x06.
  parts.push_back(SpiPartProfile{"SST", "25VF032B", {0xBF, 0x25, 0x4A}, 4 * MiB, 0x1C,
                                 SpiProtectionScheme::BlockProtectBits, 64 * KiB,
                                 SpiProgramScheme::SingleByte, true});
  parts.push_back(BlockProtectPart("Mxic", "25L3205A", {0xC2, 0x20, 0x16}, 4 * MiB, false));
  // Sector protection: every 64 KiB sector protected at power-up (SWP reads 11); the
  // identification is manufacturer, two device bytes and an extended-information length of 0.
  parts.push_back(SpiPartProfile{"Atmel", "25DF321", {0x1F, 0x47, 0x01, 0x00}, 4 * MiB, 0x0C,
                                 SpiProtectionScheme::SectorLocks, 0,
                                 SpiProgramScheme::Page256, false});
  parts.push_back(BlockProtectPart("Winbond", "25Q16", {0xEF, 0x40, 0x15}, 2 * MiB, true));
  parts.push_back(BlockProtectPart("EON", "25QH16", {0x1C, 0x70, 0x15}, 2 * MiB, false));
  parts.push_back(BlockProtectPart("AMIC", "25LQ16", {0x37, 0x40, 0x15}, 2 * MiB, false));
  parts.push_back(BlockProtectPart("GigaDevice", "GD25Q32B", {0xC8, 0x40, 0x16}, 4 * MiB, true));
  parts.push_back(BlockProtectPart("GigaDevice", "GD25Q16B", {0xC8, 0x40, 0x15}, 2 * MiB, true));
  parts.push_back(BlockProtectPart("GigaDevice", "GD25Q64B", {0xC8, 0x40, 0x17}, 8 * MiB, true));
  return parts;
}

std::vector<LpcPartProfile> MakeLpcParts() {
  using C = LpcCommandSet;
  return {
      {"INTEL", "82802AC", 0x89, 0xAC, 1 * MiB, C::FirmwareHub, false},
      {"SST", "49LF008A", 0xBF, 0x5A, 1 * MiB, C::Jedec, true},
      {"SST", "49LF004A", 0xBF, 0x60, 512 * KiB, C::Jedec, true},
      {"PMC", "49FL004T", 0x9D, 0x6E, 512 * KiB, C::Jedec, true},
      {"WIN", "39V040FPA", 0xDA, 0x34, 512 * KiB, C::Jedec, true},
      {"ST", "50FLW040A", 0x20, 0x08, 512 * KiB, C::FirmwareHub, false},
      {"SST", "39VF080", 0xBF, 0xD8, 1 * MiB, C::Jedec, false, /*hasChipErase=*/true},
  };
}

}  // namespace

const std::vector<SpiPartProfile> &SpiPartCatalogue() {
  static const std::vector<SpiPartProfile> parts = MakeSpiParts();
  return parts;
}

const std::vector<LpcPartProfile> &LpcPartCatalogue() {
  static const std::vector<LpcPartProfile> parts = MakeLpcParts();
  return parts;
}

std::optional<SpiPartProfile> FindSpiPart(const std::string &name) {
  for (const SpiPartProfile &part : SpiPartCatalogue()) {
    if (part.name == name) return part;
  }
  return std::nullopt;
}

std::optional<LpcPartProfile> FindLpcPart(const std::string &name) {
  for (const LpcPartProfile &part : LpcPartCatalogue()) {
    if (part.name == name) return part;
  }
  return std::nullopt;
}

std::vector<std::string> AllFlashPartNames() {
  std::vector<std::string> names;
  for (const SpiPartProfile &part : SpiPartCatalogue()) names.push_back(part.name);
  for (const LpcPartProfile &part : LpcPartCatalogue()) names.push_back(part.name);
  return names;
}

}  // namespace sim
