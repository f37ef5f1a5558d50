// PlatformVolumeCheck: booted by OVMF from removable media, it reads Platform.fv from its own
// folder into page-aligned memory and hands it to the firmware's own DXE dispatcher
// (ProcessFirmwareVolume, then Dispatch). The volume holds PlatformServicesDxe first and the
// example board second, so the driver's protocol appears only if the dispatcher held the driver
// back until the board had installed the board support protocol, as its dependency expression
// asks. Results go to the serial port; the verdict ends the virtual machine (see QemuExit.h).
#include "CheckReport.h"
#include "Console.h"
#include "ExpectedServices.h"
#include "QemuExit.h"
#include "include/BoardProtocols.h"
#include "include/PlatformServicesProtocol.h"
#include "uefi/DxeServicesTable.h"
#include "uefi/SimpleFileSystem.h"
#include "uefi/Uefi.h"

namespace {

const EFI_GUID kLoadedImageGuid = EFI_LOADED_IMAGE_PROTOCOL_GUID;
const EFI_GUID kFileSystemGuid = EFI_SIMPLE_FILE_SYSTEM_PROTOCOL_GUID;
const EFI_GUID kDxeServicesGuid = DXE_SERVICES_TABLE_GUID;
const EFI_GUID kServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
const EFI_GUID kBoardGuid = BOARD_SUPPORT_PROTOCOL_GUID;

// The runner puts every file it is given beside the application, in \EFI\BOOT\.
const CHAR16 kVolumePath[] = u"\\EFI\\BOOT\\Platform.fv";
const UINTN kPageSize = 4096;
// Far more than the volume needs; a larger file means something else is there.
const UINT64 kMaxVolumeBytes = 16 * 1024 * 1024;

struct VolumeInMemory {
  EFI_PHYSICAL_ADDRESS Address = 0;
  UINTN Size = 0;
};

// Reads the whole file into pages of its own: firmware volumes are processed where they lie.
EFI_STATUS ReadVolume(EFI_HANDLE SelfImage, EFI_BOOT_SERVICES *BootServices,
                      VolumeInMemory *Volume) {
  EFI_LOADED_IMAGE_PROTOCOL *Self = nullptr;
  EFI_STATUS Status =
      BootServices->HandleProtocol(SelfImage, &kLoadedImageGuid, reinterpret_cast<VOID **>(&Self));
  if (EFI_ERROR(Status)) return Status;
  EFI_SIMPLE_FILE_SYSTEM_PROTOCOL *FileSystem = nullptr;
  Status = BootServices->HandleProtocol(Self->DeviceHandle, &kFileSystemGuid,
                                        reinterpret_cast<VOID **>(&FileSystem));
  if (EFI_ERROR(Status)) return Status;

  EFI_FILE_PROTOCOL *Root = nullptr;
  Status = FileSystem->OpenVolume(FileSystem, &Root);
  if (EFI_ERROR(Status)) return Status;
  EFI_FILE_PROTOCOL *File = nullptr;
  Status = Root->Open(Root, &File, kVolumePath, EFI_FILE_MODE_READ, 0);
  Root->Close(Root);
  if (EFI_ERROR(Status)) return Status;

  UINT64 Size = 0;
  Status = File->SetPosition(File, EFI_FILE_POSITION_END);
  if (!EFI_ERROR(Status)) Status = File->GetPosition(File, &Size);
  if (!EFI_ERROR(Status)) Status = File->SetPosition(File, 0);
  if (!EFI_ERROR(Status) && (Size == 0 || Size > kMaxVolumeBytes)) Status = EFI_BAD_BUFFER_SIZE;
  UINTN Pages = static_cast<UINTN>((Size + kPageSize - 1) / kPageSize);
  if (!EFI_ERROR(Status)) {
    Status = BootServices->AllocatePages(AllocateAnyPages, EfiBootServicesData, Pages,
                                         &Volume->Address);
  }
  if (!EFI_ERROR(Status)) {
    UINTN Read = static_cast<UINTN>(Size);
    Status = File->Read(File, &Read, reinterpret_cast<VOID *>(Volume->Address));
    if (!EFI_ERROR(Status) && Read != Size) Status = EFI_DEVICE_ERROR;
    if (EFI_ERROR(Status)) BootServices->FreePages(Volume->Address, Pages);
  }
  File->Close(File);
  if (!EFI_ERROR(Status)) Volume->Size = static_cast<UINTN>(Size);
  return Status;
}

EFI_DXE_SERVICES *FindDxeServices(EFI_SYSTEM_TABLE *SystemTable) {
  for (UINTN Index = 0; Index < SystemTable->NumberOfTableEntries; ++Index) {
    const EFI_CONFIGURATION_TABLE &Entry = SystemTable->ConfigurationTable[Index];
    if (GuidsEqual(Entry.VendorGuid, kDxeServicesGuid)) {
      return static_cast<EFI_DXE_SERVICES *>(Entry.VendorTable);
    }
  }
  return nullptr;
}

UINTN CountHandlesWith(EFI_BOOT_SERVICES *BootServices, const EFI_GUID *Protocol) {
  UINTN Count = 0;
  EFI_HANDLE *Handles = nullptr;
  if (EFI_ERROR(BootServices->LocateHandleBuffer(ByProtocol, Protocol, nullptr, &Count, &Handles)))
    return 0;
  BootServices->FreePool(Handles);
  return Count;
}

void CheckVolumeDispatch(EFI_HANDLE SelfImage, EFI_SYSTEM_TABLE *SystemTable,
                         CheckReport &Report) {
  EFI_BOOT_SERVICES *BootServices = SystemTable->BootServices;
  VOID *Found = nullptr;

  // Neither protocol may exist before the volume is dispatched, or the checks below would
  // prove nothing about it.
  Report.ExpectEqual("volume.no_board_before", EFI_NOT_FOUND,
                     BootServices->LocateProtocol(&kBoardGuid, nullptr, &Found));
  Report.ExpectEqual("volume.no_services_before", EFI_NOT_FOUND,
                     BootServices->LocateProtocol(&kServicesGuid, nullptr, &Found));

  EFI_DXE_SERVICES *DxeServices = FindDxeServices(SystemTable);
  if (!Report.ExpectTrue("volume.dxe_services_table", DxeServices != nullptr,
                         "no DXE services table in the configuration table"))
    return;
  if (!Report.ExpectEqual("volume.dxe_services_signature", DXE_SERVICES_SIGNATURE,
                          DxeServices->Hdr.Signature))
    return;

  VolumeInMemory Volume;
  if (!Report.ExpectEqual("volume.read_from_boot_volume", EFI_SUCCESS,
                          ReadVolume(SelfImage, BootServices, &Volume)))
    return;
  Report.Note(TextLine().Add("Platform.fv: ").Dec(Volume.Size).Add(" bytes at ").Hex(Volume.Address));
  // A volume is a whole number of blocks; the packer uses 4 KiB blocks.
  Report.ExpectEqual("volume.size_whole_pages", 0, Volume.Size % kPageSize);

  EFI_HANDLE VolumeHandle = nullptr;
  if (!Report.ExpectEqual("volume.process_firmware_volume", EFI_SUCCESS,
                          DxeServices->ProcessFirmwareVolume(
                              reinterpret_cast<const VOID *>(Volume.Address), Volume.Size,
                              &VolumeHandle)))
    return;
  Report.ExpectTrue("volume.handle_returned", VolumeHandle != nullptr,
                    "ProcessFirmwareVolume gave no handle");
  Report.ExpectEqual("volume.dispatch", EFI_SUCCESS, DxeServices->Dispatch());

  Report.ExpectEqual("volume.board_support_installed", EFI_SUCCESS,
                     BootServices->LocateProtocol(&kBoardGuid, nullptr, &Found));
  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  EFI_STATUS Status =
      BootServices->LocateProtocol(&kServicesGuid, nullptr, reinterpret_cast<VOID **>(&Services));
  if (!Report.ExpectEqual("volume.services_installed", EFI_SUCCESS, Status) ||
      !Report.ExpectTrue("volume.services_interface", Services != nullptr,
                         "LocateProtocol gave a null interface"))
    return;
  Report.ExpectEqual("volume.services_on_one_handle", 1,
                     CountHandlesWith(BootServices, &kServicesGuid));
  Report.ExpectEqual("volume.services_signature", expected::kSignature, Services->Signature);
  Report.ExpectEqual("volume.services_header_value", expected::kHeaderValue,
                     Services->HeaderValue);
}

}  // namespace

extern "C" EFI_STATUS EFIAPI PlatformVolumeCheckEntry(EFI_HANDLE ImageHandle,
                                                      EFI_SYSTEM_TABLE *SystemTable) {
  console::WriteLine(SystemTable,
                     TextLine().Add("PlatformVolumeCheck: results go to the serial port"));
  SystemTable->BootServices->SetWatchdogTimer(0, 0, 0, nullptr);

  CheckReport Report;
  CheckVolumeDispatch(ImageHandle, SystemTable, Report);
  Report.WriteSummary("PlatformVolumeCheck");
  QemuExit(Report.AllPassed());
}
