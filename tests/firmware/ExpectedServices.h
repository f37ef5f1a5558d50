// What PlatformServicesDxe must publish, written out independently of the driver's sources so
// that a fault in the driver's tables cannot hide in a shared constant.
#pragma once

#include "uefi/UefiBase.h"

namespace expected {

const UINT32 kSignature = 0x43464F24;  // "$OFC"
const UINT32 kHeaderValue = 0x4000;
const UINT64 kInfoValueA = 900;
const UINT64 kInfoValueB = 178;

const UINTN kOffsetCount = 12;
const UINT16 kOffsets[kOffsetCount] = {110, 111, 117, 220, 127, 128, 129, 149, 121, 51, 530, 599};
const UINT64 kSharedItemOffset = 530;  // added to the shared base for SharedItemAddress

// One disk channel entry as the driver must lay it out: 22 packed little-endian bytes.
struct DiskChannel {
  UINT32 Bus, Device, Function;
  UINT8 Channel, Drive;
  UINT64 DriveIndex;
};
const UINTN kDiskChannelCount = 10;
const UINTN kDiskChannelEntryBytes = 22;
const DiskChannel kDiskChannels[kDiskChannelCount] = {
    {0, 31, 2, 0, 0, 0}, {0, 31, 2, 0, 1, 2}, {0, 31, 2, 1, 0, 1}, {0, 31, 2, 1, 1, 3},
    {0, 31, 5, 0, 0, 4}, {0, 31, 5, 1, 0, 5}, {0, 22, 2, 0, 0, 6}, {0, 22, 2, 0, 1, 7},
    {0, 22, 2, 1, 0, 8}, {0, 22, 2, 1, 1, 9},
};

// Byte image of one entry: bus @0, device @4, function @8 (UINT32 each), channel @12,
// drive @13, drive index @14 (UINT64).
inline void EncodeDiskChannel(const DiskChannel &Entry, UINT8 Bytes[kDiskChannelEntryBytes]) {
  const UINT64 Fields[3] = {Entry.Bus, Entry.Device, Entry.Function};
  for (UINTN Field = 0; Field < 3; ++Field) {
    for (UINTN Byte = 0; Byte < 4; ++Byte) {
      Bytes[Field * 4 + Byte] = static_cast<UINT8>(Fields[Field] >> (8 * Byte));
    }
  }
  Bytes[12] = Entry.Channel;
  Bytes[13] = Entry.Drive;
  for (UINTN Byte = 0; Byte < 8; ++Byte) {
    Bytes[14 + Byte] = static_cast<UINT8>(Entry.DriveIndex >> (8 * Byte));
  }
}

// Configuration-space addresses of the board's PCI Express window at 0xF0000000. The first
// argument is ignored by the service; odd values there prove it.
struct PciExpressCase {
  UINT64 Ignored, Bus, Device, Function, Register;
  UINT64 Address;
};
const PciExpressCase kPciExpressCases[] = {
    {0, 0, 0, 0, 0, 0xF0000000},
    {0x1234, 0, 31, 0, 0xDC, 0xF00F80DC},  // the LPC bridge's BIOS control register
    {~0ull, 1, 0, 0, 0, 0xF0100000},       // first device of bus 1
    {0, 2, 3, 4, 0x40, 0xF021C040},        // every field at once
    {0, 0, 31, 7, 0xFFF, 0xF00FFFFF},      // last byte of bus 0
    {0, 255, 31, 7, 0xFFF, 0xFFFFFFFF},    // last byte of the window
    {0, 0, 32, 0, 0, 0xF0100000},          // device 32 is not masked: it carries into bus 1
};

}  // namespace expected
