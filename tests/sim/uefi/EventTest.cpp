// Events, event groups and TPL-ordered notification.
#include <vector>

#include "sim/uefi/WellKnownGuids.h"
#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using EventTest = EnvironmentTest;

TEST_F(EventTest, CreateEventValidatesTypeTplAndNotifyFunction) {
  struct Case {
    const char *what;
    UINT32 type;
    EFI_TPL tpl;
    bool withNotify;
    EFI_STATUS expected;
  } cases[] = {
      {"signal event at CALLBACK", EVT_NOTIFY_SIGNAL, TPL_CALLBACK, true, EFI_SUCCESS},
      {"signal event at NOTIFY", EVT_NOTIFY_SIGNAL, TPL_NOTIFY, true, EFI_SUCCESS},
      {"signal event at HIGH_LEVEL", EVT_NOTIFY_SIGNAL, TPL_HIGH_LEVEL, true, EFI_SUCCESS},
      {"wait event", EVT_NOTIFY_WAIT, TPL_NOTIFY, true, EFI_SUCCESS},
      {"plain event needs no notify", 0, 0, false, EFI_SUCCESS},
      {"exit-boot-services event", EVT_SIGNAL_EXIT_BOOT_SERVICES, TPL_NOTIFY, true, EFI_SUCCESS},
      {"signal event without notify function", EVT_NOTIFY_SIGNAL, TPL_CALLBACK, false,
       EFI_INVALID_PARAMETER},
      {"signal event at APPLICATION", EVT_NOTIFY_SIGNAL, TPL_APPLICATION, true,
       EFI_INVALID_PARAMETER},
      {"signal event above HIGH_LEVEL", EVT_NOTIFY_SIGNAL, TPL_HIGH_LEVEL + 1, true,
       EFI_INVALID_PARAMETER},
      {"wait and signal together", EVT_NOTIFY_SIGNAL | EVT_NOTIFY_WAIT, TPL_CALLBACK, true,
       EFI_INVALID_PARAMETER},
      {"undefined type bit", 0x00000001, TPL_CALLBACK, true, EFI_INVALID_PARAMETER},
  };
  NotifyProbe probe;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    EFI_EVENT event = nullptr;
    EXPECT_EQ(bs->CreateEvent(c.type, c.tpl, c.withNotify ? RecordNotify : nullptr, &probe, &event),
              c.expected);
    EXPECT_EQ(event != nullptr, c.expected == EFI_SUCCESS);
  }
  EXPECT_EQ(bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &probe, nullptr),
            EFI_INVALID_PARAMETER);
  EXPECT_EQ(env.LiveEventCount(), 6u);
}

TEST_F(EventTest, SignalRunsTheNotifyOnceAtItsOwnTpl) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe, TPL_NOTIFY);
  ASSERT_EQ(bs->SignalEvent(event), EFI_SUCCESS);
  EXPECT_EQ(probe.runs, 1);
  EXPECT_EQ(probe.tplSeen, TPL_NOTIFY);
  EXPECT_EQ(env.CurrentTpl(), TPL_APPLICATION);

  // Signalling twice before delivery notifies once; after delivery it can notify again.
  EFI_TPL old = bs->RaiseTPL(TPL_HIGH_LEVEL);
  bs->SignalEvent(event);
  bs->SignalEvent(event);
  bs->RestoreTPL(old);
  EXPECT_EQ(probe.runs, 2);
}

// Records the order notify functions ran in.
std::vector<int> notifyOrder;
VOID EFIAPI AppendOrder(EFI_EVENT, VOID *context) {
  notifyOrder.push_back(*static_cast<int *>(context));
}

TEST_F(EventTest, PendingNotifiesRunHighestTplFirstOnRestore) {
  notifyOrder.clear();
  int callbackFirst = 1, notifyLevel = 2, callbackSecond = 3;
  EFI_EVENT a = nullptr, b = nullptr, c = nullptr;
  bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, AppendOrder, &callbackFirst, &a);
  bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_NOTIFY, AppendOrder, &notifyLevel, &b);
  bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, AppendOrder, &callbackSecond, &c);

  EFI_TPL old = bs->RaiseTPL(TPL_HIGH_LEVEL);
  bs->SignalEvent(a);
  bs->SignalEvent(b);
  bs->SignalEvent(c);
  EXPECT_TRUE(notifyOrder.empty());
  bs->RestoreTPL(TPL_NOTIFY);
  EXPECT_TRUE(notifyOrder.empty()) << "a TPL_NOTIFY notify waits until the TPL drops below it";
  bs->RestoreTPL(TPL_CALLBACK);
  EXPECT_EQ(notifyOrder, (std::vector<int>{2})) << "only notifies above the restored TPL run";
  bs->RestoreTPL(old);
  EXPECT_EQ(notifyOrder, (std::vector<int>{2, 1, 3}));
}

TEST_F(EventTest, SignallingOneGroupMemberSignalsTheWholeGroup) {
  NotifyProbe first, second, otherGroup, ungrouped;
  EFI_EVENT e1 = nullptr, e2 = nullptr, e3 = nullptr;
  ASSERT_EQ(bs->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &first, &kGroupX, &e1),
            EFI_SUCCESS);
  ASSERT_EQ(
      bs->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_NOTIFY, RecordNotify, &second, &kGroupX, &e2),
      EFI_SUCCESS);
  ASSERT_EQ(
      bs->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &otherGroup, &kGroupY, &e3),
      EFI_SUCCESS);
  MakeSignalEvent(ungrouped);

  ASSERT_EQ(bs->SignalEvent(e1), EFI_SUCCESS);
  EXPECT_EQ(first.runs, 1);
  EXPECT_EQ(second.runs, 1);
  EXPECT_EQ(second.tplSeen, TPL_NOTIFY);
  EXPECT_EQ(otherGroup.runs, 0);
  EXPECT_EQ(ungrouped.runs, 0);
  EXPECT_EQ(first.eventSeen, e1);
  EXPECT_EQ(second.eventSeen, e2) << "each member is notified with its own event";
}

