// The information record learns the shared data base from the board's shared data protocol,
// on every installation after start-up.
#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

class SharedDataTest : public DxeTest {
 protected:
  const PLATFORM_SERVICES_INFO &Info() { return *DxeModule.Interface->ServicesInfo; }
};

TEST_F(SharedDataTest, InstallationAfterStartUpFillsBaseAndItemAddress) {
  StartDriverWithBoard();
  SHARED_DATA_PROTOCOL Shared{0, 0x12340000};

  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, &Shared), nullptr);

  EXPECT_EQ(Info().SharedBase, 0x12340000u);
  EXPECT_EQ(Info().SharedItemAddress, 0x12340000u + 530);
}

TEST_F(SharedDataTest, LaterInstallationOverwritesWithTheLocatedInstance) {
  StartDriverWithBoard();
  SHARED_DATA_PROTOCOL First{0, 0x1000};
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, &First), nullptr);

  // The first instance is the one found; it now holds W. A second installation re-reads it.
  First.SharedBase = 0xFFFFFFFFFFFFFF00ull;
  SHARED_DATA_PROTOCOL Second{0, 0x2000};
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, &Second), nullptr);

  EXPECT_EQ(Info().SharedBase, 0xFFFFFFFFFFFFFF00ull);
  // 64-bit arithmetic: the item address wraps like the address space does.
  EXPECT_EQ(Info().SharedItemAddress, 0xFFFFFFFFFFFFFF00ull + 530);
}

TEST_F(SharedDataTest, InstanceInstalledBeforeStartUpIsNotSeenUntilTheNextInstallation) {
  SHARED_DATA_PROTOCOL Early{0, 0x5000};
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, &Early), nullptr);
  StartDriverWithBoard();
  EXPECT_EQ(Info().SharedBase, 0u);
  EXPECT_EQ(Info().SharedItemAddress, 0u);

  SHARED_DATA_PROTOCOL Late{0, 0x6000};
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, &Late), nullptr);
  EXPECT_EQ(Info().SharedBase, 0x5000u);  // the located instance is still the early one
  EXPECT_EQ(Info().SharedItemAddress, 0x5000u + 530);
}

TEST_F(SharedDataTest, NotificationRunsAtCallbackLevelAfterTheInstallReturns) {
  StartDriverWithBoard();
  SHARED_DATA_PROTOCOL Shared{0, 0x7000};

  // While the caller holds the TPL at callback level the notification must wait.
  EFI_TPL Old = BootServices()->RaiseTPL(TPL_CALLBACK);
  EFI_HANDLE Handle = nullptr;
  ASSERT_EQ(BootServices()->InstallProtocolInterface(&Handle, &kSharedDataGuid,
                                                     EFI_NATIVE_INTERFACE, &Shared),
            EFI_SUCCESS);
  EXPECT_EQ(Info().SharedBase, 0u);
  BootServices()->RestoreTPL(Old);
  EXPECT_EQ(Info().SharedBase, 0x7000u);
}

TEST_F(SharedDataTest, PresenceOnlyInstanceLeavesTheRecordAlone) {
  StartDriverWithBoard();
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, nullptr), nullptr);
  EXPECT_EQ(Info().SharedBase, 0u);
  EXPECT_EQ(Info().SharedItemAddress, 0u);
}

TEST_F(SharedDataTest, LocateFailureInsideTheNotificationLeavesTheRecordUnchanged) {
  StartDriverWithBoard();
  SHARED_DATA_PROTOCOL First{0, 0x1000};
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, &First), nullptr);

  First.SharedBase = 0x9000;
  Env().Failures().FailNextCall(sim::Service::LocateProtocol, EFI_NOT_FOUND);
  SHARED_DATA_PROTOCOL Second{0, 0x2000};
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kSharedDataGuid, &Second), nullptr);

  EXPECT_EQ(Info().SharedBase, 0x1000u);
  EXPECT_EQ(Info().SharedItemAddress, 0x1000u + 530);
}

}  // namespace
}  // namespace dxe_test
