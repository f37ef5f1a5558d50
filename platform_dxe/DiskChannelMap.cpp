// The disk controller channel map (slot 11): which drive index each channel and drive of
// the chipset's disk controller functions carries on this board.
#include "ModuleState.h"
#include "PlatformServices.h"

namespace {

struct DiskChannel {
  UINT32 Bus, Device, Function;
  UINT8 Channel, Drive;
  UINT64 DriveIndex;
};

// Channel 0 drive 1 and channel 1 drive 0 of the first controller carry swapped indexes.
const DiskChannel kDiskChannels[] = {
    {0, 31, 2, 0, 0, 0}, {0, 31, 2, 0, 1, 2}, {0, 31, 2, 1, 0, 1}, {0, 31, 2, 1, 1, 3},
    {0, 31, 5, 0, 0, 4}, {0, 31, 5, 1, 0, 5}, {0, 22, 2, 0, 0, 6}, {0, 22, 2, 0, 1, 7},
    {0, 22, 2, 1, 0, 8}, {0, 22, 2, 1, 1, 9},
};
constexpr UINTN kDiskChannelCount = sizeof(kDiskChannels) / sizeof(kDiskChannels[0]);

}  // namespace

EFI_STATUS EFIAPI GetDiskChannelMap(DISK_CHANNEL_ENTRY **Table, UINTN *Count) {
  if (Table == nullptr || Count == nullptr) return EFI_INVALID_PARAMETER;

  if (DxeModule.DiskChannelMap == nullptr) {
    auto *Map =
        (DISK_CHANNEL_ENTRY *)AllocateZeroedPool(kDiskChannelCount * sizeof(DISK_CHANNEL_ENTRY));
    // Nothing is cached on failure, so a later call tries again.
    if (Map == nullptr) return EFI_OUT_OF_RESOURCES;
    for (UINTN i = 0; i < kDiskChannelCount; ++i) {
      Map[i].PciBus = kDiskChannels[i].Bus;
      Map[i].PciDevice = kDiskChannels[i].Device;
      Map[i].PciFunction = kDiskChannels[i].Function;
      Map[i].Channel = kDiskChannels[i].Channel;
      Map[i].Drive = kDiskChannels[i].Drive;
      Map[i].DriveIndex = kDiskChannels[i].DriveIndex;
    }
    DxeModule.DiskChannelMap = Map;
    DxeModule.DiskChannelCount = kDiskChannelCount;
  }

  *Table = DxeModule.DiskChannelMap;
  *Count = DxeModule.DiskChannelCount;
  return EFI_SUCCESS;
}
