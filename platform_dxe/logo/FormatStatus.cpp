// Names of the UEFI status values, as the diagnostics show them.
#include "FormatString.h"

namespace {

// Indexed by the value: success and the warnings.
const CHAR8 *const WarningNames[] = {
    "Success",
    "Warning Unknown Glyph",
    "Warning Delete Failure",
    "Warning Write Failure",
    "Warning Buffer Too Small",
};

// Indexed by the error code without its high bit; code 0 has no name.
const CHAR8 *const ErrorNames[] = {
    nullptr,
    "Load Error",
    "Invalid Parameter",
    "Unsupported",
    "Bad Buffer Size",
    "Buffer Too Small",
    "Not Ready",
    "Device Error",
    "Write Protected",
    "Out of Resources",
    "Volume Corrupt",
    "Volume Full",
    "No Media",
    "Media changed",
    "Not Found",
    "Access Denied",
    "No Response",
    "No mapping",
    "Time out",
    "Not started",
    "Already started",
    "Aborted",
    "ICMP Error",
    "TFTP Error",
    "Protocol Error",
};

constexpr UINT64 ErrorBit = 0x8000000000000000ULL;

const CHAR8 *StatusName(UINT64 Status) {
  if (Status < sizeof(WarningNames) / sizeof(WarningNames[0])) return WarningNames[Status];
  UINT64 Code = Status & ~ErrorBit;
  if ((Status & ErrorBit) != 0 && Code < sizeof(ErrorNames) / sizeof(ErrorNames[0])) {
    return ErrorNames[Code];
  }
  return nullptr;
}

}  // namespace

UINTN FormatStatus(UINT64 Status, CHAR16 *Buffer, UINTN BufferSize) {
  const CHAR8 *Name = StatusName(Status);
  UINTN Count = Name != nullptr ? FormatStringVarArgs(Buffer, BufferSize, u"%a", Name)
                                : FormatStringVarArgs(Buffer, BufferSize, u"%X", Status);
  return Count != 0 ? Count - 1 : 0;
}
