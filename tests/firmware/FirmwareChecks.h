// The checks FirmwareCheck runs inside the firmware, grouped by what they prove. Each group
// reports its own PASS/FAIL lines; they run in the order FirmwareCheck.cpp lists them,
// because loading order and the shared-data notification depend on what ran before.
#pragma once

#include "CheckReport.h"
#include "example_board/ExampleBoard.h"
#include "include/PlatformServicesProtocol.h"
#include "uefi/Uefi.h"

// Calling an empty slot would crash the whole check; report it as a failure instead.
template <typename Slot>
bool RequireSlot(CheckReport &Report, const char *Name, Slot Function) {
  if (Function != nullptr) return true;
  Report.Fail(Name, TextLine().Add("the service slot is empty"));
  return false;
}

struct FirmwareCheckContext {
  EFI_HANDLE SelfImage = nullptr;
  EFI_SYSTEM_TABLE *SystemTable = nullptr;
  EFI_BOOT_SERVICES *BootServices = nullptr;
  CheckReport *Report = nullptr;

  // Filled by CheckLoading once both images have started.
  EFI_HANDLE DriverImage = nullptr;
  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  EXAMPLE_BOARD_INSTANCE *Board = nullptr;
  SHARED_DATA_PROTOCOL *BoardSharedData = nullptr;
};

// Loading order: the driver alone must fail; then board, then driver. False when there is
// no interface to check further.
bool CheckLoading(FirmwareCheckContext &Context);

// The protocol instance: where it is installed, header, information record, offset table.
void CheckInterface(FirmwareCheckContext &Context);

// The example board itself: unused entries and the text console record.
void CheckBoard(FirmwareCheckContext &Context);

// CMOS: the clock against runtime GetTime, and reads/writes against the app's own port I/O.
void CheckCmos(FirmwareCheckContext &Context);

void CheckDiskChannelMap(FirmwareCheckContext &Context);
void CheckPciExpressAddress(FirmwareCheckContext &Context);
void CheckPlatformCall(FirmwareCheckContext &Context);

// Time-stamp counter, the reserved slot, flash write enable.
void CheckProcessorServices(FirmwareCheckContext &Context);

// Installs further shared data instances and watches the information record follow them.
void CheckSharedData(FirmwareCheckContext &Context);
