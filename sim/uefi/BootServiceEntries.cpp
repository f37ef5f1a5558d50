// EFIAPI entry points of the boot services table. Each one logs itself, honours failure
// injection, and forwards to the environment's parts.
#include <cstring>
#include <vector>

#include "sim/uefi/Crc32.h"
#include "sim/uefi/GuidText.h"
#include "sim/uefi/ServiceEntries.h"
#include "sim/uefi/ServiceScope.h"

#if defined(__x86_64__) && !defined(_WIN32)
#define SIM_VA_LIST __builtin_ms_va_list
#define SIM_VA_START(list, last) __builtin_ms_va_start(list, last)
#define SIM_VA_END(list) __builtin_ms_va_end(list)
#else
#include <cstdarg>
#define SIM_VA_LIST va_list
#define SIM_VA_START(list, last) va_start(list, last)
#define SIM_VA_END(list) va_end(list)
#endif

namespace sim {
namespace {

using Kind = ServiceScope::Kind;

// ---- Task priority ----

EFI_TPL EFIAPI RaiseTplEntry(EFI_TPL newTpl) {
  ServiceScope call(Service::RaiseTPL, SizeText(newTpl), Kind::TplControl);
  EFI_TPL old = call.Env().Events().Raise(newTpl);
  call.Return(EFI_SUCCESS);
  return old;
}

VOID EFIAPI RestoreTplEntry(EFI_TPL oldTpl) {
  ServiceScope call(Service::RestoreTPL, SizeText(oldTpl), Kind::TplControl);
  call.Return(EFI_SUCCESS);
  call.Env().Events().Restore(oldTpl);
}

// ---- Memory ----

EFI_STATUS EFIAPI AllocatePoolEntry(EFI_MEMORY_TYPE poolType, UINTN size, VOID **buffer) {
  ServiceScope call(Service::AllocatePool, SizeText(size));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Pool().Allocate(poolType, size, buffer));
}

EFI_STATUS EFIAPI FreePoolEntry(VOID *buffer) {
  ServiceScope call(Service::FreePool, PointerText(buffer));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Pool().Free(buffer));
}

// ---- Events ----

EFI_STATUS EFIAPI CreateEventEntry(UINT32 type, EFI_TPL notifyTpl,
                                   EFI_EVENT_NOTIFY notifyFunction, VOID *notifyContext,
                                   EFI_EVENT *event) {
  ServiceScope call(Service::CreateEvent, HexText(type) + " tpl " + SizeText(notifyTpl));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Events().Create(type, notifyTpl, notifyFunction, notifyContext,
                                                nullptr, false, event));
}

EFI_STATUS EFIAPI CreateEventExEntry(UINT32 type, EFI_TPL notifyTpl,
                                     EFI_EVENT_NOTIFY notifyFunction, const VOID *notifyContext,
                                     const EFI_GUID *eventGroup, EFI_EVENT *event) {
  ServiceScope call(Service::CreateEventEx,
                    HexText(type) + " tpl " + SizeText(notifyTpl) + " " + GuidText(eventGroup));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Events().Create(type, notifyTpl, notifyFunction, notifyContext,
                                                eventGroup, true, event));
}

EFI_STATUS EFIAPI SignalEventEntry(EFI_EVENT event) {
  ServiceScope call(Service::SignalEvent, PointerText(event));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Events().Signal(event));
}

EFI_STATUS EFIAPI CloseEventEntry(EFI_EVENT event) {
  ServiceScope call(Service::CloseEvent, PointerText(event));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().CloseEvent(event));
}

EFI_STATUS EFIAPI CheckEventEntry(EFI_EVENT event) {
  ServiceScope call(Service::CheckEvent, PointerText(event));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Events().Check(event, call.CallerTpl()));
}

// ---- Protocol handler services ----

