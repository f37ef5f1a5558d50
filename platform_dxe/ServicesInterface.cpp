#include "cpu/ProcessorPrimitives.h"
#include "PlatformServices.h"

// Published for the protocol's clients; the driver itself uses only the shared item entry.
const UINT16 PlatformOffsetTable[PLATFORM_SERVICES_OFFSET_TABLE_ENTRIES] = {
    110, 111, 117, 220, 127, 128, 129, 149, 121, 51, 530, 599};

void FillServicesInfo(PLATFORM_SERVICES_INFO *Info) {
  Info->InfoValueA = PLATFORM_SERVICES_INFO_VALUE_A;
  Info->InfoValueB = PLATFORM_SERVICES_INFO_VALUE_B;
  Info->OffsetTable = (UINT64)(UINTN)PlatformOffsetTable;
}

namespace {

// The interface as clients see it, less the record address, which exists only at run time.
const PLATFORM_SERVICES_PROTOCOL kInterfaceTemplate = {
    PLATFORM_SERVICES_SIGNATURE,
    PLATFORM_SERVICES_HEADER_VALUE,
    nullptr,
    ShowBootLogo,
    RestoreTextConsole,
    SetGraphicsResolution,
    CmosRead8,
    IndexedIoRead8,
    CmosWrite8,
    IndexedIoWrite8,
    CmosRead16,
    CmosWrite16,
    Reserved,
    GetDiskChannelMap,
    PlatformCall,
    GetPciExpressAddress,
    SetFlashWriteEnable,
    DetectFlashPart,
    ReadTimeStampCounter,
};

}  // namespace

void FillServicesInterface(PLATFORM_SERVICES_PROTOCOL *Interface, PLATFORM_SERVICES_INFO *Info) {
  *Interface = kInterfaceTemplate;
  Interface->ServicesInfo = Info;
}
