#include "sim/uefi/ServiceScope.h"

#include <cstdio>

namespace sim {

ServiceScope::ServiceScope(Service service, std::string detail, Kind kind)
    : env_(UefiEnvironment::Current()),
      logIndex_(env_.Calls().Begin(service, std::move(detail))),
      callerTpl_(env_.Events().CurrentTpl()) {
  if (callerTpl_ > MaxCallerTpl(service)) {
    env_.ReportUsageError(std::string(ServiceName(service)) + " called at TPL " +
                          SizeText(callerTpl_) + ", above its limit " +
                          SizeText(MaxCallerTpl(service)));
  }
  if (kind == Kind::ReturnsStatus) injected_ = env_.Failures().OnCall(service);
  if (kind != Kind::TplControl && callerTpl_ < TPL_NOTIFY) {
    env_.Events().Raise(TPL_NOTIFY);
    raised_ = true;
  }
}

ServiceScope::~ServiceScope() {
  if (raised_) env_.Events().Restore(callerTpl_);
}

EFI_STATUS ServiceScope::Return(EFI_STATUS status) {
  env_.Calls().Finish(logIndex_, status, injected_.has_value() && status == *injected_);
  return status;
}

std::string SizeText(UINTN value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(value));
  return text;
}

std::string HexText(UINTN value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

std::string PointerText(const void *pointer) {
  char text[24];
  std::snprintf(text, sizeof text, "%p", pointer);
  return text;
}

}  // namespace sim
