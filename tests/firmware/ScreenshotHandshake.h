// Screenshots taken by the runner (tools/qemu/run_ovmf.py --screenshot-at): the check writes
// "SCREEN <name>" on the serial port and waits; the runner takes a QMP screendump and then
// presses a key, which ends the wait. The wait is bounded: without the key the check goes on
// after the timeout and notes it.
#pragma once

#include "uefi/Uefi.h"

// True when the key came (the screenshot was taken), false after the timeout.
bool WaitForScreenshot(EFI_SYSTEM_TABLE *SystemTable, const char *Name);
