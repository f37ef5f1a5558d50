#include "ModuleState.h"

// Constant-initialised: the image holds it ready, no constructor runs.
#if defined(__clang__)
[[clang::require_constant_initialization]]
#endif
PlatformDxeState DxeModule;

void ResetPlatformDxeState() {
  DxeModule = PlatformDxeState{};
  ResetFlashPartRecords();
}
