// Everything the DXE-phase code declares about UEFI, in one include.
#pragma once

#include "DevicePath.h"
#include "GraphicsOutput.h"
#include "LoadedImage.h"
#include "SimpleTextOutput.h"
#include "UefiBase.h"
#include "UefiSystemTable.h"
