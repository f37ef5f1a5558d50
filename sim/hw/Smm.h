// System management interrupts the chipset raises, and what the (simulated) SMM handler does
// about them. The handler runs synchronously, before the processor's next instruction.
#pragma once

#include <functional>

namespace sim {

class LpcBridge;

enum class SmiSource {
  BiosWriteEnable,  // BIOSWE set from 0 to 1 while BLE is set
};

enum class BiosWritePolicy {
  Refuse,  // the handler clears BIOSWE again: the flash stays write-protected
  Allow,   // the handler leaves BIOSWE set
};

class Smm {
 public:
  using Handler = std::function<void(SmiSource)>;

  explicit Smm(LpcBridge &lpc) : lpc_(lpc) {}

  unsigned SmiCount() const { return count_; }
  BiosWritePolicy Policy() const { return policy_; }
  void SetBiosWritePolicy(BiosWritePolicy policy) { policy_ = policy; }
  // Replaces the policy with a handler of the test's own; an empty handler restores it.
  void SetHandler(Handler handler) { handler_ = std::move(handler); }

  void Raise(SmiSource source);

 private:
  LpcBridge &lpc_;
  unsigned count_ = 0;
  BiosWritePolicy policy_ = BiosWritePolicy::Refuse;
  Handler handler_;
};

}  // namespace sim
