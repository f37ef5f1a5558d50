// The two built-in part tables. The records are writable module data: SpiIdentify rewrites
// the size fields of the SPI record it accepts when the flash descriptor reports two flash
// components, and clients keep the addresses handed to them.
#include "FlashParts.h"

namespace {

constexpr UINT8 kReservedBytes0 = 0xFF;
constexpr UINT8 kReservedBytes1 = 0xFF;
constexpr UINT8 kReservedBytes2 = 0x00;

constexpr UINT32 kSpiEraseSize = 0x1000;
constexpr UINT16 kSpiBlockSize = 16;  // 4 KiB in units of 256 bytes

constexpr SPI_PART_CONFIG SpiConfig(UINT16 OpcodeTypes, UINT16 PrefixOpcodes, UINT32 Flags,
                                    UINT8 StatusProtectValue, UINT8 SizeCode) {
  return SPI_PART_CONFIG{{0x9F, 0x20, 0x02, 0x01, 0x03, 0x05, 0x00, 0x00},
                         OpcodeTypes,
                         PrefixOpcodes,
                         Flags,
                         {StatusProtectValue, 0x00, 0x00, 0x00},
                         (UINT32)0x10000 << SizeCode,
                         kSpiEraseSize,
                         0};
}

constexpr UINT16 SpiBlockCount(UINT8 SizeCode) {
  return (UINT16)((0x10000u << SizeCode) / kSpiEraseSize);
}


// Sets A (JEDEC, identification at 0xFFBC0000), B (firmware hub) and C (JEDEC,
// identification at 0xFFF00000).
FLASH_PART_RECORD LpcParts[kLpcPartCount] = {
    {0xAC89, 4, "INTEL", "82802AC", 256, 16, {kReservedBytes0, kReservedBytes1, kReservedBytes2},
     FwhInit, FwhIdentify, FwhErase, FwhProgram, LpcFlashRead, FwhConvertPointers},  // set B
    {0x5ABF, 4, "SST", "49LF008A", 16, 256, {kReservedBytes0, kReservedBytes1, kReservedBytes2},
     JedecLpcInit, JedecLpcIdentify, JedecLpcErase, JedecLpcProgram, LpcFlashRead, JedecLpcConvertPointers},  // set A
    {0x60BF, 3, "SST", "49LF004A", 256, 8, {kReservedBytes0, kReservedBytes1, kReservedBytes2},
     JedecLpcInit, JedecLpcIdentify, JedecLpcErase, JedecLpcProgram, LpcFlashRead, JedecLpcConvertPointers},  // set A
    {0x6E9D, 3, "PMC", "49FL004T", 16, 128, {kReservedBytes0, kReservedBytes1, kReservedBytes2},
     JedecLpcInit, JedecLpcIdentify, JedecLpcErase, JedecLpcProgram, LpcFlashRead, JedecLpcConvertPointers},  // set A
    {0x34DA, 3, "WIN", "39V040FPA", 256, 8, {kReservedBytes0, kReservedBytes1, kReservedBytes2},
     JedecLpcInit, JedecLpcIdentify, JedecLpcErase, JedecLpcProgram, LpcFlashRead, JedecLpcConvertPointers},  // set A
    {0x0820, 3, "ST", "50FLW040A", 16, 128, {kReservedBytes0, kReservedBytes1, kReservedBytes2},
     FwhInit, FwhIdentify, FwhErase, FwhProgram, LpcFlashRead, FwhConvertPointers},  // set B
    {0xD8BF, 4, "SST", "39VF080", 16, 256, {kReservedBytes0, kReservedBytes1, kReservedBytes2},
     JedecArrayInit, JedecArrayIdentify, JedecArrayErase, JedecArrayProgram, LpcFlashRead, JedecArrayConvertPointers},  // set C
};

// Two rows differ from the table the part list was first written from, because as written
// their parts could never be recognised:
// - row 6 ("SST" "25VF032B") types menu entry 0 as a read without address (OpcodeTypes
//   0xF27C, was 0xF27E): the part answers 0x9F with its three identifier bytes at once, so
//   three address bytes sent first would swallow them;
// - row 8 ("Atmel" "25DF321") reads three identifier bytes (Flags 0xB9, was 0xA9): its
//   identifier has three significant bytes, and two bytes read could never equal it.
SPI_PART_CONFIG SpiConfigs[kSpiPartCount] = {
    SpiConfig(0xF27C, 0x0606, 0x4B8, 0x1C, 6),  // AMIC 25LQ32A
    SpiConfig(0xF27C, 0x0606, 0x4B8, 0x1C, 6),  // EON 25F32
    SpiConfig(0xF27C, 0x0606, 0x4B8, 0x1C, 5),  // EON 25F16
    SpiConfig(0xF27C, 0x0606, 0x4B8, 0x1C, 6),  // EON 25Q32B
    SpiConfig(0xF27C, 0x5006, 0x4B8, 0x1C, 6),  // Winbond 25X32
    SpiConfig(0xF27C, 0x5006, 0x4B8, 0x1C, 6),  // Winbond 25Q32
    SpiConfig(0xF27C, 0x5006, 0x4B1, 0x1C, 6),  // SST 25VF032B
    SpiConfig(0xF27C, 0x0606, 0x4B8, 0x1C, 6),  // Mxic 25L3205A
    SpiConfig(0xF27C, 0x0606, 0xB9, 0x3C, 6),  // Atmel 25DF321
    SpiConfig(0xF27C, 0x5006, 0x4B8, 0x1C, 5),  // Winbond 25Q16
    SpiConfig(0xF27C, 0x0606, 0x4B8, 0x1C, 5),  // EON 25QH16
    SpiConfig(0xF27C, 0x0606, 0x4B8, 0x1C, 5),  // AMIC 25LQ16
    SpiConfig(0xF27C, 0x0006, 0x4B8, 0x1C, 6),  // GigaDevice GD25Q32B
    SpiConfig(0xF27C, 0x0006, 0x4B8, 0x1C, 5),  // GigaDevice GD25Q16B
    SpiConfig(0xF27C, 0x0006, 0x4B8, 0x1C, 7),  // GigaDevice GD25Q64B
};

constexpr UINT8 kSpiSizeCodes[kSpiPartCount] = {6, 6, 5, 6, 6, 6, 6, 6, 6, 5, 5, 5, 6, 5, 7};

#define SPI_PART(index, id, vendor, name)                                              \
  {{id, kSpiSizeCodes[index], vendor, name, kSpiBlockSize, SpiBlockCount(kSpiSizeCodes[index]), \
    {kReservedBytes0, kReservedBytes1, kReservedBytes2}, SpiInit, SpiIdentify, SpiErase,  \
    SpiProgram, SpiRead, SpiConvertPointers},                                         \
   &SpiConfigs[index]}
SPI_FLASH_PART_RECORD SpiParts[kSpiPartCount] = {
    SPI_PART(0, 0x164037, "AMIC", "25LQ32A"),
    SPI_PART(1, 0x16311C, "EON", "25F32"),
    SPI_PART(2, 0x15311C, "EON", "25F16"),
    SPI_PART(3, 0x16301C, "EON", "25Q32B"),
    SPI_PART(4, 0x1630EF, "Winbond", "25X32"),
    SPI_PART(5, 0x1640EF, "Winbond", "25Q32"),
    SPI_PART(6, 0x4A25BF, "SST", "25VF032B"),
    SPI_PART(7, 0x1620C2, "Mxic", "25L3205A"),
    SPI_PART(8, 0x01471F, "Atmel", "25DF321"),
    SPI_PART(9, 0x1540EF, "Winbond", "25Q16"),
    SPI_PART(10, 0x15701C, "EON", "25QH16"),
    SPI_PART(11, 0x154037, "AMIC", "25LQ16"),
    SPI_PART(12, 0x1640C8, "GigaDevice", "GD25Q32B"),
    SPI_PART(13, 0x1540C8, "GigaDevice", "GD25Q16B"),
    SPI_PART(14, 0x1740C8, "GigaDevice", "GD25Q64B"),
};
#undef SPI_PART

}  // namespace