TEST_F(EventTest, CreateEventExWithoutGroupBehavesLikeCreateEvent) {
  NotifyProbe probe;
  EFI_EVENT event = nullptr;
  ASSERT_EQ(bs->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &probe, nullptr,
                              &event),
            EFI_SUCCESS);
  env.SignalEventGroup(kGroupX);
  EXPECT_EQ(probe.runs, 0);
  bs->SignalEvent(event);
  EXPECT_EQ(probe.runs, 1);
  // The legacy exit-boot-services type names its own group and cannot take another.
  EXPECT_EQ(bs->CreateEventEx(EVT_SIGNAL_EXIT_BOOT_SERVICES, TPL_CALLBACK, RecordNotify, &probe,
                              &kGroupX, &event),
            EFI_INVALID_PARAMETER);
}

TEST_F(EventTest, ExitBootServicesTypeJoinsTheExitBootServicesGroup) {
  NotifyProbe legacy, grouped, readyToBoot;
  EFI_EVENT e = nullptr;
  ASSERT_EQ(bs->CreateEvent(EVT_SIGNAL_EXIT_BOOT_SERVICES, TPL_NOTIFY, RecordNotify, &legacy, &e),
            EFI_SUCCESS);
  ASSERT_EQ(bs->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &grouped,
                              &kEventGroupExitBootServices, &e),
            EFI_SUCCESS);
  ASSERT_EQ(bs->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &readyToBoot,
                              &kEventGroupReadyToBoot, &e),
            EFI_SUCCESS);
  env.SignalEventGroup(kEventGroupExitBootServices);
  EXPECT_EQ(legacy.runs, 1);
  EXPECT_EQ(grouped.runs, 1);
  EXPECT_EQ(readyToBoot.runs, 0);
}

TEST_F(EventTest, CloseEventRejectsUnknownAndClosedEvents) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe);
  int notAnEvent = 0;
  EXPECT_EQ(bs->CloseEvent(&notAnEvent), EFI_INVALID_PARAMETER);
  EXPECT_EQ(bs->CloseEvent(nullptr), EFI_INVALID_PARAMETER);
  ASSERT_EQ(bs->CloseEvent(event), EFI_SUCCESS);
  EXPECT_EQ(bs->CloseEvent(event), EFI_INVALID_PARAMETER);
  EXPECT_EQ(bs->SignalEvent(event), EFI_INVALID_PARAMETER);
  EXPECT_EQ(env.LiveEventCount(), 0u);
}

TEST_F(EventTest, ClosingAnEventCancelsItsPendingNotify) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe);
  EFI_TPL old = bs->RaiseTPL(TPL_NOTIFY);
  bs->SignalEvent(event);
  bs->CloseEvent(event);
  bs->RestoreTPL(old);
  EXPECT_EQ(probe.runs, 0);
}

// Signals its own event, the way a wait event's notify reports readiness.
VOID EFIAPI SignalSelf(EFI_EVENT event, VOID *) {
  UefiEnvironment::Current().BootServices()->SignalEvent(event);
}

TEST_F(EventTest, CheckEventRunsAWaitNotifyAndConsumesTheSignal) {
  EFI_EVENT waitEvent = nullptr;
  ASSERT_EQ(bs->CreateEvent(EVT_NOTIFY_WAIT, TPL_CALLBACK, SignalSelf, nullptr, &waitEvent),
            EFI_SUCCESS);
  EXPECT_EQ(bs->CheckEvent(waitEvent), EFI_SUCCESS);

  EFI_EVENT plain = nullptr;
  ASSERT_EQ(bs->CreateEvent(0, 0, nullptr, nullptr, &plain), EFI_SUCCESS);
  EXPECT_EQ(bs->CheckEvent(plain), EFI_NOT_READY);
  bs->SignalEvent(plain);
  EXPECT_EQ(bs->CheckEvent(plain), EFI_SUCCESS);
  EXPECT_EQ(bs->CheckEvent(plain), EFI_NOT_READY) << "CheckEvent clears the signalled state";

  NotifyProbe probe;
  EXPECT_EQ(bs->CheckEvent(MakeSignalEvent(probe)), EFI_INVALID_PARAMETER);
}

TEST_F(EventTest, TplMisuseIsRecorded) {
  EFI_TPL old = bs->RaiseTPL(TPL_NOTIFY);
  EXPECT_EQ(old, TPL_APPLICATION);
  bs->RaiseTPL(TPL_CALLBACK);  // lowering through RaiseTPL
  void *buffer = nullptr;
  bs->RestoreTPL(TPL_HIGH_LEVEL);
  bs->AllocatePool(EfiBootServicesData, 8, &buffer);  // pool services end at TPL_NOTIFY
  bs->RestoreTPL(old);
  bs->FreePool(buffer);
  ASSERT_EQ(env.UsageErrors().size(), 3u);
  EXPECT_NE(env.UsageErrors()[0].find("RaiseTPL"), std::string::npos);
  EXPECT_NE(env.UsageErrors()[1].find("RestoreTPL"), std::string::npos);
  EXPECT_NE(env.UsageErrors()[2].find("AllocatePool"), std::string::npos);
}

}  // namespace
}  // namespace sim
