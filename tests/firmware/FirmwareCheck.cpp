// FirmwareCheck: booted by OVMF from removable media, it loads ExampleBoardDxe and
// PlatformServicesDxe from its own folder, checks the published services from inside the
// firmware, writes one line per check to the serial port and ends the virtual machine with
// the verdict (see QemuExit.h).
#include "CheckReport.h"
#include "Console.h"
#include "FirmwareChecks.h"
#include "QemuExit.h"

extern "C" EFI_STATUS EFIAPI FirmwareCheckEntry(EFI_HANDLE ImageHandle,
                                                EFI_SYSTEM_TABLE *SystemTable) {
  console::WriteLine(SystemTable, TextLine().Add("FirmwareCheck: results go to the serial port"));
  // The boot manager arms a watchdog for boot options; the check must end on its own terms.
  SystemTable->BootServices->SetWatchdogTimer(0, 0, 0, nullptr);

  CheckReport Report;
  FirmwareCheckContext Context;
  Context.SelfImage = ImageHandle;
  Context.SystemTable = SystemTable;
  Context.BootServices = SystemTable->BootServices;
  Context.Report = &Report;

  if (CheckLoading(Context)) {
    CheckInterface(Context);
    CheckBoard(Context);
    CheckCmos(Context);
    CheckDiskChannelMap(Context);
    CheckPciExpressAddress(Context);
    CheckPlatformCall(Context);
    CheckProcessorServices(Context);
    // Last: it rewrites the information record.
    CheckSharedData(Context);
  }
  Report.WriteSummary("FirmwareCheck");
  QemuExit(Report.AllPassed());
}
