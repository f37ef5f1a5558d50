#include "ModuleState.h"

// Zero-initialised: lives in the image's uninitialised data, no constructor runs.
PlatformDxeState DxeModule;

void ResetPlatformDxeState() { DxeModule = PlatformDxeState{}; }
