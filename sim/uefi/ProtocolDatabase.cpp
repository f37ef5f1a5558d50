#include "sim/uefi/ProtocolDatabase.h"

#include <algorithm>

namespace sim {
namespace {

// Open modes that need driver-model bookkeeping (BY_DRIVER, EXCLUSIVE, BY_CHILD_CONTROLLER).
constexpr UINT32 kOpenByChildController = 0x08;
constexpr UINT32 kOpenByDriver = 0x10;
constexpr UINT32 kOpenExclusive = 0x20;

}  // namespace

ProtocolDatabase::HandleRecord *ProtocolDatabase::FindHandle(EFI_HANDLE handle) const {
  auto it = liveHandles_.find(handle);
  return it == liveHandles_.end() ? nullptr : it->second;
}

ProtocolDatabase::Registration *ProtocolDatabase::FindRegistration(void *key) const {
  for (const auto &registration : registrations_) {
    if (registration.get() == key && registration->live) return registration.get();
  }
  return nullptr;
}

ProtocolDatabase::Interface *ProtocolDatabase::FindInterface(HandleRecord &record,
                                                             const EFI_GUID &protocol) {
  for (Interface &entry : record.interfaces) {
    if (GuidsEqual(entry.protocol, protocol)) return &entry;
  }
  return nullptr;
}

void ProtocolDatabase::NotifyRegistrations(EFI_HANDLE handle, const EFI_GUID &protocol) {
  for (const auto &registration : registrations_) {
    if (registration->live && GuidsEqual(registration->protocol, protocol)) {
      registration->newHandles.push_back(handle);
      events_.Signal(registration->event);
    }
  }
}

EFI_STATUS ProtocolDatabase::Install(EFI_HANDLE *handle, const EFI_GUID *protocol,
                                     EFI_INTERFACE_TYPE type, void *interface) {
  if (handle == nullptr || protocol == nullptr || type != EFI_NATIVE_INTERFACE) {
    return EFI_INVALID_PARAMETER;
  }
  HandleRecord *record = nullptr;
  if (*handle != nullptr) {
    record = FindHandle(*handle);
    if (record == nullptr) return EFI_INVALID_PARAMETER;
    if (FindInterface(*record, *protocol) != nullptr) return EFI_INVALID_PARAMETER;
  } else {
    auto created = std::make_unique<HandleRecord>();
    created->creationOrder = nextOrder_++;
    record = created.get();
    allHandles_.push_back(std::move(created));
    liveHandles_[record] = record;
    *handle = record;
  }
  record->interfaces.push_back(Interface{*protocol, interface, nextOrder_++, {}});
  NotifyRegistrations(*handle, *protocol);
  return EFI_SUCCESS;
}

EFI_STATUS ProtocolDatabase::Reinstall(EFI_HANDLE handle, const EFI_GUID *protocol,
                                       void *oldInterface, void *newInterface) {
  HandleRecord *record = FindHandle(handle);
  if (record == nullptr || protocol == nullptr) return EFI_INVALID_PARAMETER;
  Interface *entry = FindInterface(*record, *protocol);
  if (entry == nullptr || entry->interface != oldInterface) return EFI_NOT_FOUND;
  entry->interface = newInterface;
  entry->opens.clear();  // whoever held the old interface no longer has it open
  NotifyRegistrations(handle, *protocol);
  return EFI_SUCCESS;
}

EFI_STATUS ProtocolDatabase::Uninstall(EFI_HANDLE handle, const EFI_GUID *protocol,
                                       void *interface) {
  HandleRecord *record = FindHandle(handle);
  if (record == nullptr || protocol == nullptr) return EFI_INVALID_PARAMETER;
  Interface *entry = FindInterface(*record, *protocol);
  if (entry == nullptr || entry->interface != interface) return EFI_NOT_FOUND;
  record->interfaces.erase(record->interfaces.begin() + (entry - record->interfaces.data()));
  if (record->interfaces.empty()) liveHandles_.erase(handle);
  return EFI_SUCCESS;
}

EFI_STATUS ProtocolDatabase::HandleProtocol(EFI_HANDLE handle, const EFI_GUID *protocol,
                                            void **interface) {
  return OpenProtocol(handle, protocol, interface, nullptr, nullptr,
                      EFI_OPEN_PROTOCOL_BY_HANDLE_PROTOCOL);
}

EFI_STATUS ProtocolDatabase::OpenProtocol(EFI_HANDLE handle, const EFI_GUID *protocol,
                                          void **interface, EFI_HANDLE agent,
                                          EFI_HANDLE controller, UINT32 attributes) {
  if (protocol == nullptr) return EFI_INVALID_PARAMETER;
  if (interface == nullptr && attributes != EFI_OPEN_PROTOCOL_TEST_PROTOCOL) {
    return EFI_INVALID_PARAMETER;
  }
  if (interface != nullptr && attributes != EFI_OPEN_PROTOCOL_TEST_PROTOCOL) *interface = nullptr;
  HandleRecord *record = FindHandle(handle);
  if (record == nullptr) return EFI_INVALID_PARAMETER;
  if ((agent != nullptr && FindHandle(agent) == nullptr) ||
      (controller != nullptr && FindHandle(controller) == nullptr)) {
    return EFI_INVALID_PARAMETER;
  }
  switch (attributes) {
    case EFI_OPEN_PROTOCOL_BY_HANDLE_PROTOCOL:
    case EFI_OPEN_PROTOCOL_GET_PROTOCOL:
    case EFI_OPEN_PROTOCOL_TEST_PROTOCOL:
      break;
    case kOpenByChildController:
    case kOpenByDriver:
    case kOpenExclusive:
    case kOpenByDriver | kOpenExclusive:
      return EFI_UNSUPPORTED;  // the driver model is not simulated
    default:
      return EFI_INVALID_PARAMETER;
  }
  Interface *entry = FindInterface(*record, *protocol);
  if (entry == nullptr) return EFI_UNSUPPORTED;
  if (attributes == EFI_OPEN_PROTOCOL_TEST_PROTOCOL) return EFI_SUCCESS;
  *interface = entry->interface;
  if (agent != nullptr) entry->opens.push_back(OpenRecord{agent, controller, attributes});
  return EFI_SUCCESS;
}

EFI_STATUS ProtocolDatabase::CloseProtocol(EFI_HANDLE handle, const EFI_GUID *protocol,
                                           EFI_HANDLE agent, EFI_HANDLE controller) {
  HandleRecord *record = FindHandle(handle);
  if (record == nullptr || protocol == nullptr || FindHandle(agent) == nullptr) {
    return EFI_INVALID_PARAMETER;
  }
  if (controller != nullptr && FindHandle(controller) == nullptr) return EFI_INVALID_PARAMETER;
  Interface *entry = FindInterface(*record, *protocol);
  if (entry == nullptr) return EFI_NOT_FOUND;
  auto open = std::find_if(entry->opens.begin(), entry->opens.end(), [&](const OpenRecord &o) {
    return o.agent == agent && o.controller == controller;
  });
  if (open == entry->opens.end()) return EFI_NOT_FOUND;
  entry->opens.erase(open);
  return EFI_SUCCESS;
}

EFI_STATUS ProtocolDatabase::RegisterNotify(const EFI_GUID *protocol, EFI_EVENT event,
                                            void **registration) {
  if (protocol == nullptr || registration == nullptr || !events_.IsLive(event)) {
    return EFI_INVALID_PARAMETER;
  }
  auto created = std::make_unique<Registration>();
  created->protocol = *protocol;
  created->event = event;
  created->live = true;
  *registration = created.get();
  registrations_.push_back(std::move(created));
  return EFI_SUCCESS;
}

void ProtocolDatabase::DropRegistrationsOf(EFI_EVENT event) {
  for (const auto &registration : registrations_) {
    if (registration->event == event) {
      registration->live = false;
      registration->newHandles.clear();
    }
  }
}

size_t ProtocolDatabase::RegistrationCount() const {
  return static_cast<size_t>(std::count_if(registrations_.begin(), registrations_.end(),
                                           [](const auto &r) { return r->live; }));
}

EFI_HANDLE ProtocolDatabase::NextNewHandle(Registration &registration, bool consume) {
  while (!registration.newHandles.empty()) {
    EFI_HANDLE handle = registration.newHandles.front();
    if (HasProtocol(handle, registration.protocol)) {
      if (consume) registration.newHandles.pop_front();
      return handle;
    }
    registration.newHandles.pop_front();  // uninstalled again before anyone looked
  }
  return nullptr;
}

EFI_STATUS ProtocolDatabase::LocateProtocol(const EFI_GUID *protocol, void *registration,
                                            void **interface) {
  if (protocol == nullptr || interface == nullptr) return EFI_INVALID_PARAMETER;
  *interface = nullptr;
  if (registration != nullptr) {
    Registration *found = FindRegistration(registration);
    if (found == nullptr) return EFI_NOT_FOUND;
    EFI_HANDLE handle = NextNewHandle(*found, true);
    if (handle == nullptr) return EFI_NOT_FOUND;
    *interface = InterfaceOf(handle, found->protocol);
    return EFI_SUCCESS;
  }
  std::vector<ProtocolInstance> instances = InstancesOf(*protocol);
  if (instances.empty()) return EFI_NOT_FOUND;
  *interface = instances.front().interface;
  return EFI_SUCCESS;
}

EFI_STATUS ProtocolDatabase::Search(EFI_LOCATE_SEARCH_TYPE searchType, const EFI_GUID *protocol,
                                    void *searchKey, bool consume,
                                    std::vector<EFI_HANDLE> &handles) {
  handles.clear();
  switch (searchType) {
    case AllHandles:
      handles = Handles();
      break;
    case ByProtocol:
      if (protocol == nullptr) return EFI_INVALID_PARAMETER;
      for (const ProtocolInstance &instance : InstancesOf(*protocol)) {
        handles.push_back(instance.handle);
      }
      break;
    case ByRegisterNotify: {
      Registration *registration = FindRegistration(searchKey);
      if (registration == nullptr) return EFI_INVALID_PARAMETER;
      // One handle per call: the caller loops until nothing new is left.
      EFI_HANDLE handle = NextNewHandle(*registration, consume);
      if (handle != nullptr) handles.push_back(handle);
      break;
    }
    default:
      return EFI_INVALID_PARAMETER;
  }
  return handles.empty() ? EFI_NOT_FOUND : EFI_SUCCESS;
}

bool ProtocolDatabase::HasProtocol(EFI_HANDLE handle, const EFI_GUID &protocol) const {
  HandleRecord *record = FindHandle(handle);
  return record != nullptr && FindInterface(*record, protocol) != nullptr;
}

void *ProtocolDatabase::InterfaceOf(EFI_HANDLE handle, const EFI_GUID &protocol) const {
  HandleRecord *record = FindHandle(handle);
  if (record == nullptr) return nullptr;
  Interface *entry = FindInterface(*record, protocol);
  return entry == nullptr ? nullptr : entry->interface;
}

std::vector<ProtocolInstance> ProtocolDatabase::InstancesOf(const EFI_GUID &protocol) const {
  std::vector<std::pair<uint64_t, ProtocolInstance>> ordered;
  for (const auto &[handle, record] : liveHandles_) {
    for (const Interface &entry : record->interfaces) {
      if (GuidsEqual(entry.protocol, protocol)) {
        ordered.push_back({entry.installOrder, ProtocolInstance{handle, entry.interface}});
      }
    }
  }
  std::sort(ordered.begin(), ordered.end(),
            [](const auto &a, const auto &b) { return a.first < b.first; });
  std::vector<ProtocolInstance> instances;
  for (const auto &item : ordered) instances.push_back(item.second);
  return instances;
}

std::vector<EFI_GUID> ProtocolDatabase::ProtocolsOn(EFI_HANDLE handle) const {
  std::vector<EFI_GUID> protocols;
  HandleRecord *record = FindHandle(handle);
  if (record == nullptr) return protocols;
  for (const Interface &entry : record->interfaces) protocols.push_back(entry.protocol);
  return protocols;
}

std::vector<EFI_HANDLE> ProtocolDatabase::Handles() const {
  std::vector<EFI_HANDLE> handles;
  for (const auto &record : allHandles_) {
    if (liveHandles_.count(record.get()) != 0) handles.push_back(record.get());
  }
  return handles;
}

}  // namespace sim
