// What every service entry does around its work (internal to sim_uefi): log the call, check
// the caller's TPL, apply failure injection, and hold TPL_NOTIFY while the service runs so
// notify functions it triggers run only once it has finished, as they do on firmware.
#pragma once

#include <optional>
#include <string>

#include "sim/uefi/UefiEnvironment.h"

namespace sim {

class ServiceScope {
 public:
  enum class Kind {
    ReturnsStatus,  // may be failed by injection; runs at TPL_NOTIFY
    Void,           // returns nothing, so nothing to inject
    TplControl,     // RaiseTPL/RestoreTPL: logged only, they manage the TPL themselves
  };

  ServiceScope(Service service, std::string detail, Kind kind = Kind::ReturnsStatus);
  ~ServiceScope();
  ServiceScope(const ServiceScope &) = delete;
  ServiceScope &operator=(const ServiceScope &) = delete;

  UefiEnvironment &Env() { return env_; }
  EFI_TPL CallerTpl() const { return callerTpl_; }
  // The status a test injected for this call; the service must then do nothing.
  const std::optional<EFI_STATUS> &Injected() const { return injected_; }
  EFI_STATUS Return(EFI_STATUS status);

 private:
  UefiEnvironment &env_;
  size_t logIndex_;
  EFI_TPL callerTpl_;
  bool raised_ = false;
  std::optional<EFI_STATUS> injected_;
};

std::string SizeText(UINTN value);
std::string HexText(UINTN value);
std::string PointerText(const void *pointer);

}  // namespace sim
