#include "PciConfig.h"

#include "ProcessorPrimitives.h"

// The low two address bits go to 0xCF8 as given; the byte lane is chosen by the data port.
UINT8 PciConfigRead8(UINT32 Address) {
  PortWrite32(kPciConfigAddressPort, Address | kPciConfigEnable);
  return PortRead8((UINT16)(kPciConfigDataPort + (Address & 3)));
}

void PciConfigWrite8(UINT32 Address, UINT8 Value) {
  PortWrite32(kPciConfigAddressPort, Address | kPciConfigEnable);
  PortWrite8((UINT16)(kPciConfigDataPort + (Address & 3)), Value);
}
