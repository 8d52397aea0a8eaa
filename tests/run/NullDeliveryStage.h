#pragma once

#include "run/DeliveryStage.h"

namespace runtest {

// A stand-in for a delivery a test leaves out: it does nothing, and a delivery that did nothing did not
// deliver.
class NullDeliveryStage final : public run::DeliveryStage {
 public:
  run::DeliveryOutcome Perform(run::RunContext&) override { return run::DeliveryOutcome::NotDelivered; }
};

}  // namespace runtest
