#pragma once

#include "platform/win/SystemHeaders.h"

namespace platform::win {

// A security descriptor whose protected access list gives full access to this process's user, the
// administrators and the system, and to nobody else: what a file holding credentials is created with.
class OwnerOnlySecurity {
 public:
  OwnerOnlySecurity();
  ~OwnerOnlySecurity();
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

  // Null when the descriptor could not be made.
  SECURITY_ATTRIBUTES* Attributes() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace platform::win
