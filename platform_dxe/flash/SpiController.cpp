// The SPI host interface as the driver uses it: one cycle with hardware or software
// sequencing, write protection around writes, what the flash descriptor says, and the three
// record operations that set the controller up for a part.
#include "../../uefi/BootScriptSave.h"
#include "../../uefi/DxeServicesTable.h"
#include "../ModuleState.h"
#include "../cpu/ProcessorPrimitives.h"
#include "FlashParts.h"
#include "MemoryRoutines.h"
#include "SpiRegisters.h"

namespace {

using namespace spi;

constexpr UINTN kPollMicroseconds = 2;
// A software cycle is over when it completed, failed, or was refused.
constexpr UINT16 kSsfsEnded = SsfsCds::Mask | SsfsFcerr::Mask | SsfsAel::Mask;


FlashModuleState &Flash() { return DxeModule.Flash; }

// Polls Register until Done says so; false when it never does within the bound.
template <typename Register, typename Predicate>
bool PollUntil(UINT64 Base, Predicate Done, typename Register::Value *Last = nullptr) {
  for (UINT32 Poll = 0; Poll < kSpiCyclePolls; ++Poll) {
    typename Register::Value Value = Register::Read(Base);
    if (Done(Value)) {
      if (Last != nullptr) *Last = Value;
      return true;
    }
    PollDelay(kPollMicroseconds);
  }
  return false;
}

template <typename Register>
void SetBits(UINT64 Base, typename Register::Value Bits) {
  Register::Write(Base, (typename Register::Value)(Register::Read(Base) | Bits));
}

EFI_STATUS SoftwareCycle(UINT64 Base, UINT32 CycleAddress, UINT8 ByteCountMinusOne,
                         UINT8 MenuIndex, UINT8 UsePrefix1, UINT8 AtomicCycle, UINT8 DataCycle) {
  if (!PollUntil<Ssfs>(Base, [](UINT16 S) { return !SsfsScip::IsSet(S); })) {
    return EFI_DEVICE_ERROR;
  }
  SetBits<Ssfs>(Base, kSsfsClearStatus);
  Faddr::Write(Base, CycleAddress);
  Ssfc::Write(Base, SsfcDbc::Set(Ssfc::Read(Base), ByteCountMinusOne));
  Ssfc::Write(Base, SsfcCop::Set(Ssfc::Read(Base), MenuIndex));
  Ssfc::Write(Base, SsfcSpop::Set(Ssfc::Read(Base), UsePrefix1 != 0));
  Ssfc::Write(Base, SsfcAcs::Set(Ssfc::Read(Base), AtomicCycle != 0));
  Ssfc::Write(Base, SsfcDs::Set(Ssfc::Read(Base), DataCycle != 0));
  Ssfc::Write(Base, SsfcScgo::Set(Ssfc::Read(Base), 1));

  UINT16 Final = 0;
  if (!PollUntil<Ssfs>(Base, [](UINT16 S) { return (S & kSsfsEnded) != 0; }, &Final)) {
    return EFI_DEVICE_ERROR;
  }
  SetBits<Ssfs>(Base, kSsfsClearStatus);
  return (Final & (SsfsFcerr::Mask | SsfsAel::Mask)) != 0 ? EFI_DEVICE_ERROR : EFI_SUCCESS;
}

EFI_STATUS HardwareCycle(UINT64 Base, UINT32 CycleAddress, UINT8 ByteCountMinusOne,
                         UINT8 Fcycle) {
  if (!PollUntil<Hsfs>(Base, [](UINT16 S) { return !HsfsScip::IsSet(S); })) {
    return EFI_DEVICE_ERROR;
  }
  SetBits<Hsfs>(Base, kHsfsClearStatus);
  Faddr::Write(Base, CycleAddress);
  Hsfc::Write(Base, HsfcFdbc::Set(Hsfc::Read(Base), ByteCountMinusOne));
  Hsfc::Write(Base, HsfcFcycle::Set(Hsfc::Read(Base), Fcycle));
  Hsfc::Write(Base, HsfcFgo::Set(Hsfc::Read(Base), 1));

  UINT16 Final = 0;
  if (!PollUntil<Hsfs>(Base, [](UINT16 S) { return (S & kHsfsClearStatus) != 0; }, &Final)) {
    return EFI_DEVICE_ERROR;
  }
  SetBits<Hsfs>(Base, kHsfsClearStatus);
  return (Final & (HsfsFcerr::Mask | HsfsAel::Mask)) != 0 ? EFI_DEVICE_ERROR : EFI_SUCCESS;
}

UINT8 IdLength(const SPI_PART_CONFIG &Config) {
  return (UINT8)((Config.Flags & SPI_FLAG_ID_LENGTH_MASK) >> SPI_FLAG_ID_LENGTH_SHIFT);
}

// Reads the identifier of the component at CycleAddress into FDATA0 (cleared first).
UINT32 ReadIdentifier(UINT32 CycleAddress, UINT8 Length) {
  UINT64 Base = Flash().SpiBase;
  Fdata0::Write(Base, 0);
  SpiCycle(0, CycleAddress, (UINT8)(Length - 1), SPI_MENU_READ_ID, 0, 1, 1);
  return Fdata0::Read(Base);
}

// Density codes of FLCOMP: 512 KiB << code; 6 and 7 are reserved.
bool ComponentSize(UINT32 Code, UINT64 *Size) {
  if (Code > 5) {
    *Size = 0;
    return false;
  }
  *Size = (UINT64)0x80000 << Code;
  return true;
}

EFI_STATUS BootScriptMemWrite(UINT16 TableName, EFI_BOOT_SCRIPT_WIDTH Width, UINT64 Address,
                              UINTN Count, VOID *Buffer) {
  auto *Save = (EFI_BOOT_SCRIPT_SAVE_PROTOCOL *)Flash().BootScriptSave;
  if (Save == nullptr) return EFI_NOT_FOUND;
  Save->Write(Save, TableName, (UINT16)EFI_BOOT_SCRIPT_MEM_WRITE_OPCODE, Width, Address, Count,
              Buffer);
  return EFI_SUCCESS;
}

void LoadController(UINT64 Base, const SPI_PART_CONFIG &Config) {
  UINT32 Menu0, Menu1;
  __builtin_memcpy(&Menu0, &Config.OpcodeMenu[0], 4);
  __builtin_memcpy(&Menu1, &Config.OpcodeMenu[4], 4);
  Opmenu0::Write(Base, Menu0);
  Opmenu1::Write(Base, Menu1);
  Optype::Write(Base, Config.OpcodeTypes);
  Preop::Write(Base, Config.PrefixOpcodes);
  UINT32 Capabilities = SpiCapabilitiesValue(Config);
  Lvscc::Write(Base, Capabilities);
  Uvscc::Write(Base, Capabilities);
}

// The host's write range: the BIOS region when the descriptor grants the host no other
// region and names a sane one, else the whole flash as Identify set it.
void ApplyBiosRegionBounds(UINT64 Base) {
  Fdoc::Write(Base, kFdocFlmstr1);
  if (Flmstr1Grants::Get(Fdod::Read(Base)) != 0) return;
  UINT32 Region = Bfpr::Read(Base);
  UINT64 RegionBase = (UINT64)BfprBase::Get(Region) << 12;
  UINT64 RegionLimit = (UINT64)BfprLimit::Get(Region) << 12;
  if (RegionBase < RegionLimit) {
    Flash().WriteLowerBound = RegionBase;
    Flash().WriteUpperBound = RegionLimit | 0xFFF;
  }
}

}  // namespace

