#pragma once

#include "run/RunContext.h"

namespace run {

// Copies context.names.localArchivePath into EdtDestino, probing the folder first, asking to retry
// through context.window and rotating old archives when the copy does not fit. Reports its own failures
// in the log and returns whether the archive is at the destination. Throws nothing.
class DestinationStage {
 public:
  virtual ~DestinationStage() = default;
  virtual DeliveryOutcome Perform(RunContext& context) = 0;
};

}  // namespace run
