// The flash subsystem's operations: part tables and detection, the LPC/firmware-hub operation
// sets, and the SPI controller and operations. Record slots are EFIAPI (clients call them);
// the rest is internal to the driver.
#pragma once

#include "../../include/FlashPartRecord.h"
#include "FlashState.h"

// ---- Part tables and detection ----------------------------------------------------------

inline constexpr UINT64 kLpcPartCount = 7;
inline constexpr UINT64 kSpiPartCount = 15;

// Record addresses in detection order.
extern FLASH_PART_RECORD *const LpcPartList[kLpcPartCount];
extern SPI_FLASH_PART_RECORD *const SpiPartList[kSpiPartCount];

enum class BootStrap { Lpc, Spi, Neither };

// The boot BIOS strap of GCS, read afresh: Unsupported (and Neither) for 01b and 10b.
EFI_STATUS ReadBootStrap(BootStrap *Strap);
bool IsLpcBoot();
bool IsSpiBoot();
UINT64 LpcPartCount();
UINT64 SpiPartCount();
// True when the low 32 bits of some SPI record's PartId equal Id.
bool FindSpiPartId(UINT32 Id);

// Slot 15 of PLATFORM_SERVICES_PROTOCOL.
EFI_STATUS EFIAPI DetectFlashPart(FLASH_PART_RECORD **PartRecord, UINT64 Table);

// The POST codes the flash subsystem writes to port 0x80.
inline constexpr UINT16 kPostCodePort = 0x80;
inline constexpr UINT8 kPostCodeNoFlashPart = 0x62;
inline constexpr UINT8 kPostCodeSpiIdentify = 0x41;

// ---- LPC and firmware-hub operation sets --------------------------------------------------

// Set A: JEDEC unlock sequences, identification word at 0xFFBC0000.
EFI_STATUS EFIAPI JedecLpcInit(VOID *Table);
EFI_STATUS EFIAPI JedecLpcIdentify(UINT64 PartId);
EFI_STATUS EFIAPI JedecLpcConvertPointers();
// Set C: JEDEC unlock sequences, identification word at 0xFFF00000.
EFI_STATUS EFIAPI JedecArrayInit(VOID *Table);
EFI_STATUS EFIAPI JedecArrayIdentify(UINT64 PartId);
EFI_STATUS EFIAPI JedecArrayConvertPointers();
// Sets A and C erase and program alike, each through its own context (so that each set's
// ConvertPointers covers everything its records use after the switch to virtual addresses).
EFI_STATUS EFIAPI JedecLpcErase(UINT64 Address, UINT64 Length);
EFI_STATUS EFIAPI JedecLpcProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes,
                                  UINT64 Unused);
EFI_STATUS EFIAPI JedecArrayErase(UINT64 Address, UINT64 Length);
EFI_STATUS EFIAPI JedecArrayProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes,
                                    UINT64 Unused);
EFI_STATUS JedecErase(const JEDEC_FLASH_CONTEXT *Context, UINT64 Address, UINT64 Length);
EFI_STATUS JedecProgram(const JEDEC_FLASH_CONTEXT *Context, UINT64 Address, const UINT8 *Buffer,
                        UINT64 *NumBytes);
// Set B: firmware-hub command and status register.
EFI_STATUS EFIAPI FwhInit(VOID *Table);
EFI_STATUS EFIAPI FwhIdentify(UINT64 PartId);
EFI_STATUS EFIAPI FwhErase(UINT64 Address, UINT64 Length);
EFI_STATUS EFIAPI FwhProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes,
                             UINT64 ResetAddress);
EFI_STATUS EFIAPI FwhConvertPointers();
// All three sets.
EFI_STATUS EFIAPI LpcFlashRead(UINT8 *Buffer, UINT64 Address, UINT64 Length);

// Poll bounds, counted in polls of PollDelay (2) each.
inline constexpr UINT32 kJedecProgramPolls = 50000;   // 100 ms per byte; parts need <= 0.2 ms
inline constexpr UINT32 kJedecErasePolls = 50001;     // 100 ms per unit; parts need <= 25 ms
inline constexpr UINT32 kFwhProgramPolls = 50000;     // 100 ms per byte; parts need <= 0.2 ms
inline constexpr UINT32 kFwhErasePolls = 5000000;     // 10 s per 64 KiB block; parts <= 5 s

// ---- SPI controller and operations ------------------------------------------------------

EFI_STATUS EFIAPI SpiInit(VOID *Table);
EFI_STATUS EFIAPI SpiIdentify(UINT64 Record);
EFI_STATUS EFIAPI SpiErase(UINT64 Address, UINT64 Length);
EFI_STATUS EFIAPI SpiProgram(UINT64 Address, const UINT8 *Buffer, UINT64 *NumBytes,
                             UINT64 Unused);
EFI_STATUS EFIAPI SpiRead(UINT8 *Buffer, UINT64 Address, UINT64 Length);
EFI_STATUS EFIAPI SpiConvertPointers();

// RCBA as the LPC bridge holds it, enable bit cleared.
UINT64 ReadRcba();

// One controller cycle. Hardware sequencing: CycleOp is the FCYCLE value and the last three
// arguments are ignored. Software sequencing: CycleOp is the opcode menu index. Success, or
// Device Error on FCERR, AEL or a controller that does not finish within kSpiCyclePolls.
EFI_STATUS SpiCycle(UINT8 HwSequencing, UINT32 CycleAddress, UINT8 ByteCountMinusOne,
                    UINT8 CycleOp, UINT8 UsePrefix1, UINT8 AtomicCycle, UINT8 DataCycle);
// Each wait of a cycle (controller idle, cycle done) polls at most this often. The slowest
// cycle of the table parts is a 4 KiB erase (400 ms worst case); a status read takes at
// least 0.1 us, so this never cuts a working erase short.
inline constexpr UINT32 kSpiCyclePolls = 4000000;

inline constexpr UINT8 kProtectionLift = 0;
inline constexpr UINT8 kProtectionRestore = 1;
EFI_STATUS SpiSetWriteProtection(UINT64 Address, UINT64 Length, UINT8 Restore);

EFI_STATUS SpiGetComponentCount(UINT8 *Count);
EFI_STATUS SpiApplyDescriptorDensity(UINT8 Count, SPI_FLASH_PART_RECORD *Record);
// The component capabilities value SpiIdentify writes to LVSCC and UVSCC for a part.
UINT32 SpiCapabilitiesValue(const SPI_PART_CONFIG &Config);

// Processor address (flash ending at 0xFFFFFFFF) to linear flash address, for a flash of
// ActiveConfig.Size bytes.
UINT64 SpiLinearAddress(UINT64 Address);

// One part of a read that goes through controller cycles.
struct READ_PIECE {
  UINT64 Address;  // linear
  UINT8 *Buffer;
  UINT64 Length;
};

// Where the BIOS region shows in processor memory: its top WindowSize bytes, linear
// WindowStart .. WindowStart + WindowSize - 1, at processor address 4 GiB - WindowSize.
struct SPI_READ_WINDOW {
  UINT64 WindowStart;
  UINT64 WindowSize;
};
inline constexpr UINT64 kSpiMaxReadWindow = 0x280000;
SPI_READ_WINDOW SpiReadWindow();
// Copies what lies in the window now; describes the rest as up to two pieces.
EFI_STATUS SpiSplitRead(UINT64 Linear, UINT8 *Buffer, UINT64 Length, READ_PIECE Pieces[2]);