EFI_STATUS SpiCycle(UINT8 HwSequencing, UINT32 CycleAddress, UINT8 ByteCountMinusOne,
                    UINT8 CycleOp, UINT8 UsePrefix1, UINT8 AtomicCycle, UINT8 DataCycle) {
  UINT64 Base = Flash().SpiBase;
  if (Base == 0) return EFI_NOT_READY;
  if (HwSequencing != 0) return HardwareCycle(Base, CycleAddress, ByteCountMinusOne, CycleOp);
  return SoftwareCycle(Base, CycleAddress, ByteCountMinusOne, CycleOp, UsePrefix1, AtomicCycle,
                       DataCycle);
}

EFI_STATUS SpiSetWriteProtection(UINT64 Address, UINT64 Length, UINT8 Restore) {
  if (Restore != kProtectionLift && Restore != kProtectionRestore) return EFI_SUCCESS;
  const SPI_PART_CONFIG &Config = Flash().ActiveConfig;
  UINT64 FdataBase = Flash().SpiBase + kFdataOffset;

  if ((Config.Flags & SPI_FLAG_STATUS_PROTECT) != 0 && Flash().HardwareSequencing == 0) {
    UINT8 Value = Config.ProtectData[Restore != 0 ? SPI_PROTECT_STATUS_PROTECT
                                                   : SPI_PROTECT_STATUS_UNPROTECT];
    reg::Store(FdataBase, Value);
    SpiCycle(0, 0, 0, SPI_MENU_WRITE_STATUS, 1, 1, 1);
  }

  if ((Config.Flags & SPI_FLAG_GRANULE_PROTECT) != 0 && Config.ProtectGranule != 0) {
    UINT8 Value = Config.ProtectData[Restore != 0 ? SPI_PROTECT_GRANULE_PROTECT
                                                   : SPI_PROTECT_GRANULE_UNPROTECT];
    reg::Store(FdataBase, Value);
    UINT32 Base = (UINT32)Address & ~(Config.ProtectGranule - 1);
    UINT8 Menu = Restore != 0 ? SPI_MENU_GRANULE_PROTECT : SPI_MENU_GRANULE_UNPROTECT;
    UINT8 WithData = (Config.Flags & SPI_FLAG_GRANULE_DATA) != 0;
    for (UINT64 Offset = 0; Offset < Length; Offset += Config.ProtectGranule) {
      SpiCycle(0, (UINT32)(Base + Offset), 0, Menu, 0, 1, WithData);
    }
  }
  return EFI_SUCCESS;
}

