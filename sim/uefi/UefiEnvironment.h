// The simulated UEFI environment a module runs against on the host: a real EFI_SYSTEM_TABLE
// whose boot and runtime services are backed by the objects below. One environment exists at a
// time; while it does, every service entry dispatches to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/uefi/BootScriptRecorder.h"
#include "sim/uefi/CallLog.h"
#include "sim/uefi/DxeServices.h"
#include "sim/uefi/EventManager.h"
#include "sim/uefi/FailureInjector.h"
#include "sim/uefi/PoolAllocator.h"
#include "sim/uefi/ProtocolDatabase.h"
#include "sim/uefi/RuntimeState.h"
#include "sim/uefi/SmmSystemTable.h"
#include "sim/uefi/TextConsole.h"
#include "uefi/LoadedImage.h"
#include "uefi/UefiSystemTable.h"

namespace sim {

class UefiEnvironment {
 public:
  static constexpr UINT32 kTableRevision = (2u << 16) | 70u;  // 2.70

  UefiEnvironment();
  ~UefiEnvironment();
  UefiEnvironment(const UefiEnvironment &) = delete;
  UefiEnvironment &operator=(const UefiEnvironment &) = delete;

  // The environment service entries dispatch to; aborts when there is none.
  static UefiEnvironment &Current();

  // ---- What a module receives ----
  EFI_SYSTEM_TABLE *SystemTable() { return &systemTable_; }
  EFI_BOOT_SERVICES *BootServices() { return &bootServices_; }
  EFI_RUNTIME_SERVICES *RuntimeServices() { return &runtimeServices_; }

  // ---- The parts, for inspection and set-up ----
  PoolAllocator &Pool() { return pool_; }
  EventManager &Events() { return events_; }
  ProtocolDatabase &Protocols() { return protocols_; }
  CallLog &Calls() { return calls_; }
  FailureInjector &Failures() { return failures_; }
  RuntimeState &Runtime() { return runtime_; }
  TextConsole &ConOut() { return conOut_; }
  TextConsole &StdErr() { return stdErr_; }
  // Platform tables beyond the system table. Each exists from the start; the DXE services
  // and the boot script save protocol become visible to a module only when installed.
  // Runtime().SetVirtualOffset() makes ConvertPointer move every pointer by a chosen offset.
  DxeServices &Dxe() { return dxe_; }
  BootScriptRecorder &BootScript() { return bootScript_; }
  SmmSystemTable &Smm() { return smm_; }
  // Puts the DXE services table in the configuration table under its GUID.
  EFI_STATUS InstallDxeServices();
  // Installs the boot script save protocol on a new handle; returns the handle.
  EFI_HANDLE InstallBootScriptSave();
  EFI_HANDLE ConsoleOutHandle() const { return systemTable_.ConsoleOutHandle; }

  // Faults the code under test made that real firmware would not report (calls above a
  // service's TPL limit, TPL misuse). Pool faults are in Pool().Errors().
  const std::vector<std::string> &UsageErrors() const { return usageErrors_; }
  void ReportUsageError(std::string error) { usageErrors_.push_back(std::move(error)); }

  // ---- Acting as another client of the environment ----
  // These go straight to the parts, so they are neither logged nor subject to failure
  // injection, but they run under the same TPL rules: notify functions they trigger have run
  // by the time they return (unless the test itself holds the TPL raised).
  EFI_HANDLE CreateImageHandle();
  EFI_LOADED_IMAGE_PROTOCOL *LoadedImageOf(EFI_HANDLE image);
  EFI_STATUS InstallProtocol(EFI_HANDLE *handle, const EFI_GUID &protocol, void *interface);
  // Installs on a new handle and returns it (null if the install failed).
  EFI_HANDLE InstallProtocolOnNewHandle(const EFI_GUID &protocol, void *interface);
  EFI_STATUS ReinstallProtocol(EFI_HANDLE handle, const EFI_GUID &protocol, void *oldInterface,
                               void *newInterface);
  EFI_STATUS UninstallProtocol(EFI_HANDLE handle, const EFI_GUID &protocol, void *interface);
  // Adds another console protocol (graphics output, ...) next to ConOut's text output.
  EFI_STATUS AddToConsoleOutHandle(const EFI_GUID &protocol, void *interface);
  EFI_STATUS SignalEvent(EFI_EVENT event);
  // Signals every event of the group, e.g. kEventGroupReadyToBoot from WellKnownGuids.h.
  void SignalEventGroup(const EFI_GUID &group);

  // ---- Quick questions ----
  std::vector<void *> InterfacesOf(const EFI_GUID &protocol) const;  // install order
  bool HandleHasProtocol(EFI_HANDLE handle, const EFI_GUID &protocol) const;
  size_t LiveEventCount() const { return events_.LiveCount(); }
  EFI_TPL CurrentTpl() const { return events_.CurrentTpl(); }
  uint64_t ElapsedMicroseconds() const { return elapsedMicroseconds_; }
  // Entry of the configuration table with that GUID, or null.
  void *ConfigurationTable(const EFI_GUID &guid) const;

  // ---- Used by the service entries ----
  void Stall(UINTN microseconds) { elapsedMicroseconds_ += microseconds; }
  uint64_t NextMonotonicCount();
  uint32_t NextHighMonotonicCount();
  EFI_STATUS InstallConfigurationTable(const EFI_GUID *guid, void *table);
  EFI_STATUS CloseEvent(EFI_EVENT event);
  // Recomputes the header CRCs after a table changed, as firmware does.
  void RefreshTableCrcs();

 private:
  template <typename Action>
  auto AtNotifyLevel(Action action);

  std::vector<std::string> usageErrors_;
  PoolAllocator pool_;
  EventManager events_{usageErrors_};
  ProtocolDatabase protocols_{events_};
  CallLog calls_;
  FailureInjector failures_;
  RuntimeState runtime_;
  TextConsole conOut_;
  TextConsole stdErr_;
  DxeServices dxe_;
  BootScriptRecorder bootScript_;
  SmmSystemTable smm_;
  std::vector<std::unique_ptr<EFI_LOADED_IMAGE_PROTOCOL>> loadedImages_;
  std::vector<EFI_CONFIGURATION_TABLE> configurationTables_;
  uint64_t elapsedMicroseconds_ = 0;
  uint64_t monotonicCount_ = 0;
  std::u16string firmwareVendor_ = u"Simulated Platform Firmware";

  EFI_SYSTEM_TABLE systemTable_;
  EFI_BOOT_SERVICES bootServices_;
  EFI_RUNTIME_SERVICES runtimeServices_;
};

}  // namespace sim
