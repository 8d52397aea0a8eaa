#pragma once

#include <memory>

#include "run/BackupRun.h"
#include "run/RunWindow.h"

namespace run {

// The stages a run of this build performs, owned for the life of the program (the database attachment
// and the FTP connection outlive the run). Stages not built yet are null stages.
class StandardStages {
 public:
  explicit StandardStages(RunWindow& window);
  ~StandardStages();

  RunStages Stages();

 private:
  std::unique_ptr<DatabaseStage> database_;
  std::unique_ptr<DestinationStage> destination_;
  std::unique_ptr<FtpDelivery> ftp_;
};

}  // namespace run
