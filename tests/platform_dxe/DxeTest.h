// Fixture for PlatformServicesDxe tests: a fresh simulated board and UEFI environment, the
// module back in its just-loaded state, and a board support protocol a test can steer.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "include/BoardProtocols.h"
#include "include/PlatformServicesProtocol.h"
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "sim/hw/Board.h"
#include "tests/support/UefiTest.h"

namespace dxe_test {

inline const EFI_GUID kPlatformServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
inline const EFI_GUID kBoardSupportGuid = BOARD_SUPPORT_PROTOCOL_GUID;
inline const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;

// A board support protocol whose platform-call entry records what it was given and answers
// with a status the test chooses. Other entries are absent (null).
struct FakeBoardSupport {
  struct Call {
    BOARD_SUPPORT_PROTOCOL *This;
    UINTN Function;
    UINT64 First;
    UINT32 Second;
    UINT64 Third;
  };

  FakeBoardSupport();
  ~FakeBoardSupport();

  BOARD_SUPPORT_OPERATIONS Operations{};
  BOARD_SUPPORT_PROTOCOL Protocol{};
  EFI_STATUS Answer = EFI_SUCCESS;
  std::vector<Call> Calls;
};

class DxeTest : public sim::UefiTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Installs the fake board support protocol, as the board driver would before us.
  void InstallBoardSupport();
  // Runs the entry point on a fresh image handle; returns its status.
  EFI_STATUS StartDriver();
  // InstallBoardSupport + StartDriver, asserting success.
  void StartDriverWithBoard();

  // The interface installed on the image handle (null if none).
  PLATFORM_SERVICES_PROTOCOL *InstalledInterface();

  sim::Board Board;
  FakeBoardSupport BoardSupport;
  EFI_HANDLE ImageHandle = nullptr;
};

}  // namespace dxe_test