FLASH_PART_RECORD *const LpcPartList[kLpcPartCount] = {
    &LpcParts[0], &LpcParts[1], &LpcParts[2], &LpcParts[3], &LpcParts[4], &LpcParts[5], &LpcParts[6]};

SPI_FLASH_PART_RECORD *const SpiPartList[kSpiPartCount] = {
    &SpiParts[0], &SpiParts[1], &SpiParts[2], &SpiParts[3], &SpiParts[4], &SpiParts[5], &SpiParts[6], &SpiParts[7], &SpiParts[8], &SpiParts[9], &SpiParts[10], &SpiParts[11], &SpiParts[12], &SpiParts[13], &SpiParts[14]};

UINT64 LpcPartCount() { return kLpcPartCount; }

UINT64 SpiPartCount() { return kSpiPartCount; }

bool FindSpiPartId(UINT32 Id) {
  for (SPI_FLASH_PART_RECORD *Record : SpiPartList) {
    if ((UINT32)Record->Part.PartId == Id) return true;
  }
  return false;
}

void ResetFlashPartRecords() {
  for (UINT64 i = 0; i < kSpiPartCount; ++i) {
    SpiParts[i].Part.SizeCode = kSpiSizeCodes[i];
    SpiParts[i].Part.BlockCount = SpiBlockCount(kSpiSizeCodes[i]);
  }
}