EFI_STATUS EFIAPI InstallProtocolInterfaceEntry(EFI_HANDLE *handle, const EFI_GUID *protocol,
                                                EFI_INTERFACE_TYPE interfaceType,
                                                VOID *interface) {
  ServiceScope call(Service::InstallProtocolInterface, GuidText(protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(
      call.Env().Protocols().Install(handle, protocol, interfaceType, interface));
}

EFI_STATUS EFIAPI ReinstallProtocolInterfaceEntry(EFI_HANDLE handle, const EFI_GUID *protocol,
                                                  VOID *oldInterface, VOID *newInterface) {
  ServiceScope call(Service::ReinstallProtocolInterface, GuidText(protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(
      call.Env().Protocols().Reinstall(handle, protocol, oldInterface, newInterface));
}

EFI_STATUS EFIAPI UninstallProtocolInterfaceEntry(EFI_HANDLE handle, const EFI_GUID *protocol,
                                                  VOID *interface) {
  ServiceScope call(Service::UninstallProtocolInterface, GuidText(protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Protocols().Uninstall(handle, protocol, interface));
}

EFI_STATUS EFIAPI HandleProtocolEntry(EFI_HANDLE handle, const EFI_GUID *protocol,
                                      VOID **interface) {
  ServiceScope call(Service::HandleProtocol, GuidText(protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Protocols().HandleProtocol(handle, protocol, interface));
}

EFI_STATUS EFIAPI OpenProtocolEntry(EFI_HANDLE handle, const EFI_GUID *protocol,
                                    VOID **interface, EFI_HANDLE agent, EFI_HANDLE controller,
                                    UINT32 attributes) {
  ServiceScope call(Service::OpenProtocol, GuidText(protocol) + " " + HexText(attributes));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Protocols().OpenProtocol(handle, protocol, interface, agent,
                                                         controller, attributes));
}

EFI_STATUS EFIAPI CloseProtocolEntry(EFI_HANDLE handle, const EFI_GUID *protocol,
                                     EFI_HANDLE agent, EFI_HANDLE controller) {
  ServiceScope call(Service::CloseProtocol, GuidText(protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Protocols().CloseProtocol(handle, protocol, agent, controller));
}

EFI_STATUS EFIAPI RegisterProtocolNotifyEntry(const EFI_GUID *protocol, EFI_EVENT event,
                                              VOID **registration) {
  ServiceScope call(Service::RegisterProtocolNotify, GuidText(protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Protocols().RegisterNotify(protocol, event, registration));
}

std::string SearchText(EFI_LOCATE_SEARCH_TYPE searchType, const EFI_GUID *protocol) {
  switch (searchType) {
    case AllHandles: return "AllHandles";
    case ByRegisterNotify: return "ByRegisterNotify";
    case ByProtocol: return "ByProtocol " + GuidText(protocol);
    default: return "search type " + SizeText(searchType);
  }
}

EFI_STATUS EFIAPI LocateHandleEntry(EFI_LOCATE_SEARCH_TYPE searchType, const EFI_GUID *protocol,
                                    VOID *searchKey, UINTN *bufferSize, EFI_HANDLE *buffer) {
  ServiceScope call(Service::LocateHandle, SearchText(searchType, protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  if (bufferSize == nullptr) return call.Return(EFI_INVALID_PARAMETER);
  ProtocolDatabase &protocols = call.Env().Protocols();
  std::vector<EFI_HANDLE> handles;
  EFI_STATUS status = protocols.Search(searchType, protocol, searchKey, false, handles);
  if (status != EFI_SUCCESS) return call.Return(status);
  UINTN needed = handles.size() * sizeof(EFI_HANDLE);
  if (*bufferSize < needed) {
    *bufferSize = needed;
    return call.Return(EFI_BUFFER_TOO_SMALL);
  }
  if (buffer == nullptr) return call.Return(EFI_INVALID_PARAMETER);
  // Only a search that delivers its result takes the handle off a registration's list.
  if (searchType == ByRegisterNotify) {
    protocols.Search(searchType, protocol, searchKey, true, handles);
  }
  std::memcpy(buffer, handles.data(), needed);
  *bufferSize = needed;
  return call.Return(EFI_SUCCESS);
}

EFI_STATUS EFIAPI LocateHandleBufferEntry(EFI_LOCATE_SEARCH_TYPE searchType,
                                          const EFI_GUID *protocol, VOID *searchKey,
                                          UINTN *noHandles, EFI_HANDLE **buffer) {
  ServiceScope call(Service::LocateHandleBuffer, SearchText(searchType, protocol));
  if (call.Injected()) return call.Return(*call.Injected());
  if (noHandles == nullptr || buffer == nullptr) return call.Return(EFI_INVALID_PARAMETER);
  *noHandles = 0;
  *buffer = nullptr;
  ProtocolDatabase &protocols = call.Env().Protocols();
  std::vector<EFI_HANDLE> handles;
  EFI_STATUS status = protocols.Search(searchType, protocol, searchKey, false, handles);
  if (status != EFI_SUCCESS) return call.Return(status);
  void *memory = nullptr;
  status = call.Env().Pool().AllocateForService(EfiBootServicesData,
                                                handles.size() * sizeof(EFI_HANDLE), &memory);
  if (status != EFI_SUCCESS) return call.Return(EFI_OUT_OF_RESOURCES);
  if (searchType == ByRegisterNotify) {
    protocols.Search(searchType, protocol, searchKey, true, handles);
  }
  std::memcpy(memory, handles.data(), handles.size() * sizeof(EFI_HANDLE));
  *buffer = static_cast<EFI_HANDLE *>(memory);
  *noHandles = handles.size();
  return call.Return(EFI_SUCCESS);
}

EFI_STATUS EFIAPI LocateProtocolEntry(const EFI_GUID *protocol, VOID *registration,
                                      VOID **interface) {
  ServiceScope call(Service::LocateProtocol,
                    GuidText(protocol) + (registration != nullptr ? " by registration" : ""));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Protocols().LocateProtocol(protocol, registration, interface));
}

struct ProtocolPair {
  const EFI_GUID *protocol;
  void *interface;
};

// Pairs up to the terminating NULL GUID. Duplicates in one list can never all succeed.
bool HasDuplicateProtocol(const std::vector<ProtocolPair> &pairs) {
  for (size_t i = 0; i < pairs.size(); ++i) {
    for (size_t j = i + 1; j < pairs.size(); ++j) {
      if (GuidsEqual(*pairs[i].protocol, *pairs[j].protocol)) return true;
    }
  }
  return false;
}

std::string PairsText(const std::vector<ProtocolPair> &pairs) {
  std::string text;
  for (const ProtocolPair &pair : pairs) {
    text += (text.empty() ? "" : " ") + GuidText(pair.protocol);
  }
  return text;
}

EFI_STATUS InstallMultiple(ServiceScope &call, EFI_HANDLE *handle,
                           const std::vector<ProtocolPair> &pairs) {
  if (handle == nullptr || HasDuplicateProtocol(pairs)) return EFI_INVALID_PARAMETER;
  ProtocolDatabase &protocols = call.Env().Protocols();
  // Check every pair first so a failure leaves the database as it was.
  if (*handle != nullptr) {
    if (!protocols.IsValidHandle(*handle)) return EFI_INVALID_PARAMETER;
    for (const ProtocolPair &pair : pairs) {
      if (protocols.HasProtocol(*handle, *pair.protocol)) return EFI_INVALID_PARAMETER;
    }
  }
  for (const ProtocolPair &pair : pairs) {
    EFI_STATUS status =
        protocols.Install(handle, pair.protocol, EFI_NATIVE_INTERFACE, pair.interface);
    if (status != EFI_SUCCESS) return status;
  }
  return EFI_SUCCESS;
}

// The (GUID, interface) pairs of a variable argument list, up to the terminating null GUID.
std::vector<ProtocolPair> ReadProtocolPairs(SIM_VA_LIST &args) {
  std::vector<ProtocolPair> pairs;
  for (;;) {
    const EFI_GUID *protocol = __builtin_va_arg(args, const EFI_GUID *);
    if (protocol == nullptr) break;
    void *interface = __builtin_va_arg(args, void *);
    pairs.push_back(ProtocolPair{protocol, interface});
  }
  return pairs;
}

EFI_STATUS EFIAPI InstallMultipleProtocolInterfacesEntry(EFI_HANDLE *handle, ...) {
  SIM_VA_LIST args;
  SIM_VA_START(args, handle);
  std::vector<ProtocolPair> pairs = ReadProtocolPairs(args);
  SIM_VA_END(args);

  ServiceScope call(Service::InstallMultipleProtocolInterfaces, PairsText(pairs));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(InstallMultiple(call, handle, pairs));
}

EFI_STATUS UninstallMultiple(ServiceScope &call, EFI_HANDLE handle,
                             const std::vector<ProtocolPair> &pairs) {
  ProtocolDatabase &protocols = call.Env().Protocols();
  if (!protocols.IsValidHandle(handle) || HasDuplicateProtocol(pairs)) {
    return EFI_INVALID_PARAMETER;
  }
  // Either every listed interface goes or none does.
  for (const ProtocolPair &pair : pairs) {
    if (protocols.InterfaceOf(handle, *pair.protocol) != pair.interface ||
        !protocols.HasProtocol(handle, *pair.protocol)) {
      return EFI_INVALID_PARAMETER;
    }
  }
  for (const ProtocolPair &pair : pairs) {
    protocols.Uninstall(handle, pair.protocol, pair.interface);
  }
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI UninstallMultipleProtocolInterfacesEntry(EFI_HANDLE handle, ...) {
  SIM_VA_LIST args;
  SIM_VA_START(args, handle);
  std::vector<ProtocolPair> pairs = ReadProtocolPairs(args);
  SIM_VA_END(args);

  ServiceScope call(Service::UninstallMultipleProtocolInterfaces, PairsText(pairs));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(UninstallMultiple(call, handle, pairs));
}

EFI_STATUS EFIAPI InstallConfigurationTableEntry(const EFI_GUID *guid, VOID *table) {
  ServiceScope call(Service::InstallConfigurationTable, GuidText(guid));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().InstallConfigurationTable(guid, table));
}

// ---- Miscellaneous ----

EFI_STATUS EFIAPI GetNextMonotonicCountEntry(UINT64 *count) {
  ServiceScope call(Service::GetNextMonotonicCount, "");
  if (call.Injected()) return call.Return(*call.Injected());
  if (count == nullptr) return call.Return(EFI_INVALID_PARAMETER);
  *count = call.Env().NextMonotonicCount();
  return call.Return(EFI_SUCCESS);
}

EFI_STATUS EFIAPI StallEntry(UINTN microseconds) {
  ServiceScope call(Service::Stall, SizeText(microseconds));
  if (call.Injected()) return call.Return(*call.Injected());
  call.Env().Stall(microseconds);
  return call.Return(EFI_SUCCESS);
}

EFI_STATUS EFIAPI CalculateCrc32Entry(VOID *data, UINTN dataSize, UINT32 *crc32) {
  ServiceScope call(Service::CalculateCrc32, SizeText(dataSize));
  if (call.Injected()) return call.Return(*call.Injected());
  if (data == nullptr || crc32 == nullptr || dataSize == 0) {
    return call.Return(EFI_INVALID_PARAMETER);
  }
  *crc32 = Crc32(data, dataSize);
  return call.Return(EFI_SUCCESS);
}

VOID EFIAPI CopyMemEntry(VOID *destination, const VOID *source, UINTN length) {
  ServiceScope call(Service::CopyMem, SizeText(length), Kind::Void);
  // Overlapping buffers must come out as if copied through a temporary.
  if (length != 0) std::memmove(destination, source, length);
  call.Return(EFI_SUCCESS);
}

VOID EFIAPI SetMemEntry(VOID *buffer, UINTN size, UINT8 value) {
  ServiceScope call(Service::SetMem, SizeText(size) + " " + HexText(value), Kind::Void);
  if (size != 0) std::memset(buffer, value, size);
  call.Return(EFI_SUCCESS);
}

// ---- Not simulated: logged, and reported as unsupported ----

}  // namespace

void FillBootServices(EFI_BOOT_SERVICES &table) {
  table.RaiseTPL = RaiseTplEntry;
  table.RestoreTPL = RestoreTplEntry;
  table.AllocatePages =
      Unsupported<Service::AllocatePages, EFI_ALLOCATE_TYPE, EFI_MEMORY_TYPE, UINTN,
                  EFI_PHYSICAL_ADDRESS *>;
  table.FreePages = Unsupported<Service::FreePages, EFI_PHYSICAL_ADDRESS, UINTN>;
  table.GetMemoryMap = Unsupported<Service::GetMemoryMap, UINTN *, EFI_MEMORY_DESCRIPTOR *,
                                   UINTN *, UINTN *, UINT32 *>;
  table.AllocatePool = AllocatePoolEntry;
  table.FreePool = FreePoolEntry;
  table.CreateEvent = CreateEventEntry;
  table.SetTimer = Unsupported<Service::SetTimer, EFI_EVENT, EFI_TIMER_DELAY, UINT64>;
  table.WaitForEvent = Unsupported<Service::WaitForEvent, UINTN, EFI_EVENT *, UINTN *>;
  table.SignalEvent = SignalEventEntry;
  table.CloseEvent = CloseEventEntry;
  table.CheckEvent = CheckEventEntry;
  table.InstallProtocolInterface = InstallProtocolInterfaceEntry;
  table.ReinstallProtocolInterface = ReinstallProtocolInterfaceEntry;
  table.UninstallProtocolInterface = UninstallProtocolInterfaceEntry;
  table.HandleProtocol = HandleProtocolEntry;
  table.Reserved = nullptr;
  table.RegisterProtocolNotify = RegisterProtocolNotifyEntry;
  table.LocateHandle = LocateHandleEntry;
  table.LocateDevicePath = Unsupported<Service::LocateDevicePath, const EFI_GUID *,
                                       EFI_DEVICE_PATH_PROTOCOL **, EFI_HANDLE *>;
  table.InstallConfigurationTable = InstallConfigurationTableEntry;
  table.LoadImage = Unsupported<Service::LoadImage, BOOLEAN, EFI_HANDLE,
                                EFI_DEVICE_PATH_PROTOCOL *, VOID *, UINTN, EFI_HANDLE *>;
  table.StartImage = Unsupported<Service::StartImage, EFI_HANDLE, UINTN *, CHAR16 **>;
  table.Exit = Unsupported<Service::Exit, EFI_HANDLE, EFI_STATUS, UINTN, CHAR16 *>;
  table.UnloadImage = Unsupported<Service::UnloadImage, EFI_HANDLE>;
  table.ExitBootServices = Unsupported<Service::ExitBootServices, EFI_HANDLE, UINTN>;
  table.GetNextMonotonicCount = GetNextMonotonicCountEntry;
  table.Stall = StallEntry;
  table.SetWatchdogTimer =
      Unsupported<Service::SetWatchdogTimer, UINTN, UINT64, UINTN, CHAR16 *>;
  table.ConnectController = Unsupported<Service::ConnectController, EFI_HANDLE, EFI_HANDLE *,
                                        EFI_DEVICE_PATH_PROTOCOL *, BOOLEAN>;
  table.DisconnectController =
      Unsupported<Service::DisconnectController, EFI_HANDLE, EFI_HANDLE, EFI_HANDLE>;
  table.OpenProtocol = OpenProtocolEntry;
  table.CloseProtocol = CloseProtocolEntry;
  table.OpenProtocolInformation =
      Unsupported<Service::OpenProtocolInformation, EFI_HANDLE, const EFI_GUID *,
                  EFI_OPEN_PROTOCOL_INFORMATION_ENTRY **, UINTN *>;
  table.ProtocolsPerHandle =
      Unsupported<Service::ProtocolsPerHandle, EFI_HANDLE, EFI_GUID ***, UINTN *>;
  table.LocateHandleBuffer = LocateHandleBufferEntry;
  table.LocateProtocol = LocateProtocolEntry;
  table.InstallMultipleProtocolInterfaces = InstallMultipleProtocolInterfacesEntry;
  table.UninstallMultipleProtocolInterfaces = UninstallMultipleProtocolInterfacesEntry;
  table.CalculateCrc32 = CalculateCrc32Entry;
  table.CopyMem = CopyMemEntry;
  table.SetMem = SetMemEntry;
  table.CreateEventEx = CreateEventExEntry;
}

}  // namespace sim
