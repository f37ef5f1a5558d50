#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {

namespace {

FakeBoardSupport *CurrentFake = nullptr;

EFI_STATUS EFIAPI FakePlatformCall(BOARD_SUPPORT_PROTOCOL *This, UINTN Function, UINT64 First,
                                   UINT32 Second, UINT64 Third) {
  CurrentFake->Calls.push_back({This, Function, First, Second, Third});
  return CurrentFake->Answer;
}

}  // namespace

FakeBoardSupport::FakeBoardSupport() {
  Operations.Entry[BOARD_SUPPORT_ENTRY_PLATFORM_CALL] = (BOARD_SUPPORT_ENTRY)FakePlatformCall;
  Protocol.Operations = &Operations;
  CurrentFake = this;
}

FakeBoardSupport::~FakeBoardSupport() { CurrentFake = nullptr; }

void DxeTest::SetUp() {
  sim::UefiTest::SetUp();
  ResetPlatformDxeState();
}

void DxeTest::TearDown() {
  EXPECT_TRUE(Board.Faults().Empty()) << Board.Faults().Describe();
  sim::UefiTest::TearDown();
}

void DxeTest::InstallBoardSupport() {
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kBoardSupportGuid, &BoardSupport.Protocol), nullptr);
}

EFI_STATUS DxeTest::StartDriver() {
  ImageHandle = Env().CreateImageHandle();
  return PlatformServicesDxeEntry(ImageHandle, SystemTable());
}

void DxeTest::StartDriverWithBoard() {
  InstallBoardSupport();
  ASSERT_EQ(StartDriver(), EFI_SUCCESS) << CallTrace();
}

PLATFORM_SERVICES_PROTOCOL *DxeTest::InstalledInterface() {
  VOID *Interface = nullptr;
  if (EFI_ERROR(BootServices()->HandleProtocol(ImageHandle, &kPlatformServicesGuid, &Interface)))
    return nullptr;
  return (PLATFORM_SERVICES_PROTOCOL *)Interface;
}

}  // namespace dxe_test
