// The firmware text console (what a person sees on the screen).
#pragma once

#include "TextLine.h"
#include "uefi/Uefi.h"

namespace console {

void Clear(EFI_SYSTEM_TABLE *SystemTable);
void WriteLine(EFI_SYSTEM_TABLE *SystemTable, const TextLine &Line);

}  // namespace console
