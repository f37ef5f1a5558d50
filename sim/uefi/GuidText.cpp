#include "sim/uefi/GuidText.h"

#include <cstdio>

namespace sim {

std::string GuidText(const EFI_GUID &guid) {
  char text[40];
  std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

std::string GuidText(const EFI_GUID *guid) { return guid == nullptr ? "NULL" : GuidText(*guid); }

}  // namespace sim
