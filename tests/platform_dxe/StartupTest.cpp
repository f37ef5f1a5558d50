// Driver start-up: what a client finds after the entry point, the order of the calls, and
// that every failure leaves nothing behind.
#include <cstring>

#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

using sim::Service;

TEST_F(DxeTest, InstallsTheInterfaceOnItsOwnImageHandle) {
  StartDriverWithBoard();

  PLATFORM_SERVICES_PROTOCOL *Interface = InstalledInterface();
  ASSERT_NE(Interface, nullptr);
  EXPECT_EQ(Env().InterfacesOf(kPlatformServicesGuid), std::vector<void *>{Interface});
  EXPECT_EQ(std::memcmp(Interface, "$OFC", 4), 0);
  EXPECT_EQ(Interface->HeaderValue, 0x4000u);
  EXPECT_EQ(DxeModule.BoardSupport, &BoardSupport.Protocol);
}

TEST_F(DxeTest, InformationRecordBeforeAnySharedData) {
  StartDriverWithBoard();

  const PLATFORM_SERVICES_INFO *Info = InstalledInterface()->ServicesInfo;
  ASSERT_NE(Info, nullptr);
  EXPECT_EQ(Info->InfoValueA, 900u);
  EXPECT_EQ(Info->SharedBase, 0u);
  EXPECT_EQ(Info->SharedItemAddress, 0u);
  EXPECT_EQ(Info->InfoValueB, 178u);
  const auto *Offsets = (const UINT16 *)(UINTN)Info->OffsetTable;
  ASSERT_NE(Offsets, nullptr);
  const UINT16 Expected[12] = {110, 111, 117, 220, 127, 128, 129, 149, 121, 51, 530, 599};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Offsets[i], Expected[i]) << "entry " << i;
}

TEST_F(DxeTest, SlotsReachTheOperationsThroughTheClientLayout) {
  StartDriverWithBoard();
  const auto *Bytes = (const UINT8 *)InstalledInterface();

  // Read the slots at their published byte offsets, as a client built elsewhere would.
  auto Slot = [&](int n) {
    VOID *Pointer;
    std::memcpy(&Pointer, Bytes + 16 + 8 * (n - 1), sizeof(Pointer));
    return Pointer;
  };
  EXPECT_EQ(Slot(4), (VOID *)CmosRead8);
  EXPECT_EQ(Slot(10), (VOID *)Reserved);
  EXPECT_EQ(Slot(11), (VOID *)GetDiskChannelMap);
  EXPECT_EQ(Slot(12), (VOID *)PlatformCall);
  EXPECT_EQ(Slot(13), (VOID *)GetPciExpressAddress);
  EXPECT_EQ(Slot(14), (VOID *)SetFlashWriteEnable);
  for (int n = 1; n <= 16; ++n) EXPECT_NE(Slot(n), nullptr) << "slot " << n;

  // Slot 16 is the time-stamp counter itself: two calls through it see the counter move.
  auto ReadCounter = (PLATFORM_READ_TIME_STAMP_COUNTER)Slot(16);
  UINT64 First = ReadCounter();
  UINT64 Second = ReadCounter();
  EXPECT_GT(Second, First);
}

TEST_F(DxeTest, StartUpRunsInItsOrderAndKeepsOnlyInterfaceAndRecord) {
  InstallBoardSupport();
  Env().Calls().Clear();
  ASSERT_EQ(StartDriver(), EFI_SUCCESS);

  const std::vector<Service> Expected = {
      Service::LocateProtocol, Service::AllocatePool,     Service::SetMem,
      Service::AllocatePool,   Service::SetMem,           Service::InstallProtocolInterface,
      Service::CreateEvent,    Service::RegisterProtocolNotify,
      // The flash subsystem's boot script save protocol, bound once start-up has succeeded.
      Service::LocateProtocol};
  EXPECT_EQ(Env().Calls().Services(), Expected) << CallTrace();

  const auto &Live = Env().Pool().Live();
  ASSERT_EQ(Live.size(), 2u) << Env().Pool().DescribeLive();
  EXPECT_EQ(Live[0].size, 144u);
  EXPECT_EQ(Live[1].size, 40u);
  EXPECT_EQ(Live[0].type, EfiBootServicesData);
  EXPECT_EQ(Live[0].address, InstalledInterface());
  EXPECT_EQ(Live[1].address, InstalledInterface()->ServicesInfo);
  EXPECT_EQ(Env().LiveEventCount(), 1u);
}

