// GetPciExpressAddress: the board's configuration window arithmetic, one line per case.
#include "ExpectedServices.h"
#include "FirmwareChecks.h"

void CheckPciExpressAddress(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  if (!RequireSlot(Report, "pci_express.service", Services.GetPciExpressAddress)) return;

  for (const expected::PciExpressCase &Case : expected::kPciExpressCases) {
    TextLine Name;
    Name.Add("pci_express.address_")
        .Dec(Case.Bus)
        .Add('_')
        .Dec(Case.Device)
        .Add('_')
        .Dec(Case.Function)
        .Add("_reg_")
        .Hex(Case.Register);
    UINT64 Address = Services.GetPciExpressAddress(Case.Ignored, Case.Bus, Case.Device,
                                                   Case.Function, Case.Register);
    Report.ExpectEqual(Name.Text(), Case.Address, Address);
  }
}
