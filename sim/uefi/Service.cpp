#include "sim/uefi/Service.h"

namespace sim {

const char *ServiceName(Service service) {
  switch (service) {
    case Service::RaiseTPL: return "RaiseTPL";
    case Service::RestoreTPL: return "RestoreTPL";
    case Service::AllocatePages: return "AllocatePages";
    case Service::FreePages: return "FreePages";
    case Service::GetMemoryMap: return "GetMemoryMap";
    case Service::AllocatePool: return "AllocatePool";
    case Service::FreePool: return "FreePool";
    case Service::CreateEvent: return "CreateEvent";
    case Service::SetTimer: return "SetTimer";
    case Service::WaitForEvent: return "WaitForEvent";
    case Service::SignalEvent: return "SignalEvent";
    case Service::CloseEvent: return "CloseEvent";
    case Service::CheckEvent: return "CheckEvent";
    case Service::InstallProtocolInterface: return "InstallProtocolInterface";
    case Service::ReinstallProtocolInterface: return "ReinstallProtocolInterface";
    case Service::UninstallProtocolInterface: return "UninstallProtocolInterface";
    case Service::HandleProtocol: return "HandleProtocol";
    case Service::RegisterProtocolNotify: return "RegisterProtocolNotify";
    case Service::LocateHandle: return "LocateHandle";
    case Service::LocateDevicePath: return "LocateDevicePath";
    case Service::InstallConfigurationTable: return "InstallConfigurationTable";
    case Service::LoadImage: return "LoadImage";
    case Service::StartImage: return "StartImage";
    case Service::Exit: return "Exit";
    case Service::UnloadImage: return "UnloadImage";
    case Service::ExitBootServices: return "ExitBootServices";
    case Service::GetNextMonotonicCount: return "GetNextMonotonicCount";
    case Service::Stall: return "Stall";
    case Service::SetWatchdogTimer: return "SetWatchdogTimer";
    case Service::ConnectController: return "ConnectController";
    case Service::DisconnectController: return "DisconnectController";
    case Service::OpenProtocol: return "OpenProtocol";
    case Service::CloseProtocol: return "CloseProtocol";
    case Service::OpenProtocolInformation: return "OpenProtocolInformation";
    case Service::ProtocolsPerHandle: return "ProtocolsPerHandle";
    case Service::LocateHandleBuffer: return "LocateHandleBuffer";
    case Service::LocateProtocol: return "LocateProtocol";
    case Service::InstallMultipleProtocolInterfaces: return "InstallMultipleProtocolInterfaces";
    case Service::UninstallMultipleProtocolInterfaces: return "UninstallMultipleProtocolInterfaces";
    case Service::CalculateCrc32: return "CalculateCrc32";
    case Service::CopyMem: return "CopyMem";
    case Service::SetMem: return "SetMem";
    case Service::CreateEventEx: return "CreateEventEx";
    case Service::GetTime: return "GetTime";
    case Service::SetTime: return "SetTime";
    case Service::GetWakeupTime: return "GetWakeupTime";
    case Service::SetWakeupTime: return "SetWakeupTime";
    case Service::SetVirtualAddressMap: return "SetVirtualAddressMap";
    case Service::ConvertPointer: return "ConvertPointer";
    case Service::GetVariable: return "GetVariable";
    case Service::GetNextVariableName: return "GetNextVariableName";
    case Service::SetVariable: return "SetVariable";
    case Service::GetNextHighMonotonicCount: return "GetNextHighMonotonicCount";
    case Service::ResetSystem: return "ResetSystem";
    case Service::UpdateCapsule: return "UpdateCapsule";
    case Service::QueryCapsuleCapabilities: return "QueryCapsuleCapabilities";
    case Service::QueryVariableInfo: return "QueryVariableInfo";
    case Service::SetMemorySpaceAttributes: return "SetMemorySpaceAttributes";
    case Service::BootScriptWrite: return "BootScriptWrite";
    case Service::BootScriptCloseTable: return "BootScriptCloseTable";
    case Service::SmmAllocatePool: return "SmmAllocatePool";
    case Service::SmmFreePool: return "SmmFreePool";
  }
  return "?";
}

EFI_TPL MaxCallerTpl(Service service) {
  switch (service) {
    case Service::RaiseTPL:
    case Service::RestoreTPL:
    case Service::SignalEvent:
    case Service::Stall:
    case Service::CopyMem:
    case Service::SetMem:
    case Service::GetNextMonotonicCount:
    case Service::CalculateCrc32:
      return TPL_HIGH_LEVEL;
    case Service::LoadImage:
    case Service::StartImage:
    case Service::Exit:
    case Service::UnloadImage:
    case Service::ConnectController:
    case Service::DisconnectController:
      return TPL_CALLBACK;
    case Service::WaitForEvent:
    case Service::ExitBootServices:
      return TPL_APPLICATION;
    default:
      return TPL_NOTIFY;
  }
}

}  // namespace sim
