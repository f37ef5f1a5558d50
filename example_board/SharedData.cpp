#include "SharedData.h"

#include "ExampleBoard.h"
#include "include/PlatformServicesProtocol.h"

namespace {

const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;
const EFI_GUID kPlatformServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;

// "BSHD": marks the board's record so it can be told apart from other instances in a dump.
const UINT64 kSharedDataHeader = 0x44485342u;

UINT8 gSharedBuffer[EXAMPLE_BOARD_SHARED_BUFFER_SIZE];
SHARED_DATA_PROTOCOL gSharedData;

// 100 ms: the driver's entry point has long returned by then.
const UINT64 kInstallDelay100ns = 1000000;

EFI_BOOT_SERVICES *gBootServices;
EFI_HANDLE gBoardHandle;
EFI_EVENT gServicesEvent;
VOID *gServicesRegistration;
EFI_EVENT gTickEvent;

VOID EFIAPI InstallOnTick(EFI_EVENT Event, VOID *Context) {
  (void)Context;
  gBootServices->CloseEvent(Event);
  gTickEvent = nullptr;
  gBootServices->InstallProtocolInterface(&gBoardHandle, &kSharedDataGuid, EFI_NATIVE_INTERFACE,
                                          &gSharedData);
}

EFI_STATUS ArmTick() {
  if (gTickEvent != nullptr) return EFI_SUCCESS;
  EFI_STATUS Status = gBootServices->CreateEvent(EVT_TIMER | EVT_NOTIFY_SIGNAL, TPL_CALLBACK,
                                                 InstallOnTick, nullptr, &gTickEvent);
  if (EFI_ERROR(Status)) {
    gTickEvent = nullptr;
    return Status;
  }
  // Not 0: a timer due at once may fire while the driver is still inside its
  // InstallProtocolInterface, before it has registered for the shared data.
  Status = gBootServices->SetTimer(gTickEvent, TimerRelative, kInstallDelay100ns);
  if (EFI_ERROR(Status)) {
    gBootServices->CloseEvent(gTickEvent);
    gTickEvent = nullptr;
  }
  return Status;
}

// Runs when a PLATFORM_SERVICES_PROTOCOL instance is installed; once is enough.
VOID EFIAPI PlatformServicesArrived(EFI_EVENT Event, VOID *Context) {
  (void)Context;
  VOID *Interface = nullptr;
  if (EFI_ERROR(gBootServices->LocateProtocol(&kPlatformServicesGuid, gServicesRegistration,
                                              &Interface))) {
    return;
  }
  if (EFI_ERROR(ArmTick())) return;
  gBootServices->CloseEvent(Event);
  gServicesEvent = nullptr;
}

}  // namespace

SHARED_DATA_PROTOCOL *ExampleSharedData() { return &gSharedData; }

EFI_STATUS PublishSharedDataAfterPlatformServices(EFI_SYSTEM_TABLE *SystemTable,
                                                  EFI_HANDLE BoardHandle) {
  gBootServices = SystemTable->BootServices;
  gBoardHandle = BoardHandle;
  gSharedData.Header = kSharedDataHeader;
  gSharedData.SharedBase = reinterpret_cast<UINT64>(&gSharedBuffer[0]);

  VOID *Existing = nullptr;
  if (!EFI_ERROR(gBootServices->LocateProtocol(&kPlatformServicesGuid, nullptr, &Existing))) {
    return ArmTick();
  }
  EFI_STATUS Status = gBootServices->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK,
                                                 PlatformServicesArrived, nullptr, &gServicesEvent);
  if (EFI_ERROR(Status)) return Status;
  Status = gBootServices->RegisterProtocolNotify(&kPlatformServicesGuid, gServicesEvent,
                                                 &gServicesRegistration);
  if (EFI_ERROR(Status)) {
    gBootServices->CloseEvent(gServicesEvent);
    gServicesEvent = nullptr;
  }
  return Status;
}
