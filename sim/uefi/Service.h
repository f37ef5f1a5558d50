// Names of the boot and runtime services, so the call log and failure injection can refer to a
// service without string typos.
#pragma once

#include "uefi/UefiBase.h"

namespace sim {

enum class Service {
  // Boot services, in table order.
  RaiseTPL,
  RestoreTPL,
  AllocatePages,
  FreePages,
  GetMemoryMap,
  AllocatePool,
  FreePool,
  CreateEvent,
  SetTimer,
  WaitForEvent,
  SignalEvent,
  CloseEvent,
  CheckEvent,
  InstallProtocolInterface,
  ReinstallProtocolInterface,
  UninstallProtocolInterface,
  HandleProtocol,
  RegisterProtocolNotify,
  LocateHandle,
  LocateDevicePath,
  InstallConfigurationTable,
  LoadImage,
  StartImage,
  Exit,
  UnloadImage,
  ExitBootServices,
  GetNextMonotonicCount,
  Stall,
  SetWatchdogTimer,
  ConnectController,
  DisconnectController,
  OpenProtocol,
  CloseProtocol,
  OpenProtocolInformation,
  ProtocolsPerHandle,
  LocateHandleBuffer,
  LocateProtocol,
  InstallMultipleProtocolInterfaces,
  UninstallMultipleProtocolInterfaces,
  CalculateCrc32,
  CopyMem,
  SetMem,
  CreateEventEx,
  // Runtime services, in table order.
  GetTime,
  SetTime,
  GetWakeupTime,
  SetWakeupTime,
  SetVirtualAddressMap,
  ConvertPointer,
  GetVariable,
  GetNextVariableName,
  SetVariable,
  GetNextHighMonotonicCount,
  ResetSystem,
  UpdateCapsule,
  QueryCapsuleCapabilities,
  QueryVariableInfo,
  // DXE services, the boot script save protocol and the Framework SMM system table.
  SetMemorySpaceAttributes,
  BootScriptWrite,
  BootScriptCloseTable,
  SmmAllocatePool,
  SmmFreePool,
};

const char *ServiceName(Service service);

// Highest TPL a caller may be running at when it calls the service. Calling above it is a
// driver fault that real firmware does not diagnose; the simulation records it.
EFI_TPL MaxCallerTpl(Service service);

}  // namespace sim
