#include "sim/hw/Smm.h"

#include "sim/hw/LpcBridge.h"

namespace sim {

void Smm::Raise(SmiSource source) {
  ++count_;
  if (handler_) {
    handler_(source);
    return;
  }
  if (source == SmiSource::BiosWriteEnable && policy_ == BiosWritePolicy::Refuse) {
    lpc_.ClearBiosWriteEnable();
  }
}

}  // namespace sim
