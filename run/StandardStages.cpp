#include "run/StandardStages.h"

#include "run/DatabaseStageService.h"
#include "run/DestinationCopy.h"
#include "run/FtpDeliveryGauge.h"
#include "run/FtpDeliveryStage.h"

namespace run {

StandardStages::StandardStages(RunWindow& window)
    : ftpClient_(MakeIdFTP1()),
      database_(std::make_unique<DatabaseStageService>()),
      destination_(std::make_unique<DestinationCopy>()),
      ftp_(std::make_unique<FtpDeliveryStage>(*ftpClient_)) {
  ConnectGauge(*ftpClient_, window);
}

StandardStages::~StandardStages() = default;

RunStages StandardStages::Stages() { return {*database_, *destination_, *ftp_}; }

}  // namespace run
