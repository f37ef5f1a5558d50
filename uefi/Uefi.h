// Everything the DXE-phase code declares about UEFI, in one include.
#pragma once

#include "BootLogo.h"
#include "ConsoleControl.h"
#include "DevicePath.h"
#include "EventGroups.h"
#include "FirmwareVolume.h"
#include "GraphicsOutput.h"
#include "HiiFont.h"
#include "LoadedImage.h"
#include "SimpleTextOutput.h"
#include "UefiBase.h"
#include "UefiSystemTable.h"
#include "UgaDraw.h"
