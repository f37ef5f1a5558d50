// Event groups the modules join with CreateEventEx.
#pragma once

#include "UefiBase.h"

// Signalled by the boot manager just before it starts a boot option.
#define EFI_EVENT_GROUP_READY_TO_BOOT \
  {0x7CE88FB3, 0x4BD7, 0x4679, {0x87, 0xA8, 0xA8, 0xD8, 0xDE, 0xE5, 0x0D, 0x2B}}
