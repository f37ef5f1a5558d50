#include "sim/uefi/EventManager.h"

#include <algorithm>
#include <cstdio>

#include "sim/uefi/WellKnownGuids.h"

namespace sim {
namespace {

constexpr UINT32 kEventTypeBits = EVT_TIMER | EVT_RUNTIME | EVT_NOTIFY_WAIT | EVT_NOTIFY_SIGNAL;

bool IsSpecialSignalType(UINT32 type) {
  return type == EVT_SIGNAL_EXIT_BOOT_SERVICES || type == EVT_SIGNAL_VIRTUAL_ADDRESS_CHANGE;
}

bool IsValidType(UINT32 type) {
  if (IsSpecialSignalType(type)) return true;
  if ((type & ~kEventTypeBits) != 0) return false;
  // A notify function either runs on signal or while waited on, never both.
  return (type & (EVT_NOTIFY_WAIT | EVT_NOTIFY_SIGNAL)) != (EVT_NOTIFY_WAIT | EVT_NOTIFY_SIGNAL);
}

std::string TplText(EFI_TPL tpl) {
  char text[24];
  std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(tpl));
  return text;
}

}  // namespace

EventManager::Record *EventManager::Lookup(EFI_EVENT event) const {
  auto it = live_.find(event);
  return it == live_.end() ? nullptr : it->second;
}

const EventInfo *EventManager::Find(EFI_EVENT event) const {
  Record *record = Lookup(event);
  return record == nullptr ? nullptr : &record->info;
}

std::vector<EFI_EVENT> EventManager::LiveEvents() const {
  std::vector<EFI_EVENT> events;
  for (const auto &record : allRecords_) {
    if (IsLive(record.get())) events.push_back(record.get());
  }
  return events;
}

EFI_STATUS EventManager::Create(UINT32 type, EFI_TPL notifyTpl, EFI_EVENT_NOTIFY notifyFunction,
                                const void *notifyContext, const EFI_GUID *group, bool isEx,
                                EFI_EVENT *event) {
  if (event == nullptr || !IsValidType(type)) return EFI_INVALID_PARAMETER;
  // These two legacy types name their group implicitly; combining them with another group is
  // contradictory.
  if (isEx && group != nullptr && IsSpecialSignalType(type)) return EFI_INVALID_PARAMETER;
  if ((type & (EVT_NOTIFY_WAIT | EVT_NOTIFY_SIGNAL)) != 0) {
    if (notifyFunction == nullptr) return EFI_INVALID_PARAMETER;
    if (notifyTpl <= TPL_APPLICATION || notifyTpl > TPL_HIGH_LEVEL) return EFI_INVALID_PARAMETER;
  }

  auto record = std::make_unique<Record>();
  EventInfo &info = record->info;
  info.type = type;
  info.notifyTpl = notifyTpl;
  info.notifyFunction = notifyFunction;
  info.notifyContext = const_cast<void *>(notifyContext);
  info.inGroup = false;
  info.group = EFI_GUID{};
  info.signalled = false;
  info.notifyQueued = false;
  if (group != nullptr) {
    info.inGroup = true;
    info.group = *group;
  } else if (type == EVT_SIGNAL_EXIT_BOOT_SERVICES) {
    info.inGroup = true;
    info.group = kEventGroupExitBootServices;
  } else if (type == EVT_SIGNAL_VIRTUAL_ADDRESS_CHANGE) {
    info.inGroup = true;
    info.group = kEventGroupVirtualAddressChange;
  }

  Record *raw = record.get();
  allRecords_.push_back(std::move(record));
  live_[raw] = raw;
  *event = raw;
  return EFI_SUCCESS;
}

void EventManager::Queue(Record &record) {
  if (record.info.notifyQueued) return;
  record.info.notifyQueued = true;
  queue_.push_back(&record);
}

void EventManager::SignalOne(Record &record) {
  if (record.info.signalled) return;
  record.info.signalled = true;
  if ((record.info.type & EVT_NOTIFY_SIGNAL) != 0) Queue(record);
}

EFI_STATUS EventManager::Signal(EFI_EVENT event) {
  Record *record = Lookup(event);
  if (record == nullptr) return EFI_INVALID_PARAMETER;
  if (record->info.inGroup) {
    SignalGroup(record->info.group);
  } else {
    SignalOne(*record);
  }
  return EFI_SUCCESS;
}

void EventManager::SignalGroup(const EFI_GUID &group) {
  // Creation order, so members of one TPL are notified in a stable order.
  for (const auto &record : allRecords_) {
    if (IsLive(record.get()) && record->info.inGroup && GuidsEqual(record->info.group, group)) {
      SignalOne(*record);
    }
  }
}

EFI_STATUS EventManager::Close(EFI_EVENT event) {
  Record *record = Lookup(event);
  if (record == nullptr) return EFI_INVALID_PARAMETER;
  queue_.erase(std::remove(queue_.begin(), queue_.end(), record), queue_.end());
  record->info.notifyQueued = false;
  live_.erase(event);
  return EFI_SUCCESS;
}

EFI_STATUS EventManager::Check(EFI_EVENT event, EFI_TPL callerTpl) {
  Record *record = Lookup(event);
  if (record == nullptr) return EFI_INVALID_PARAMETER;
  if ((record->info.type & EVT_NOTIFY_SIGNAL) != 0) return EFI_INVALID_PARAMETER;
  if (!record->info.signalled && (record->info.type & EVT_NOTIFY_WAIT) != 0) {
    // A wait event's notify function is how it gets signalled; give it the chance to run at
    // the caller's level before answering.
    Queue(*record);
    EFI_TPL inside = currentTpl_;
    DispatchDownTo(callerTpl);
    currentTpl_ = inside;
    record = Lookup(event);  // the notify function may have closed it
    if (record == nullptr) return EFI_NOT_READY;
  }
  if (!record->info.signalled) return EFI_NOT_READY;
  record->info.signalled = false;
  return EFI_SUCCESS;
}

EFI_TPL EventManager::Raise(EFI_TPL newTpl) {
  EFI_TPL old = currentTpl_;
  if (newTpl < old) {
    usageErrors_.push_back("RaiseTPL(" + TplText(newTpl) + ") below the current TPL " +
                           TplText(old));
  } else if (newTpl > TPL_HIGH_LEVEL) {
    usageErrors_.push_back("RaiseTPL(" + TplText(newTpl) + ") above TPL_HIGH_LEVEL");
  }
  currentTpl_ = newTpl;
  return old;
}

void EventManager::Restore(EFI_TPL oldTpl) {
  if (oldTpl > currentTpl_) {
    usageErrors_.push_back("RestoreTPL(" + TplText(oldTpl) + ") above the current TPL " +
                           TplText(currentTpl_));
  }
  DispatchDownTo(oldTpl);
}

void EventManager::DispatchDownTo(EFI_TPL level) {
  for (;;) {
    auto next = queue_.end();
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
      if ((*it)->info.notifyTpl > level &&
          (next == queue_.end() || (*it)->info.notifyTpl > (*next)->info.notifyTpl)) {
        next = it;
      }
    }
    if (next == queue_.end()) break;
    Record *record = *next;
    queue_.erase(next);
    record->info.notifyQueued = false;
    // A signal event returns to the waiting state once its notification has been delivered.
    if ((record->info.type & EVT_NOTIFY_SIGNAL) != 0) record->info.signalled = false;
    currentTpl_ = record->info.notifyTpl;
    EFI_EVENT_NOTIFY notify = record->info.notifyFunction;
    notify(record, record->info.notifyContext);  // may close this or any other event
  }
  currentTpl_ = level;
}

}  // namespace sim
