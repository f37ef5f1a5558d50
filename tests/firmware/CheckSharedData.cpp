// The shared data notification. The board's own instance, installed after the driver
// started, has already been published (checked with the interface). Each further install
// makes the driver look the protocol up again - the first instance in the handle database,
// not necessarily the one just installed - and publish that instance's base.
#include "ExpectedServices.h"
#include "FirmwareChecks.h"

namespace {

const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;

// The check's own instances and the buffers they point at. Static: the driver may read them
// from its notification, after the installing function has returned.
UINT8 gFirstBuffer[64];
UINT8 gSecondBuffer[64];
SHARED_DATA_PROTOCOL gFirstInstance;
SHARED_DATA_PROTOCOL gSecondInstance;

// Installs Instance on a new handle and checks the information record against the instance
// LocateProtocol finds now.
EFI_HANDLE InstallAndCompare(FirmwareCheckContext &Context, SHARED_DATA_PROTOCOL *Instance,
                             const char *Name) {
  CheckReport &Report = *Context.Report;
  EFI_HANDLE Handle = nullptr;
  EFI_STATUS Status = Context.BootServices->InstallProtocolInterface(
      &Handle, &kSharedDataGuid, EFI_NATIVE_INTERFACE, Instance);
  if (EFI_ERROR(Status)) {
    Report.Fail(Name, TextLine().Add("InstallProtocolInterface returned ").Hex(Status));
    return nullptr;
  }
  // The notification runs at TPL_CALLBACK: from application level it has run by now.
  SHARED_DATA_PROTOCOL *Found = nullptr;
  Status = Context.BootServices->LocateProtocol(&kSharedDataGuid, nullptr,
                                                reinterpret_cast<VOID **>(&Found));
  if (EFI_ERROR(Status) || Found == nullptr) {
    Report.Fail(Name, TextLine().Add("LocateProtocol returned ").Hex(Status));
    return Handle;
  }
  const PLATFORM_SERVICES_INFO &Info = *Context.Services->ServicesInfo;
  const UINT64 Base = Found->SharedBase;
  Report.Note(TextLine()
                  .Add(Name)
                  .Add(": first instance is ")
                  .Add(Found == Context.BoardSharedData ? "the board's" : "not the board's")
                  .Add(", base ")
                  .Hex(Base));
  TextLine Differed;
  if (Info.SharedBase != Base) {
    Differed.Add("SharedBase: expected ").Hex(Base).Add(" got ").Hex(Info.SharedBase);
  } else if (Info.SharedItemAddress != Base + expected::kSharedItemOffset) {
    Differed.Add("SharedItemAddress: expected ")
        .Hex(Base + expected::kSharedItemOffset)
        .Add(" got ")
        .Hex(Info.SharedItemAddress);
  }
  if (Differed.Length() == 0) {
    Report.Pass(Name);
  } else {
    Report.Fail(Name, Differed);
  }
  return Handle;
}

}  // namespace

void CheckSharedData(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  PLATFORM_SERVICES_INFO *Info = Context.Services->ServicesInfo;
  if (Info == nullptr || Context.BoardSharedData == nullptr) {
    Report.Fail("shared_data.preconditions",
                TextLine().Add("no information record or no board instance"));
    return;
  }
  // Without a non-zero board base the comparisons below could pass on an untouched record.
  Report.ExpectTrue("shared_data.board_base_non_zero", Context.BoardSharedData->SharedBase != 0,
                    "the board's shared data instance has a zero base");

  gFirstInstance.SharedBase = reinterpret_cast<UINT64>(&gFirstBuffer[0]);
  gSecondInstance.SharedBase = reinterpret_cast<UINT64>(&gSecondBuffer[0]);

  EFI_HANDLE First = InstallAndCompare(Context, &gFirstInstance, "shared_data.first_later_install");

  // Clear what the first notification wrote, so the second install has to write it again.
  Info->SharedBase = 0;
  Info->SharedItemAddress = 0;
  EFI_HANDLE Second =
      InstallAndCompare(Context, &gSecondInstance, "shared_data.every_later_install");

  // Leave the database as the board left it.
  if (First != nullptr) {
    Context.BootServices->UninstallProtocolInterface(First, &kSharedDataGuid, &gFirstInstance);
  }
  if (Second != nullptr) {
    Context.BootServices->UninstallProtocolInterface(Second, &kSharedDataGuid, &gSecondInstance);
  }
}
