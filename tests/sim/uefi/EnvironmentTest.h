// Shared set-up for the environment's own tests: a fresh environment per test, reached the
// way a module reaches it, through the service tables.
#pragma once

#include <gtest/gtest.h>

#include "sim/uefi/UefiEnvironment.h"

namespace sim {

// Protocol GUIDs no real protocol uses.
inline constexpr EFI_GUID kProtocolA = {0x1A2B3C4D, 0x0001, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr EFI_GUID kProtocolB = {0x1A2B3C4D, 0x0002, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr EFI_GUID kProtocolC = {0x1A2B3C4D, 0x0003, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr EFI_GUID kGroupX = {0x5E6F7A8B, 0x0001, 0x4000, {8, 7, 6, 5, 4, 3, 2, 1}};
inline constexpr EFI_GUID kGroupY = {0x5E6F7A8B, 0x0002, 0x4000, {8, 7, 6, 5, 4, 3, 2, 1}};

// What a notify function saw when it ran.
struct NotifyProbe {
  int runs = 0;
  EFI_TPL tplSeen = 0;
  EFI_EVENT eventSeen = nullptr;
  size_t callsLoggedBefore = 0;  // size of the call log when the notify ran
  bool lastCallFinished = false;  // whether the last logged service had returned by then
};

// Notify function that records into a NotifyProbe context.
VOID EFIAPI RecordNotify(EFI_EVENT event, VOID *context);

class EnvironmentTest : public ::testing::Test {
 protected:
  UefiEnvironment env;
  EFI_BOOT_SERVICES *bs = env.BootServices();
  EFI_RUNTIME_SERVICES *rt = env.RuntimeServices();

  EFI_EVENT MakeSignalEvent(NotifyProbe &probe, EFI_TPL tpl = TPL_CALLBACK) {
    EFI_EVENT event = nullptr;
    EXPECT_EQ(bs->CreateEvent(EVT_NOTIFY_SIGNAL, tpl, RecordNotify, &probe, &event), EFI_SUCCESS);
    return event;
  }
};

}  // namespace sim