TEST_F(DxeTest, WithoutBoardSupportReturnsTheLocateStatusAndInstallsNothing) {
  EXPECT_EQ(StartDriver(), EFI_NOT_FOUND);
  EXPECT_TRUE(Env().InterfacesOf(kPlatformServicesGuid).empty());
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  EXPECT_EQ(Env().LiveEventCount(), 0u);
  EXPECT_EQ(Env().Calls().Count(Service::AllocatePool), 0u);
}

// One row per failing step: what the entry point returns, and that nothing is left behind:
// no protocol for a client to find, no event whose notify function would outlive the image,
// no pool memory.
struct StartupFailure {
  const char *Name;
  Service FailingService;
  unsigned Nth;
  EFI_STATUS Injected;
  EFI_STATUS Expected;
};

class StartupFailureTest : public DxeTest, public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFailureTest, LeavesNothingBehind) {
  const StartupFailure &Row = GetParam();
  InstallBoardSupport();
  Env().Failures().FailNthCall(Row.FailingService, Row.Nth, Row.Injected);

  EXPECT_EQ(StartDriver(), Row.Expected) << CallTrace();
  EXPECT_TRUE(Env().InterfacesOf(kPlatformServicesGuid).empty());
  EXPECT_FALSE(Env().HandleHasProtocol(ImageHandle, kPlatformServicesGuid));
  EXPECT_EQ(Env().Pool().LiveCount(), 0u) << Env().Pool().DescribeLive();
  EXPECT_EQ(Env().LiveEventCount(), 0u);
  EXPECT_EQ(DxeModule.Interface, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, StartupFailureTest,
    ::testing::Values(
        StartupFailure{"LocateBoard", Service::LocateProtocol, 1, EFI_UNSUPPORTED,
                       EFI_UNSUPPORTED},
        StartupFailure{"InterfaceAllocation", Service::AllocatePool, 1, EFI_OUT_OF_RESOURCES,
                       EFI_OUT_OF_RESOURCES},
        StartupFailure{"RecordAllocation", Service::AllocatePool, 2, EFI_OUT_OF_RESOURCES,
                       EFI_OUT_OF_RESOURCES},
        StartupFailure{"Install", Service::InstallProtocolInterface, 1, EFI_INVALID_PARAMETER,
                       EFI_INVALID_PARAMETER},
        StartupFailure{"CreateEvent", Service::CreateEvent, 1, EFI_OUT_OF_RESOURCES,
                       EFI_ABORTED},
        StartupFailure{"RegisterNotify", Service::RegisterProtocolNotify, 1,
                       EFI_OUT_OF_RESOURCES, EFI_ABORTED}),
    [](const ::testing::TestParamInfo<StartupFailure> &Info) { return Info.param.Name; });

TEST_F(DxeTest, AllocationFailureFromThePoolItselfIsOutOfResources) {
  InstallBoardSupport();
  Env().Pool().FailNthAllocation(2);
  EXPECT_EQ(StartDriver(), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u) << Env().Pool().DescribeLive();
}

TEST_F(DxeTest, ProtocolHeldOpenWhenStartUpFailsKeepsItsMemory) {
  // If the protocol cannot be withdrawn, whoever holds it must not be left with freed memory.
  InstallBoardSupport();
  Env().Failures().FailNextCall(Service::RegisterProtocolNotify, EFI_OUT_OF_RESOURCES);
  Env().Failures().FailNextCall(Service::UninstallProtocolInterface, EFI_ACCESS_DENIED);

  EXPECT_EQ(StartDriver(), EFI_ABORTED);
  EXPECT_EQ(Env().LiveEventCount(), 0u);
  PLATFORM_SERVICES_PROTOCOL *Interface = InstalledInterface();
  ASSERT_NE(Interface, nullptr);
  EXPECT_NE(Env().Pool().Find(Interface), nullptr);
  EXPECT_NE(Env().Pool().Find(Interface->ServicesInfo), nullptr);
}

}  // namespace
}  // namespace dxe_test
