// The published interface: found where clients look for it, with the header and the
// information record every client reads before calling anything.
#include "ExpectedServices.h"
#include "FirmwareChecks.h"

namespace {

const EFI_GUID kServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;

void CheckOneInstanceOnDriverHandle(FirmwareCheckContext &Context) {
  UINTN Count = 0;
  EFI_HANDLE *Handles = nullptr;
  EFI_STATUS Status = Context.BootServices->LocateHandleBuffer(ByProtocol, &kServicesGuid, nullptr,
                                                               &Count, &Handles);
  if (EFI_ERROR(Status)) {
    Context.Report->Fail("interface.only_on_driver_image_handle",
                         TextLine().Add("LocateHandleBuffer returned ").Hex(Status));
    return;
  }
  bool Ok = Count == 1 && Handles[0] == Context.DriverImage;
  Context.BootServices->FreePool(Handles);
  if (Ok) {
    Context.Report->Pass("interface.only_on_driver_image_handle");
  } else {
    Context.Report->Fail("interface.only_on_driver_image_handle",
                         TextLine().Add("expected 1 handle, the driver image; got ").Dec(Count));
  }
}

void CheckOffsetTable(CheckReport &Report, UINT64 TableAddress) {
  if (TableAddress == 0) {
    Report.Fail("interface.info_offset_table", TextLine().Add("OffsetTable is null"));
    return;
  }
  const UINT16 *Table = reinterpret_cast<const UINT16 *>(TableAddress);
  for (UINTN Index = 0; Index < expected::kOffsetCount; ++Index) {
    if (Table[Index] != expected::kOffsets[Index]) {
      Report.Fail("interface.info_offset_table", TextLine()
                                                     .Add("entry ")
                                                     .Dec(Index)
                                                     .Add(": expected ")
                                                     .Dec(expected::kOffsets[Index])
                                                     .Add(" got ")
                                                     .Dec(Table[Index]));
      return;
    }
  }
  Report.Pass("interface.info_offset_table");
}

// Slots 1, 2, 3 and 15 are not built yet; every other slot must be callable.
void CheckImplementedSlots(CheckReport &Report, const PLATFORM_SERVICES_PROTOCOL &Services) {
  struct Slot {
    UINTN Number;
    const void *Function;
  };
  const Slot Slots[] = {
      {4, reinterpret_cast<const void *>(Services.CmosRead8)},
      {5, reinterpret_cast<const void *>(Services.IndexedIoRead8)},
      {6, reinterpret_cast<const void *>(Services.CmosWrite8)},
      {7, reinterpret_cast<const void *>(Services.IndexedIoWrite8)},
      {8, reinterpret_cast<const void *>(Services.CmosRead16)},
      {9, reinterpret_cast<const void *>(Services.CmosWrite16)},
      {10, reinterpret_cast<const void *>(Services.Reserved)},
      {11, reinterpret_cast<const void *>(Services.GetDiskChannelMap)},
      {12, reinterpret_cast<const void *>(Services.PlatformCall)},
      {13, reinterpret_cast<const void *>(Services.GetPciExpressAddress)},
      {14, reinterpret_cast<const void *>(Services.SetFlashWriteEnable)},
      {16, reinterpret_cast<const void *>(Services.ReadTimeStampCounter)},
  };
  TextLine Empty;
  Empty.Add("empty slots:");
  bool AnyEmpty = false;
  for (const Slot &Entry : Slots) {
    if (Entry.Function != nullptr) continue;
    Empty.Add(' ').Dec(Entry.Number);
    AnyEmpty = true;
  }
  if (AnyEmpty) {
    Report.Fail("interface.implemented_slots_filled", Empty);
  } else {
    Report.Pass("interface.implemented_slots_filled");
  }
}

}  // namespace

void CheckInterface(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;

  VOID *Located = nullptr;
  EFI_STATUS Status = Context.BootServices->LocateProtocol(&kServicesGuid, nullptr, &Located);
  if (Report.ExpectEqual("interface.locate_protocol_succeeds", EFI_SUCCESS, Status)) {
    Report.ExpectEqual("interface.locate_protocol_same_interface",
                       reinterpret_cast<UINT64>(Context.Services),
                       reinterpret_cast<UINT64>(Located));
  }
  CheckOneInstanceOnDriverHandle(Context);

  Report.ExpectEqual("interface.signature", expected::kSignature, Services.Signature);
  Report.ExpectEqual("interface.header_value", expected::kHeaderValue, Services.HeaderValue);
  CheckImplementedSlots(Report, Services);

  const PLATFORM_SERVICES_INFO *Info = Services.ServicesInfo;
  if (!Report.ExpectTrue("interface.info_present", Info != nullptr, "ServicesInfo is null")) return;
  Report.ExpectEqual("interface.info_value_a", expected::kInfoValueA, Info->InfoValueA);
  // The board installed its shared data after the driver started: the driver's notification
  // must have published the board's base.
  if (Context.BoardSharedData != nullptr) {
    const UINT64 Base = Context.BoardSharedData->SharedBase;
    Report.ExpectTrue("interface.info_shared_base_board_non_zero", Base != 0,
                      "the board's shared data has a zero base");
    Report.ExpectEqual("interface.info_shared_base_from_board", Base, Info->SharedBase);
    Report.ExpectEqual("interface.info_shared_item_from_board",
                       Base + expected::kSharedItemOffset, Info->SharedItemAddress);
  }
  CheckOffsetTable(Report, Info->OffsetTable);
  Report.ExpectEqual("interface.info_value_b", expected::kInfoValueB, Info->InfoValueB);
}
