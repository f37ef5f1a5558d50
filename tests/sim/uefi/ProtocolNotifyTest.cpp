// RegisterProtocolNotify: who is told about which installs, and when the notify runs.
#include <vector>

#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using ProtocolNotifyTest = EnvironmentTest;

int earlier = 1;
int later = 2;
int latest = 3;

// Context for a notify function that drains its registration the way drivers do.
struct DrainingNotify {
  void *registration = nullptr;
  std::vector<void *> interfacesFound;
  EFI_TPL tplSeen = 0;
};

VOID EFIAPI DrainRegistration(EFI_EVENT, VOID *context) {
  auto *state = static_cast<DrainingNotify *>(context);
  UefiEnvironment &env = UefiEnvironment::Current();
  state->tplSeen = env.CurrentTpl();
  void *interface = nullptr;
  while (env.BootServices()->LocateProtocol(&kProtocolA, state->registration, &interface) ==
         EFI_SUCCESS) {
    state->interfacesFound.push_back(interface);
  }
}

TEST_F(ProtocolNotifyTest, FiresOnlyForInstallsAfterRegistration) {
  env.InstallProtocolOnNewHandle(kProtocolA, &earlier);

  DrainingNotify state;
  EFI_EVENT event = nullptr;
  ASSERT_EQ(bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, DrainRegistration, &state, &event),
            EFI_SUCCESS);
  ASSERT_EQ(bs->RegisterProtocolNotify(&kProtocolA, event, &state.registration), EFI_SUCCESS);
  ASSERT_NE(state.registration, nullptr);
  EXPECT_TRUE(state.interfacesFound.empty()) << "registering must not report existing instances";

  env.InstallProtocolOnNewHandle(kProtocolB, &later);  // another protocol: not ours
  EXPECT_TRUE(state.interfacesFound.empty());

  env.InstallProtocolOnNewHandle(kProtocolA, &later);
  EXPECT_EQ(state.interfacesFound, std::vector<void *>{&later});
  EXPECT_EQ(state.tplSeen, TPL_CALLBACK);
}

TEST_F(ProtocolNotifyTest, RunsAfterTheInstallingServiceHasFinished) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe);
  void *registration = nullptr;
  ASSERT_EQ(bs->RegisterProtocolNotify(&kProtocolA, event, &registration), EFI_SUCCESS);

  EFI_HANDLE handle = nullptr;
  ASSERT_EQ(bs->InstallProtocolInterface(&handle, &kProtocolA, EFI_NATIVE_INTERFACE, &later),
            EFI_SUCCESS);
  ASSERT_EQ(probe.runs, 1);
  EXPECT_EQ(probe.tplSeen, TPL_CALLBACK);
  EXPECT_EQ(probe.eventSeen, event);
  // The notify ran once the install was complete, not from inside it.
  EXPECT_TRUE(probe.lastCallFinished);
  EXPECT_EQ(probe.callsLoggedBefore, env.Calls().Entries().size());
  EXPECT_EQ(env.Calls().Entries().back().service, Service::InstallProtocolInterface);
  EXPECT_EQ(env.CurrentTpl(), TPL_APPLICATION);
}

TEST_F(ProtocolNotifyTest, WaitsWhileTheInstallerHoldsARaisedTpl) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe);
  void *registration = nullptr;
  ASSERT_EQ(bs->RegisterProtocolNotify(&kProtocolA, event, &registration), EFI_SUCCESS);

  EFI_TPL old = bs->RaiseTPL(TPL_CALLBACK);
  EFI_HANDLE handle = nullptr;
  ASSERT_EQ(bs->InstallProtocolInterface(&handle, &kProtocolA, EFI_NATIVE_INTERFACE, &later),
            EFI_SUCCESS);
  EXPECT_EQ(probe.runs, 0) << "a TPL_CALLBACK notify cannot run while the TPL is CALLBACK";
  bs->RestoreTPL(old);
  EXPECT_EQ(probe.runs, 1);
  EXPECT_EQ(probe.tplSeen, TPL_CALLBACK);
}

TEST_F(ProtocolNotifyTest, RegistrationHandsOutEachNewHandleOnce) {
  EFI_EVENT event = nullptr;
  NotifyProbe probe;
  event = MakeSignalEvent(probe);
  void *registration = nullptr;
  ASSERT_EQ(bs->RegisterProtocolNotify(&kProtocolA, event, &registration), EFI_SUCCESS);

  // Held at CALLBACK, so both installs happen before anyone looks.
  EFI_TPL old = bs->RaiseTPL(TPL_CALLBACK);
  EFI_HANDLE h1 = env.InstallProtocolOnNewHandle(kProtocolA, &later);
  EFI_HANDLE h2 = env.InstallProtocolOnNewHandle(kProtocolA, &latest);

  void *found = nullptr;
  EXPECT_EQ(bs->LocateProtocol(&kProtocolA, registration, &found), EFI_SUCCESS);
  EXPECT_EQ(found, &later);
  UINTN size = sizeof(EFI_HANDLE);
  EFI_HANDLE next = nullptr;
  EXPECT_EQ(bs->LocateHandle(ByRegisterNotify, nullptr, registration, &size, &next), EFI_SUCCESS);
  EXPECT_EQ(next, h2);
  EXPECT_EQ(bs->LocateProtocol(&kProtocolA, registration, &found), EFI_NOT_FOUND);
  bs->RestoreTPL(old);
  EXPECT_EQ(probe.runs, 1) << "both installs signalled one event, which notifies once";
  EXPECT_NE(h1, h2);
}

TEST_F(ProtocolNotifyTest, ReinstallCountsAsNewForTheRegistration) {
  EFI_HANDLE handle = env.InstallProtocolOnNewHandle(kProtocolA, &earlier);
  DrainingNotify state;
  EFI_EVENT event = nullptr;
  ASSERT_EQ(bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, DrainRegistration, &state, &event),
            EFI_SUCCESS);
  ASSERT_EQ(bs->RegisterProtocolNotify(&kProtocolA, event, &state.registration), EFI_SUCCESS);

  ASSERT_EQ(bs->ReinstallProtocolInterface(handle, &kProtocolA, &earlier, &later), EFI_SUCCESS);
  EXPECT_EQ(state.interfacesFound, std::vector<void *>{&later});
}

TEST_F(ProtocolNotifyTest, ClosingTheEventEndsTheRegistration) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe);
  void *registration = nullptr;
  ASSERT_EQ(bs->RegisterProtocolNotify(&kProtocolA, event, &registration), EFI_SUCCESS);
  ASSERT_EQ(bs->CloseEvent(event), EFI_SUCCESS);

  env.InstallProtocolOnNewHandle(kProtocolA, &later);
  EXPECT_EQ(probe.runs, 0);
  void *found = nullptr;
  EXPECT_EQ(bs->LocateProtocol(&kProtocolA, registration, &found), EFI_NOT_FOUND);
}

TEST_F(ProtocolNotifyTest, RegisterRejectsBadArguments) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe);
  void *registration = nullptr;
  int notAnEvent = 0;
  EXPECT_EQ(bs->RegisterProtocolNotify(nullptr, event, &registration), EFI_INVALID_PARAMETER);
  EXPECT_EQ(bs->RegisterProtocolNotify(&kProtocolA, &notAnEvent, &registration),
            EFI_INVALID_PARAMETER);
  EXPECT_EQ(bs->RegisterProtocolNotify(&kProtocolA, event, nullptr), EFI_INVALID_PARAMETER);
  EXPECT_EQ(env.Protocols().RegistrationCount(), 0u);
}

}  // namespace
}  // namespace sim
