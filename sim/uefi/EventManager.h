// Events, event groups and the task priority level. Notify functions of signalled events are
// queued and run, highest TPL first, whenever the TPL drops below their notify TPL.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "uefi/UefiSystemTable.h"

namespace sim {

struct EventInfo {
  UINT32 type;
  EFI_TPL notifyTpl;
  EFI_EVENT_NOTIFY notifyFunction;
  void *notifyContext;
  bool inGroup;
  EFI_GUID group;
  bool signalled;
  bool notifyQueued;
};

class EventManager {
 public:
  explicit EventManager(std::vector<std::string> &usageErrors) : usageErrors_(usageErrors) {}
  EventManager(const EventManager &) = delete;
  EventManager &operator=(const EventManager &) = delete;

  // CreateEvent when `group` is null, CreateEventEx otherwise (`isEx` selects the rules).
  EFI_STATUS Create(UINT32 type, EFI_TPL notifyTpl, EFI_EVENT_NOTIFY notifyFunction,
                    const void *notifyContext, const EFI_GUID *group, bool isEx, EFI_EVENT *event);
  EFI_STATUS Signal(EFI_EVENT event);
  // Signals every member of the group, as when the platform reaches that point of boot.
  void SignalGroup(const EFI_GUID &group);
  EFI_STATUS Close(EFI_EVENT event);
  // `callerTpl` is the TPL of the code that called CheckEvent, so a wait notify can run.
  EFI_STATUS Check(EFI_EVENT event, EFI_TPL callerTpl);

  EFI_TPL Raise(EFI_TPL newTpl);
  void Restore(EFI_TPL oldTpl);
  EFI_TPL CurrentTpl() const { return currentTpl_; }

  bool IsLive(EFI_EVENT event) const { return live_.count(event) != 0; }
  size_t LiveCount() const { return live_.size(); }
  std::vector<EFI_EVENT> LiveEvents() const;
  // Null for an unknown or closed event.
  const EventInfo *Find(EFI_EVENT event) const;

 private:
  struct Record {
    EventInfo info;
  };
  Record *Lookup(EFI_EVENT event) const;
  void SignalOne(Record &record);
  void Queue(Record &record);
  // Runs queued notify functions above `level`, highest TPL first, then settles at `level`.
  void DispatchDownTo(EFI_TPL level);

  std::vector<std::string> &usageErrors_;
  // Records outlive CloseEvent so a stale EFI_EVENT never aliases a newer event.
  std::vector<std::unique_ptr<Record>> allRecords_;
  std::map<EFI_EVENT, Record *> live_;
  std::vector<Record *> queue_;  // signal order; dispatch picks the highest TPL first
  EFI_TPL currentTpl_ = TPL_APPLICATION;
};

}  // namespace sim
