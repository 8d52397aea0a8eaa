#pragma once

#include "run/DatabaseStage.h"
#include "run/DestinationStage.h"
#include "run/FtpDelivery.h"

namespace run {

// Stand-ins for stages a build does not have: they do nothing, and a delivery that did nothing did not
// deliver.
class NullDatabaseStage final : public DatabaseStage {
 public:
  DatabaseOutcome Perform(RunContext&) override { return DatabaseOutcome::BackupWritten; }
};

class NullDestinationStage final : public DestinationStage {
 public:
  DeliveryOutcome Perform(RunContext&) override { return DeliveryOutcome::NotDelivered; }
};

class NullFtpDelivery final : public FtpDelivery {
 public:
  DeliveryOutcome Perform(RunContext&) override { return DeliveryOutcome::NotDelivered; }
};

}  // namespace run