EFI_STATUS SpiGetComponentCount(UINT8 *Count) {
  if (Flash().SpiBase == 0) Flash().SpiBase = ReadRcba() + kSpiBarOffset;
  UINT64 Base = Flash().SpiBase;
  if (!HsfsFdv::IsSet(HsfsDword::Read(Base))) return EFI_UNSUPPORTED;
  Fdoc::Write(Base, kFdocFlmap0);
  *Count = (UINT8)(Flmap0Nc::Get(Fdod::Read(Base)) + 1);
  return EFI_SUCCESS;
}

EFI_STATUS SpiApplyDescriptorDensity(UINT8 Count, SPI_FLASH_PART_RECORD *Record) {
  UINT64 Base = Flash().SpiBase;
  Fdoc::Write(Base, kFdocFlcomp);
  UINT32 Densities = Fdod::Read(Base) & 0xFF;
  UINT64 Size1 = 0, Size2 = 0;
  bool Valid = ComponentSize(FlcompComponent1Density::Get(Densities), &Size1);
  if (Count == 2) Valid = ComponentSize(FlcompComponent2Density::Get(Densities), &Size2) && Valid;
  // A reserved density code leaves the part's own size in force: a size of 0 would open the
  // whole 4 GiB to writes.
  if (!Valid) return EFI_DEVICE_ERROR;
  if (Count == 2) {
    Record->Part.SizeCode = FLASH_SIZE_CODE_TWO_COMPONENTS;
    Record->Part.BlockCount =
        (UINT16)((UINT32)(Size1 + Size2) / ((UINT32)Record->Part.BlockSize * FLASH_BLOCK_SIZE_UNIT));
  }
  Flash().ActiveConfig.Size = (UINT32)(Size1 + Size2);
  return EFI_SUCCESS;
}

