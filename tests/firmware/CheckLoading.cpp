// Loading order. The driver depends on the board: started alone it must refuse and leave
// nothing behind; after the board it must install its protocol on its own image handle. The
// board's shared data follows the driver.
#include "FirmwareChecks.h"
#include "SiblingImage.h"

namespace {

const EFI_GUID kServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
const EFI_GUID kBoardGuid = BOARD_SUPPORT_PROTOCOL_GUID;
const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;

UINTN CountHandlesWith(EFI_BOOT_SERVICES *BootServices, const EFI_GUID *Protocol) {
  UINTN Count = 0;
  EFI_HANDLE *Handles = nullptr;
  EFI_STATUS Status =
      BootServices->LocateHandleBuffer(ByProtocol, Protocol, nullptr, &Count, &Handles);
  if (EFI_ERROR(Status)) return 0;
  BootServices->FreePool(Handles);
  return Count;
}

// One line for "it loaded and its entry point returned Expected".
bool ExpectStarted(CheckReport &Report, const char *Name, const StartedImage &Image,
                   EFI_STATUS Expected) {
  if (EFI_ERROR(Image.LoadStatus)) {
    Report.Fail(Name, TextLine().Add("LoadImage returned ").Hex(Image.LoadStatus));
    return false;
  }
  if (Image.StartStatus != Expected) {
    Report.Fail(
        Name,
        TextLine().Add("StartImage: expected ").Hex(Expected).Add(" got ").Hex(Image.StartStatus));
    return false;
  }
  Report.Pass(Name);
  return true;
}

}  // namespace

bool CheckLoading(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  EFI_BOOT_SERVICES *BootServices = Context.BootServices;
  VOID *Found = nullptr;

  // Without a board the "driver alone" case below would prove nothing.
  Report.ExpectEqual("loading.no_board_yet", EFI_NOT_FOUND,
                     BootServices->LocateProtocol(&kBoardGuid, nullptr, &Found));

  StartedImage Alone =
      LoadAndStartSiblingImage(Context.SelfImage, Context.SystemTable, DRIVER_IMAGE_FILE);
  ExpectStarted(Report, "loading.driver_without_board_fails_not_found", Alone, EFI_NOT_FOUND);
  Report.ExpectEqual("loading.driver_without_board_installs_nothing", 0,
                     CountHandlesWith(BootServices, &kServicesGuid));
  Report.ExpectEqual("loading.driver_without_board_not_locatable", EFI_NOT_FOUND,
                     BootServices->LocateProtocol(&kServicesGuid, nullptr, &Found));

  StartedImage Board =
      LoadAndStartSiblingImage(Context.SelfImage, Context.SystemTable, BOARD_IMAGE_FILE);
  if (!ExpectStarted(Report, "loading.board_starts", Board, EFI_SUCCESS)) return false;
  EFI_STATUS Status =
      BootServices->LocateProtocol(&kBoardGuid, nullptr, reinterpret_cast<VOID **>(&Context.Board));
  if (!Report.ExpectEqual("loading.board_support_installed", EFI_SUCCESS, Status)) return false;
  // The board holds its shared data back until the driver has started.
  Report.ExpectEqual("loading.board_shared_data_waits_for_driver", EFI_NOT_FOUND,
                     BootServices->LocateProtocol(&kSharedDataGuid, nullptr, &Found));

  StartedImage Driver =
      LoadAndStartSiblingImage(Context.SelfImage, Context.SystemTable, DRIVER_IMAGE_FILE);
  if (!ExpectStarted(Report, "loading.driver_with_board_starts", Driver, EFI_SUCCESS)) return false;
  Context.DriverImage = Driver.Handle;

  Status = BootServices->HandleProtocol(Driver.Handle, &kServicesGuid,
                                        reinterpret_cast<VOID **>(&Context.Services));
  if (!Report.ExpectEqual("loading.protocol_on_driver_image_handle", EFI_SUCCESS, Status))
    return false;
  if (!Report.ExpectTrue("loading.protocol_interface_not_null", Context.Services != nullptr,
                         "HandleProtocol gave a null interface"))
    return false;

  // 100 ms after the driver's protocol appeared the board installs its shared data, from a
  // timer; two seconds is plenty even on a slow emulator.
  for (UINTN Waited = 0; Waited < 200; ++Waited) {
    Status = BootServices->LocateProtocol(&kSharedDataGuid, nullptr,
                                          reinterpret_cast<VOID **>(&Context.BoardSharedData));
    if (!EFI_ERROR(Status)) break;
    Context.BoardSharedData = nullptr;
    BootServices->Stall(10000);
  }
  Report.ExpectEqual("loading.board_shared_data_installed_after_driver", EFI_SUCCESS, Status);
  return true;
}
