// The call log a start-up order test reads, and failure injection for error paths.
#include <vector>

#include "sim/uefi/GuidText.h"
#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using CallLogAndFailureTest = EnvironmentTest;

int interfaceA = 1;

TEST_F(CallLogAndFailureTest, LogRecordsServicesInOrderWithTheirKeyArgument) {
  void *found = nullptr;
  void *buffer = nullptr;
  bs->LocateProtocol(&kProtocolA, nullptr, &found);
  bs->AllocatePool(EfiBootServicesData, 64, &buffer);
  EFI_HANDLE handle = nullptr;
  bs->InstallProtocolInterface(&handle, &kProtocolB, EFI_NATIVE_INTERFACE, &interfaceA);
  bs->FreePool(buffer);

  EXPECT_EQ(env.Calls().Services(),
            (std::vector<Service>{Service::LocateProtocol, Service::AllocatePool,
                                  Service::InstallProtocolInterface, Service::FreePool}));
  const auto &entries = env.Calls().Entries();
  EXPECT_EQ(entries[0].detail, GuidText(kProtocolA));
  EXPECT_EQ(entries[0].status, EFI_NOT_FOUND);
  EXPECT_EQ(entries[1].detail, "64");
  EXPECT_EQ(entries[2].detail, GuidText(kProtocolB));
  EXPECT_EQ(entries[2].status, EFI_SUCCESS);
}

TEST_F(CallLogAndFailureTest, CallsFromNotifyFunctionsFollowTheCallThatTriggeredThem) {
  NotifyProbe probe;
  EFI_EVENT event = MakeSignalEvent(probe);
  bs->SignalEvent(event);
  ASSERT_EQ(probe.runs, 1);
  // The notify ran after SignalEvent was logged.
  EXPECT_EQ(probe.callsLoggedBefore, env.Calls().Entries().size());
  EXPECT_EQ(env.Calls().Entries().back().service, Service::SignalEvent);
}

TEST_F(CallLogAndFailureTest, InjectedFailureReturnsWithoutDoingAnything) {
  struct Case {
    Service service;
    EFI_STATUS status;
  } cases[] = {
      {Service::InstallProtocolInterface, EFI_OUT_OF_RESOURCES},
      {Service::CreateEvent, EFI_OUT_OF_RESOURCES},
      {Service::LocateProtocol, EFI_NOT_FOUND},
      {Service::AllocatePool, EFI_OUT_OF_RESOURCES},
  };
  env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  for (const Case &c : cases) {
    SCOPED_TRACE(ServiceName(c.service));
    env.Failures().FailNextCall(c.service, c.status);
  }

  EFI_HANDLE handle = nullptr;
  EXPECT_EQ(bs->InstallProtocolInterface(&handle, &kProtocolB, EFI_NATIVE_INTERFACE, &interfaceA),
            EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(handle, nullptr);
  EXPECT_TRUE(env.InterfacesOf(kProtocolB).empty());

  NotifyProbe probe;
  EFI_EVENT event = nullptr;
  EXPECT_EQ(bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &probe, &event),
            EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(env.LiveEventCount(), 0u);

  void *found = nullptr;
  EXPECT_EQ(bs->LocateProtocol(&kProtocolA, nullptr, &found), EFI_NOT_FOUND);

  void *buffer = nullptr;
  EXPECT_EQ(bs->AllocatePool(EfiBootServicesData, 8, &buffer), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(env.Pool().LiveCount(), 0u);

  // Each rule was one-shot: the second call of each service works again.
  EXPECT_EQ(bs->LocateProtocol(&kProtocolA, nullptr, &found), EFI_SUCCESS);
  EXPECT_EQ(found, &interfaceA);
  for (const ServiceCall &call : env.Calls().Entries()) {
    EXPECT_EQ(call.injected, call.status != EFI_SUCCESS) << ServiceName(call.service);
  }
}

TEST_F(CallLogAndFailureTest, NthCallAndEveryCallInjection) {
  env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  env.Failures().FailNthCall(Service::HandleProtocol, 3, EFI_DEVICE_ERROR);
  void *found = nullptr;
  EFI_HANDLE handle = env.Protocols().Handles().back();
  std::vector<EFI_STATUS> results;
  for (int i = 0; i < 4; ++i) results.push_back(bs->HandleProtocol(handle, &kProtocolA, &found));
  EXPECT_EQ(results, (std::vector<EFI_STATUS>{EFI_SUCCESS, EFI_SUCCESS, EFI_DEVICE_ERROR,
                                              EFI_SUCCESS}));

  env.Failures().FailEveryCall(Service::LocateHandleBuffer, EFI_OUT_OF_RESOURCES);
  UINTN count = 0;
  EFI_HANDLE *buffer = nullptr;
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(bs->LocateHandleBuffer(AllHandles, nullptr, nullptr, &count, &buffer),
              EFI_OUT_OF_RESOURCES);
  }
  env.Failures().Clear();
  ASSERT_EQ(bs->LocateHandleBuffer(AllHandles, nullptr, nullptr, &count, &buffer), EFI_SUCCESS);
  bs->FreePool(buffer);
}

TEST_F(CallLogAndFailureTest, ServicesNotSimulatedAreUnsupportedAndLogged) {
  EFI_PHYSICAL_ADDRESS memory = 0;
  EXPECT_EQ(bs->AllocatePages(AllocateAnyPages, EfiBootServicesData, 1, &memory),
            EFI_UNSUPPORTED);
  UINTN dataSize = 0;
  EXPECT_EQ(rt->GetVariable(nullptr, nullptr, nullptr, &dataSize, nullptr), EFI_UNSUPPORTED);
  EXPECT_EQ(env.Calls().Services(),
            (std::vector<Service>{Service::AllocatePages, Service::GetVariable}));
}

}  // namespace
}  // namespace sim
