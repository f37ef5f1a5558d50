// Slot 14: opening and closing the system flash for writes.
#include "ModuleState.h"
#include "PlatformServices.h"
#include "cpu/Instructions.h"
#include "cpu/PciConfig.h"
#include "cpu/ProcessorPrimitives.h"

namespace {

// BIOS_CNTL of the LPC bridge (0:31.0, register 0xDC).
constexpr UINT32 kBiosControl = PciConfigAddress(0, 31, 0, 0xDC);
constexpr UINT8 kBiosWriteEnable = 0x01;    // BIOSWE
constexpr UINT8 kBiosLockEnable = 0x02;     // BLE
constexpr UINT8 kSmmBiosWriteProtect = 0x20;  // SMM_BWP

constexpr UINT32 kMsrMtrrDefType = 0x2FF;
constexpr UINT64 kMtrrEnable = 0x800;
constexpr UINT32 kMsrWriteEnableMirror = 0x1FE;
constexpr UINT64 kWriteEnableWordAddress = 0xFED30880;

void SetMtrrsEnabled(bool Enabled) {
  UINT64 DefType = MsrRead64(kMsrMtrrDefType);
  DefType = Enabled ? (DefType | kMtrrEnable) : (DefType & ~kMtrrEnable);
  MsrWrite64(kMsrMtrrDefType, DefType);
}

}  // namespace

EFI_STATUS EFIAPI SetFlashWriteEnable(BOOLEAN Enable) {
  UINT8 Control = PciConfigRead8(kBiosControl);

  // Caches and MTRRs change only on the first opening and the closing that matches it.
  if (Enable != 0) {
    Control |= kBiosWriteEnable;
    if (DxeModule.CacheDisabledFlag == 0) {
      CacheDisable();
      CpuWriteBackInvalidate();
      SetMtrrsEnabled(false);
      DxeModule.CacheDisabledFlag = 1;
    }
  } else {
    Control &= (UINT8)~kBiosWriteEnable;
    if (DxeModule.CacheDisabledFlag != 0) {
      CacheEnable();
      SetMtrrsEnabled(true);
      DxeModule.CacheDisabledFlag = 0;
    }
  }
  PciConfigWrite8(kBiosControl, Control);

  // What the chipset kept, not what was written, tells whether the lock is armed.
  UINT8 Readback = PciConfigRead8(kBiosControl);
  const UINT8 Locked = kBiosLockEnable | kSmmBiosWriteProtect;
  if ((Readback & Locked) == Locked) {
    UINT32 Value = hw::MmioLoad32(kWriteEnableWordAddress);
    Value = Enable != 0 ? (Value | 1u) : (Value & ~1u);
    MsrWrite64(kMsrWriteEnableMirror, Value);
  }
  return EFI_SUCCESS;
}
