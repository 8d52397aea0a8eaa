#include "run/StandardStages.h"

#include "run/DatabaseStageService.h"
#include "run/NullStages.h"

namespace run {

StandardStages::StandardStages(RunWindow&)
    : database_(std::make_unique<DatabaseStageService>()),
      destination_(std::make_unique<NullDestinationStage>()),
      ftp_(std::make_unique<NullFtpDelivery>()) {}

StandardStages::~StandardStages() = default;

RunStages StandardStages::Stages() { return {*database_, *destination_, *ftp_}; }

}  // namespace run
