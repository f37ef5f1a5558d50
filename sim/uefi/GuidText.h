// Registry-format text of a GUID, for logs and failure messages.
#pragma once

#include <string>

#include "uefi/UefiBase.h"

namespace sim {

std::string GuidText(const EFI_GUID &guid);
std::string GuidText(const EFI_GUID *guid);  // "NULL" for a null pointer

}  // namespace sim
