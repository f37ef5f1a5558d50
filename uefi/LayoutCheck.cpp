// Compiled once per firmware width (x64 and IA-32) so that every layout assertion in the
// declarations and client headers is proven for both, whichever image includes them.
#include "../include/BoardLogoProtocols.h"
#include "../include/BoardProtocols.h"
#include "../include/FlashPartRecord.h"
#include "../include/PlatformServicesProtocol.h"
#include "../include/SpdDataHob.h"
#include "BootScriptSave.h"
#include "DxeServicesTable.h"
#include "Hob.h"
#include "PeiServices.h"
#include "SimpleFileSystem.h"
#include "SmmSystemTable.h"
#include "Uefi.h"
