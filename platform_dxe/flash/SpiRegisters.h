// The chipset's SPI host interface: its registers at SPIBAR (RCBA + 0x3800), their fields, and
// the chipset registers around it that the flash code reads.
#pragma once

#include "Register.h"

namespace spi {

using reg::Bit;
using reg::Field;
using reg::Register;

// LPC bridge (0:31.0) registers reached through the PCI Express configuration window.
inline constexpr UINT64 kLpcRcbaAddress = 0xF00F80F0;         // RCBA, 32-bit
inline constexpr UINT32 kRcbaEnable = 0x1;                     // bit 0, not part of the base
inline constexpr UINT64 kLpcBiosControlAddress = 0xF00F80DC;  // BIOS_CNTL, 8-bit
using BiosControlSrc = Field<UINT8, 3, 2>;                     // SPI read configuration

inline constexpr UINT32 kRcbaSize = 0x4000;
inline constexpr UINT32 kSpiBarOffset = 0x3800;

// General control and status, RCBA + 0x3410: boot BIOS straps.
using Gcs = Register<UINT32, 0x3410>;
using GcsBbs = Field<UINT32, 11, 10>;
inline constexpr UINT32 kBootStrapLpc = 0;
inline constexpr UINT32 kBootStrapSpi = 3;

// BIOS flash primary region, in 4 KiB units.
using Bfpr = Register<UINT32, 0x00>;
using BfprBase = Field<UINT32, 11, 0>;
using BfprLimit = Field<UINT32, 27, 16>;

// Hardware sequencing flash status; the 32-bit view is read for FDV.
using Hsfs = Register<UINT16, 0x04>;
using HsfsDword = Register<UINT32, 0x04>;
using HsfsFdone = Bit<UINT16, 0>;
using HsfsFcerr = Bit<UINT16, 1>;
using HsfsAel = Bit<UINT16, 2>;
using HsfsScip = Bit<UINT16, 5>;
using HsfsFdv = Bit<UINT32, 14>;
inline constexpr UINT16 kHsfsClearStatus = HsfsFdone::Mask | HsfsFcerr::Mask | HsfsAel::Mask;

// Hardware sequencing flash control.
using Hsfc = Register<UINT16, 0x06>;
using HsfcFgo = Bit<UINT16, 0>;
using HsfcFcycle = Field<UINT16, 2, 1>;
using HsfcFdbc = Field<UINT16, 13, 8>;
inline constexpr UINT8 kFcycleRead = 0;
inline constexpr UINT8 kFcycleWrite = 2;
inline constexpr UINT8 kFcycleErase = 3;

using Faddr = Register<UINT32, 0x08>;

// Data of a cycle: byte k at 0x10 + k.
inline constexpr UINT32 kFdataOffset = 0x10;
inline constexpr UINT32 kFdataBytes = 64;
using Fdata0 = Register<UINT32, kFdataOffset>;

// Flash region 1 (BIOS), in 4 KiB units.
using Freg1 = Register<UINT32, 0x58>;
using Freg1Base = Field<UINT32, 12, 0>;
using Freg1Limit = Field<UINT32, 28, 16>;

// Software sequencing status (8 bits at 0x90) and control (from 0x91), each accessed as the
// 16 bits from its own offset.
using Ssfs = Register<UINT16, 0x90>;
using SsfsScip = Bit<UINT16, 0>;
using SsfsCds = Bit<UINT16, 2>;
using SsfsFcerr = Bit<UINT16, 3>;
using SsfsAel = Bit<UINT16, 4>;
inline constexpr UINT16 kSsfsClearStatus = SsfsCds::Mask | SsfsFcerr::Mask | SsfsAel::Mask;

using Ssfc = Register<UINT16, 0x91>;
using SsfcScgo = Bit<UINT16, 1>;
using SsfcAcs = Bit<UINT16, 2>;
using SsfcSpop = Bit<UINT16, 3>;
using SsfcCop = Field<UINT16, 6, 4>;
using SsfcDbc = Field<UINT16, 13, 8>;
using SsfcDs = Bit<UINT16, 14>;

using Preop = Register<UINT16, 0x94>;
using Optype = Register<UINT16, 0x96>;
using Opmenu0 = Register<UINT32, 0x98>;
using Opmenu1 = Register<UINT32, 0x9C>;

// Flash descriptor observability: FDOC selects a word, FDOD shows it.
using Fdoc = Register<UINT32, 0xB0>;
using Fdod = Register<UINT32, 0xB4>;
inline constexpr UINT32 kFdocFlmap0 = 0x0004;
inline constexpr UINT32 kFdocFlcomp = 0x1000;
inline constexpr UINT32 kFdocFlmstr1 = 0x3000;
using Flmap0Nc = Field<UINT32, 9, 8>;  // number of components minus one
using FlcompComponent1Density = Field<UINT32, 2, 0>;
using FlcompComponent2Density = Field<UINT32, 5, 3>;
using Flmstr1Grants = Field<UINT32, 27, 24>;

// Vendor-specific component capabilities, lower and upper flash.
using Lvscc = Register<UINT32, 0xC4>;
using Uvscc = Register<UINT32, 0xC8>;
using VsccEraseSize = Field<UINT32, 1, 0>;
using VsccWriteGranularity64 = Bit<UINT32, 2>;
using VsccWriteStatusRequired = Bit<UINT32, 3>;
using VsccWriteEnableOnWriteStatus = Bit<UINT32, 4>;
using VsccEraseOpcode = Field<UINT32, 15, 8>;

// Registers the S3 resume script restores, as offsets from RCBA.
inline constexpr UINT32 kBootScriptRegisters[] = {
    kSpiBarOffset + Ssfs::Offset,  kSpiBarOffset + Preop::Offset, kSpiBarOffset + Opmenu0::Offset,
    kSpiBarOffset + Opmenu1::Offset, kSpiBarOffset + Lvscc::Offset, kSpiBarOffset + Uvscc::Offset};

}  // namespace spi
