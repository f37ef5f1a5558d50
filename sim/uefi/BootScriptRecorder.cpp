#include "sim/uefi/BootScriptRecorder.h"

#include <cstdarg>
#include <cstring>

#include "sim/uefi/ServiceScope.h"

namespace sim {
namespace {

size_t WidthBytes(EFI_BOOT_SCRIPT_WIDTH width) {
  switch (width) {
    case EfiBootScriptWidthUint8: return 1;
    case EfiBootScriptWidthUint16: return 2;
    case EfiBootScriptWidthUint32: return 4;
    case EfiBootScriptWidthUint64: return 8;
    default: return 0;
  }
}

// The last named parameter is 16 bits wide, as the protocol declares it; the variable
// arguments start at the next 8-byte slot whatever its width.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif
EFI_STATUS EFIAPI WriteEntry(EFI_BOOT_SCRIPT_SAVE_PROTOCOL *self, UINT16 tableName,
                             UINT16 opcode, ...) {
  ServiceScope call(Service::BootScriptWrite,
                    HexText(tableName) + " opcode " + HexText(opcode));
  if (call.Injected()) return call.Return(*call.Injected());
  BootScriptRecorder &recorder = call.Env().BootScript();
  if (self != recorder.Protocol()) return call.Return(EFI_INVALID_PARAMETER);

  BootScriptEntry entry;
  entry.tableName = tableName;
  entry.opcode = opcode;
#if defined(__x86_64__) && !defined(_WIN32)
  __builtin_ms_va_list args;
  __builtin_ms_va_start(args, opcode);
#define SCRIPT_ARG(type) __builtin_va_arg(args, type)
#define SCRIPT_ARGS_END() __builtin_ms_va_end(args)
#else
  va_list args;
  va_start(args, opcode);
#define SCRIPT_ARG(type) va_arg(args, type)
#define SCRIPT_ARGS_END() va_end(args)
#endif
  EFI_STATUS status = EFI_SUCCESS;
  switch (opcode) {
    case EFI_BOOT_SCRIPT_MEM_WRITE_OPCODE:
    case EFI_BOOT_SCRIPT_IO_WRITE_OPCODE:
    case EFI_BOOT_SCRIPT_PCI_CONFIG_WRITE_OPCODE: {
      entry.width = SCRIPT_ARG(EFI_BOOT_SCRIPT_WIDTH);
      entry.address = SCRIPT_ARG(UINT64);
      entry.count = SCRIPT_ARG(UINTN);
      const void *buffer = SCRIPT_ARG(const void *);
      const size_t bytes = WidthBytes(entry.width) * entry.count;
      if (bytes == 0 || buffer == nullptr) {
        status = EFI_INVALID_PARAMETER;
        break;
      }
      entry.data.resize(bytes);
      std::memcpy(entry.data.data(), buffer, bytes);
      break;
    }
    case EFI_BOOT_SCRIPT_STALL_OPCODE:
      entry.duration = SCRIPT_ARG(UINTN);
      break;
    default:
      status = EFI_UNSUPPORTED;
      break;
  }
  SCRIPT_ARGS_END();
#undef SCRIPT_ARG
#undef SCRIPT_ARGS_END
  if (status == EFI_SUCCESS) recorder.Add(std::move(entry));
  return call.Return(status);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

EFI_STATUS EFIAPI CloseTableEntry(EFI_BOOT_SCRIPT_SAVE_PROTOCOL *self, UINT16 tableName,
                                  EFI_PHYSICAL_ADDRESS *address) {
  ServiceScope call(Service::BootScriptCloseTable, HexText(tableName));
  if (call.Injected()) return call.Return(*call.Injected());
  BootScriptRecorder &recorder = call.Env().BootScript();
  if (self != recorder.Protocol() || address == nullptr) {
    return call.Return(EFI_INVALID_PARAMETER);
  }
  // The entries are the table; its address is where they are kept.
  *address = static_cast<EFI_PHYSICAL_ADDRESS>(
      reinterpret_cast<uintptr_t>(recorder.Entries().data()));
  recorder.NoteClosed();
  return call.Return(EFI_SUCCESS);
}

}  // namespace

BootScriptRecorder::BootScriptRecorder() {
  protocol_.Write = WriteEntry;
  protocol_.CloseTable = CloseTableEntry;
}

}  // namespace sim