UINT32 SpiCapabilitiesValue(const SPI_PART_CONFIG &Config) {
  UINT32 EraseCode = 0;
  if (Config.EraseSize == 0x1000) EraseCode = 1;
  if (Config.EraseSize == 0x10000) EraseCode = 3;
  UINT32 Value = VsccEraseSize::Of(EraseCode) | VsccEraseOpcode::Of(Config.OpcodeMenu[SPI_MENU_ERASE]);
  if ((Config.Flags & SPI_FLAG_WRITE_64) != 0) Value |= VsccWriteGranularity64::Mask;
  if ((Config.Flags & SPI_FLAG_STATUS_PROTECT) != 0) Value |= VsccWriteStatusRequired::Mask;
  if ((Config.Flags & SPI_FLAG_NO_PREFIX_VSCC) == 0) {
    UINT8 Prefix0 = (UINT8)Config.PrefixOpcodes, Prefix1 = (UINT8)(Config.PrefixOpcodes >> 8);
    if (Prefix0 == 0x06 || Prefix1 == 0x06) {
      Value |= VsccWriteEnableOnWriteStatus::Mask;
    } else if (Prefix0 == 0x50 || Prefix1 == 0x50) {
      Value |= VsccWriteStatusRequired::Mask;
    }
  }
  return Value;
}

EFI_STATUS EFIAPI SpiInit(VOID *) {
  UINT64 Rcba = ReadRcba();
  Flash().SpiBase = Rcba + kSpiBarOffset;
  auto *Dxe = (EFI_DXE_SERVICES *)Flash().DxeServices;
  if (Dxe != nullptr) Dxe->SetMemorySpaceAttributes(Rcba, kRcbaSize, EFI_MEMORY_RUNTIME);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI SpiIdentify(UINT64 RecordAddress) {
  auto *Record = (SPI_FLASH_PART_RECORD *)(UINTN)RecordAddress;
  if (Record == nullptr || Record->SpiConfig == nullptr) return EFI_INVALID_PARAMETER;
  const SPI_PART_CONFIG &Config = *Record->SpiConfig;
  UINT64 Base = Flash().SpiBase;
  if (Base == 0) return EFI_NOT_READY;

  PortWrite8(kPostCodePort, kPostCodeSpiIdentify);
  LoadController(Base, Config);

  UINT8 Length = IdLength(Config);
  if (Length < 1 || Length > 4) return EFI_UNSUPPORTED;
  if ((UINT64)ReadIdentifier(0, Length) != Record->Part.PartId) return EFI_UNSUPPORTED;

  if (Flash().SpiConverted == 0) {
    UINT8 Control = reg::Load(kLpcBiosControlAddress, UINT8{});
    reg::Store(kLpcBiosControlAddress, BiosControlSrc::Set(Control, 0));
  }

  Flash().SpiPartReady = 0;
  CopyBytes(&Flash().ActiveConfig, &Config, sizeof(SPI_PART_CONFIG));
  UINT8 Components = 0;
  if (!EFI_ERROR(SpiGetComponentCount(&Components))) {
    if (Components > 1 && !FindSpiPartId(ReadIdentifier(Flash().ActiveConfig.Size, Length))) {
      return EFI_UNSUPPORTED;
    }
    SpiApplyDescriptorDensity(Components, Record);
  }

  Flash().WriteLowerBound = 0;
  Flash().WriteUpperBound = (UINT32)(Flash().ActiveConfig.Size - 1);
  if (HsfsFdv::IsSet(HsfsDword::Read(Base))) {
    Flash().HardwareSequencing = 1;
    ApplyBiosRegionBounds(Base);
  } else {
    Flash().HardwareSequencing = 0;
  }

  // Each register's current value, read through the hardware seam, is what resume writes back.
  for (UINT32 Offset : kBootScriptRegisters) {
    UINT64 Address = ReadRcba() + Offset;
    UINT32 Value = reg::Load(Address, UINT32{});
    BootScriptMemWrite(EFI_ACPI_S3_RESUME_SCRIPT_TABLE, EfiBootScriptWidthUint32, Address, 1,
                       &Value);
  }
  Flash().SpiPartReady = 1;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI SpiConvertPointers() {
  if (Flash().SpiConverted != 0) return EFI_SUCCESS;
  if (Flash().SpiBase == 0) Flash().SpiBase = ReadRcba() + kSpiBarOffset;
  VOID *Converted = (VOID *)(UINTN)Flash().SpiBase;
  ConvertRuntimePointer(&Converted);
  Flash().SpiBase = (UINT64)(UINTN)Converted;
  Flash().SpiConverted = 1;
  return EFI_SUCCESS;
}
