// The driver's module state, for the driver code linked into the logo check (DecodeBitmap
// allocates through it). The check sets BootServices before decoding.
#include "platform_dxe/ModuleState.h"

PlatformDxeState DxeModule;
