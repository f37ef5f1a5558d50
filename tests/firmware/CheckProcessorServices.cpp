// Services that act on the processor or chipset directly: the time-stamp counter, the
// reserved slot, and flash write enable.
#include "ExpectedServices.h"
#include "FirmwareChecks.h"
#include "X86.h"

namespace {

// The counter is the processor's own: a reading taken by the check between two readings of
// the service must fall strictly between them.
void CheckTimeStampCounter(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  if (!RequireSlot(Report, "tsc.service", Services.ReadTimeStampCounter)) return;

  UINT64 First = Services.ReadTimeStampCounter();
  Context.BootServices->Stall(100);
  UINT64 Own = x86::ReadTsc();
  Context.BootServices->Stall(100);
  UINT64 Second = Services.ReadTimeStampCounter();
  if (First < Own && Own < Second) {
    Report.Pass("tsc.advances_with_processor_counter");
  } else {
    Report.Fail("tsc.advances_with_processor_counter", TextLine()
                                                           .Add("service ")
                                                           .Hex(First)
                                                           .Add(", own rdtsc ")
                                                           .Hex(Own)
                                                           .Add(", service ")
                                                           .Hex(Second));
  }
}

// A copy of everything a client can see of the driver, to prove a call changed none of it.
struct VisibleState {
  PLATFORM_SERVICES_PROTOCOL Interface;
  PLATFORM_SERVICES_INFO Info;
};

void Capture(const PLATFORM_SERVICES_PROTOCOL &Services, VisibleState &State) {
  State.Interface = Services;
  State.Info = *Services.ServicesInfo;
}

bool SameBytes(const VisibleState &A, const VisibleState &B) {
  const UINT8 *Left = reinterpret_cast<const UINT8 *>(&A);
  const UINT8 *Right = reinterpret_cast<const UINT8 *>(&B);
  for (UINTN Index = 0; Index < sizeof(VisibleState); ++Index) {
    if (Left[Index] != Right[Index]) return false;
  }
  return true;
}

void CheckReserved(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  if (!RequireSlot(Report, "reserved.service", Services.Reserved)) return;
  if (Services.ServicesInfo == nullptr) return;  // already reported by the interface checks

  VisibleState Before = {}, After = {};
  Capture(Services, Before);
  Services.Reserved();
  Capture(Services, After);
  Report.ExpectTrue("reserved.returns_without_effect", SameBytes(Before, After),
                    "the interface or information record changed");
}

// BIOS_CNTL of the LPC bridge at 0:31.0. The service sets or clears the write enable bit.
// Only when lock enable and SMM write protect both read back set does it go further: it
// reads a chipset register at a fixed address and writes MSR 0x1FE, neither of which this
// machine has. The emulated bridge keeps every bit written to this register, so the two lock
// bits read back as they are before the call: if they are not both set now, the service
// stays on its safe path.
const UINT8 kBiosControlRegister = 0xDC;
const UINT8 kBiosWriteEnable = 0x01;
const UINT8 kBiosLockBits = 0x02 | 0x20;
const UINT32 kMsrMtrrDefaultType = 0x2FF;

UINT8 ReadBiosControl() { return x86::PciConfigRead8(0, 31, 0, kBiosControlRegister); }

void CheckFlashWriteEnable(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  if (!RequireSlot(Report, "flash_write_enable.service", Services.SetFlashWriteEnable)) return;

  const UINT8 ControlBefore = ReadBiosControl();
  if ((ControlBefore & kBiosLockBits) == kBiosLockBits) {
    Report.Fail(
        "flash_write_enable.safe_to_call",
        TextLine().Add("BIOS_CNTL is ").Hex(ControlBefore).Add(": lock bits set, not calling"));
    return;
  }
  Report.Pass("flash_write_enable.safe_to_call");

  const UINT64 MtrrBefore = x86::ReadMsr(kMsrMtrrDefaultType);
  const UINTN Cr0Before = x86::ReadCr0();

  EFI_STATUS Status = Services.SetFlashWriteEnable(TRUE);
  const UINT8 ControlOpen = ReadBiosControl();
  const UINT64 MtrrOpen = x86::ReadMsr(kMsrMtrrDefaultType);
  Report.ExpectEqual("flash_write_enable.enable_succeeds", EFI_SUCCESS, Status);
  Report.ExpectEqual("flash_write_enable.enable_sets_write_enable",
                     ControlBefore | kBiosWriteEnable, ControlOpen);

  Status = Services.SetFlashWriteEnable(FALSE);
  const UINT8 ControlClosed = ReadBiosControl();
  Report.ExpectEqual("flash_write_enable.disable_succeeds", EFI_SUCCESS, Status);
  Report.ExpectEqual("flash_write_enable.disable_clears_write_enable",
                     ControlBefore & static_cast<UINT8>(~kBiosWriteEnable), ControlClosed);

  Report.Note(TextLine()
                  .Add("MTRR default type ")
                  .Hex(MtrrBefore)
                  .Add(" before, ")
                  .Hex(MtrrOpen)
                  .Add(" while open, ")
                  .Hex(x86::ReadMsr(kMsrMtrrDefaultType))
                  .Add(" after"));
  Report.ExpectEqual("flash_write_enable.mtrr_default_type_restored", MtrrBefore,
                     x86::ReadMsr(kMsrMtrrDefaultType));
  Report.ExpectEqual("flash_write_enable.cr0_restored", Cr0Before, x86::ReadCr0());
}

}  // namespace

void CheckProcessorServices(FirmwareCheckContext &Context) {
  CheckTimeStampCounter(Context);
  CheckReserved(Context);
  CheckFlashWriteEnable(Context);
}
