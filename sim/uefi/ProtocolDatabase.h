// Handles and the protocol interfaces installed on them, protocol notify registrations and the
// searches over them.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "sim/uefi/EventManager.h"
#include "uefi/UefiSystemTable.h"

namespace sim {

struct ProtocolInstance {
  EFI_HANDLE handle;
  void *interface;
};

class ProtocolDatabase {
 public:
  explicit ProtocolDatabase(EventManager &events) : events_(events) {}
  ProtocolDatabase(const ProtocolDatabase &) = delete;
  ProtocolDatabase &operator=(const ProtocolDatabase &) = delete;

  EFI_STATUS Install(EFI_HANDLE *handle, const EFI_GUID *protocol, EFI_INTERFACE_TYPE type,
                     void *interface);
  EFI_STATUS Reinstall(EFI_HANDLE handle, const EFI_GUID *protocol, void *oldInterface,
                       void *newInterface);
  EFI_STATUS Uninstall(EFI_HANDLE handle, const EFI_GUID *protocol, void *interface);
  EFI_STATUS HandleProtocol(EFI_HANDLE handle, const EFI_GUID *protocol, void **interface);
  EFI_STATUS OpenProtocol(EFI_HANDLE handle, const EFI_GUID *protocol, void **interface,
                          EFI_HANDLE agent, EFI_HANDLE controller, UINT32 attributes);
  EFI_STATUS CloseProtocol(EFI_HANDLE handle, const EFI_GUID *protocol, EFI_HANDLE agent,
                           EFI_HANDLE controller);
  EFI_STATUS RegisterNotify(const EFI_GUID *protocol, EFI_EVENT event, void **registration);
  // Drops the registrations that signal `event`; closing an event ends its registrations.
  void DropRegistrationsOf(EFI_EVENT event);
  EFI_STATUS LocateProtocol(const EFI_GUID *protocol, void *registration, void **interface);
  // Matching handles for LocateHandle/LocateHandleBuffer. For ByRegisterNotify, `consume`
  // takes the returned handle off the registration's list of new handles.
  EFI_STATUS Search(EFI_LOCATE_SEARCH_TYPE searchType, const EFI_GUID *protocol, void *searchKey,
                    bool consume, std::vector<EFI_HANDLE> &handles);

  // Inspection for tests.
  bool IsValidHandle(EFI_HANDLE handle) const { return FindHandle(handle) != nullptr; }
  bool HasProtocol(EFI_HANDLE handle, const EFI_GUID &protocol) const;
  void *InterfaceOf(EFI_HANDLE handle, const EFI_GUID &protocol) const;  // null when absent
  std::vector<ProtocolInstance> InstancesOf(const EFI_GUID &protocol) const;  // install order
  std::vector<EFI_GUID> ProtocolsOn(EFI_HANDLE handle) const;
  std::vector<EFI_HANDLE> Handles() const;  // creation order
  size_t HandleCount() const { return liveHandles_.size(); }
  size_t RegistrationCount() const;

 private:
  struct OpenRecord {
    EFI_HANDLE agent;
    EFI_HANDLE controller;
    UINT32 attributes;
  };
  struct Interface {
    EFI_GUID protocol;
    void *interface;
    uint64_t installOrder;
    std::vector<OpenRecord> opens;
  };
  struct HandleRecord {
    uint64_t creationOrder;
    std::vector<Interface> interfaces;
  };
  struct Registration {
    EFI_GUID protocol;
    EFI_EVENT event;
    bool live;
    std::deque<EFI_HANDLE> newHandles;  // installs and reinstalls not yet located
  };

  HandleRecord *FindHandle(EFI_HANDLE handle) const;
  Registration *FindRegistration(void *key) const;
  static Interface *FindInterface(HandleRecord &record, const EFI_GUID &protocol);
  void NotifyRegistrations(EFI_HANDLE handle, const EFI_GUID &protocol);
  // Next handle new to the registration that still carries its protocol.
  EFI_HANDLE NextNewHandle(Registration &registration, bool consume);

  EventManager &events_;
  // Records are kept for the life of the environment so handle and registration values are
  // never reused, and a stale one is recognisably invalid.
  std::vector<std::unique_ptr<HandleRecord>> allHandles_;
  std::map<EFI_HANDLE, HandleRecord *> liveHandles_;
  std::vector<std::unique_ptr<Registration>> registrations_;
  uint64_t nextOrder_ = 1;
};

}  // namespace sim
