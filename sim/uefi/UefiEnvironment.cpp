#include "sim/uefi/UefiEnvironment.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "sim/uefi/Crc32.h"
#include "sim/uefi/ServiceEntries.h"

namespace sim {
namespace {

UefiEnvironment *current = nullptr;

constexpr EFI_GUID kSimpleTextOutputGuid = EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL_GUID;
constexpr EFI_GUID kLoadedImageGuid = EFI_LOADED_IMAGE_PROTOCOL_GUID;
constexpr UINT32 kLoadedImageRevision = 0x1000;

template <typename Table>
void SealHeader(Table &table) {
  table.Hdr.CRC32 = 0;
  table.Hdr.CRC32 = Crc32(&table, table.Hdr.HeaderSize);
}

}  // namespace

UefiEnvironment &UefiEnvironment::Current() {
  if (current == nullptr) {
    std::fprintf(stderr, "sim_uefi: a UEFI service was called with no UefiEnvironment alive\n");
    std::abort();
  }
  return *current;
}

UefiEnvironment::UefiEnvironment() {
  if (current != nullptr) {
    std::fprintf(stderr, "sim_uefi: only one UefiEnvironment may exist at a time\n");
    std::abort();
  }
  current = this;

  bootServices_ = EFI_BOOT_SERVICES{};
  bootServices_.Hdr.Signature = EFI_BOOT_SERVICES_SIGNATURE;
  bootServices_.Hdr.Revision = kTableRevision;
  bootServices_.Hdr.HeaderSize = sizeof(EFI_BOOT_SERVICES);
  FillBootServices(bootServices_);

  runtimeServices_ = EFI_RUNTIME_SERVICES{};
  runtimeServices_.Hdr.Signature = EFI_RUNTIME_SERVICES_SIGNATURE;
  runtimeServices_.Hdr.Revision = kTableRevision;
  runtimeServices_.Hdr.HeaderSize = sizeof(EFI_RUNTIME_SERVICES);
  FillRuntimeServices(runtimeServices_);

  systemTable_ = EFI_SYSTEM_TABLE{};
  systemTable_.Hdr.Signature = EFI_SYSTEM_TABLE_SIGNATURE;
  systemTable_.Hdr.Revision = kTableRevision;
  systemTable_.Hdr.HeaderSize = sizeof(EFI_SYSTEM_TABLE);
  systemTable_.FirmwareVendor = firmwareVendor_.data();
  systemTable_.FirmwareRevision = 0x00010000;
  systemTable_.BootServices = &bootServices_;
  systemTable_.RuntimeServices = &runtimeServices_;

  // Console handles exist before any module runs, so no notify registration can see them.
  EFI_HANDLE conOutHandle = nullptr;
  protocols_.Install(&conOutHandle, &kSimpleTextOutputGuid, EFI_NATIVE_INTERFACE,
                     conOut_.Protocol());
  systemTable_.ConsoleOutHandle = conOutHandle;
  systemTable_.ConOut = conOut_.Protocol();
  EFI_HANDLE stdErrHandle = nullptr;
  protocols_.Install(&stdErrHandle, &kSimpleTextOutputGuid, EFI_NATIVE_INTERFACE,
                     stdErr_.Protocol());
  systemTable_.StandardErrorHandle = stdErrHandle;
  systemTable_.StdErr = stdErr_.Protocol();

  RefreshTableCrcs();
}

UefiEnvironment::~UefiEnvironment() { current = nullptr; }

void UefiEnvironment::RefreshTableCrcs() {
  SealHeader(bootServices_);
  SealHeader(runtimeServices_);
  SealHeader(systemTable_);
}

template <typename Action>
auto UefiEnvironment::AtNotifyLevel(Action action) {
  EFI_TPL callerTpl = events_.CurrentTpl();
  bool raise = callerTpl < TPL_NOTIFY;
  if (raise) events_.Raise(TPL_NOTIFY);
  auto result = action();
  if (raise) events_.Restore(callerTpl);
  return result;
}

EFI_STATUS UefiEnvironment::InstallDxeServices() {
  return InstallConfigurationTable(&DxeServices::kTableGuid, dxe_.Table());
}

EFI_HANDLE UefiEnvironment::InstallBootScriptSave() {
  return InstallProtocolOnNewHandle(BootScriptRecorder::kProtocolGuid, bootScript_.Protocol());
}

EFI_HANDLE UefiEnvironment::CreateImageHandle() {
  auto image = std::make_unique<EFI_LOADED_IMAGE_PROTOCOL>();
  *image = EFI_LOADED_IMAGE_PROTOCOL{};
  image->Revision = kLoadedImageRevision;
  image->SystemTable = &systemTable_;
  image->ImageCodeType = EfiBootServicesCode;
  image->ImageDataType = EfiBootServicesData;
  EFI_HANDLE handle = InstallProtocolOnNewHandle(kLoadedImageGuid, image.get());
  loadedImages_.push_back(std::move(image));
  return handle;
}

EFI_LOADED_IMAGE_PROTOCOL *UefiEnvironment::LoadedImageOf(EFI_HANDLE image) {
  return static_cast<EFI_LOADED_IMAGE_PROTOCOL *>(protocols_.InterfaceOf(image, kLoadedImageGuid));
}

EFI_STATUS UefiEnvironment::InstallProtocol(EFI_HANDLE *handle, const EFI_GUID &protocol,
                                            void *interface) {
  return AtNotifyLevel(
      [&] { return protocols_.Install(handle, &protocol, EFI_NATIVE_INTERFACE, interface); });
}

EFI_HANDLE UefiEnvironment::InstallProtocolOnNewHandle(const EFI_GUID &protocol,
                                                       void *interface) {
  EFI_HANDLE handle = nullptr;
  return InstallProtocol(&handle, protocol, interface) == EFI_SUCCESS ? handle : nullptr;
}

EFI_STATUS UefiEnvironment::ReinstallProtocol(EFI_HANDLE handle, const EFI_GUID &protocol,
                                              void *oldInterface, void *newInterface) {
  return AtNotifyLevel(
      [&] { return protocols_.Reinstall(handle, &protocol, oldInterface, newInterface); });
}

EFI_STATUS UefiEnvironment::UninstallProtocol(EFI_HANDLE handle, const EFI_GUID &protocol,
                                              void *interface) {
  return AtNotifyLevel([&] { return protocols_.Uninstall(handle, &protocol, interface); });
}

EFI_STATUS UefiEnvironment::AddToConsoleOutHandle(const EFI_GUID &protocol, void *interface) {
  EFI_HANDLE handle = systemTable_.ConsoleOutHandle;
  return InstallProtocol(&handle, protocol, interface);
}

EFI_STATUS UefiEnvironment::SignalEvent(EFI_EVENT event) {
  return AtNotifyLevel([&] { return events_.Signal(event); });
}

void UefiEnvironment::SignalEventGroup(const EFI_GUID &group) {
  AtNotifyLevel([&] {
    events_.SignalGroup(group);
    return 0;
  });
}

EFI_STATUS UefiEnvironment::CloseEvent(EFI_EVENT event) {
  EFI_STATUS status = events_.Close(event);
  if (status == EFI_SUCCESS) protocols_.DropRegistrationsOf(event);
  return status;
}

std::vector<void *> UefiEnvironment::InterfacesOf(const EFI_GUID &protocol) const {
  std::vector<void *> interfaces;
  for (const ProtocolInstance &instance : protocols_.InstancesOf(protocol)) {
    interfaces.push_back(instance.interface);
  }
  return interfaces;
}

bool UefiEnvironment::HandleHasProtocol(EFI_HANDLE handle, const EFI_GUID &protocol) const {
  return protocols_.HasProtocol(handle, protocol);
}

uint64_t UefiEnvironment::NextMonotonicCount() {
  // The upper half is the high count, which only GetNextHighMonotonicCount (or a wrap of the
  // lower half) moves.
  uint64_t count = monotonicCount_;
  monotonicCount_ += 1;
  return count;
}

uint32_t UefiEnvironment::NextHighMonotonicCount() {
  monotonicCount_ = ((monotonicCount_ >> 32) + 1) << 32;
  return static_cast<uint32_t>(monotonicCount_ >> 32);
}

void *UefiEnvironment::ConfigurationTable(const EFI_GUID &guid) const {
  for (const EFI_CONFIGURATION_TABLE &entry : configurationTables_) {
    if (GuidsEqual(entry.VendorGuid, guid)) return entry.VendorTable;
  }
  return nullptr;
}

EFI_STATUS UefiEnvironment::InstallConfigurationTable(const EFI_GUID *guid, void *table) {
  if (guid == nullptr) return EFI_INVALID_PARAMETER;
  auto existing = std::find_if(
      configurationTables_.begin(), configurationTables_.end(),
      [&](const EFI_CONFIGURATION_TABLE &entry) { return GuidsEqual(entry.VendorGuid, *guid); });
  if (table == nullptr) {
    if (existing == configurationTables_.end()) return EFI_NOT_FOUND;
    configurationTables_.erase(existing);
  } else if (existing != configurationTables_.end()) {
    existing->VendorTable = table;
  } else {
    configurationTables_.push_back(EFI_CONFIGURATION_TABLE{*guid, table});
  }
  systemTable_.NumberOfTableEntries = configurationTables_.size();
  systemTable_.ConfigurationTable =
      configurationTables_.empty() ? nullptr : configurationTables_.data();
  RefreshTableCrcs();
  // Whoever waits for this table joined the event group named by its GUID.
  events_.SignalGroup(*guid);
  return EFI_SUCCESS;
}

}  // namespace sim
