#pragma once

#include <memory>

#include "ftp/FTP.h"
#include "run/BackupRun.h"
#include "run/RunWindow.h"

namespace run {

// The stages a run of this build performs, owned for the life of the program (the database attachment
// and the FTP connection outlive the run).
class StandardStages {
 public:
  explicit StandardStages(RunWindow& window);
  ~StandardStages();

  RunStages Stages();
  // The FTP client of the delivery, its events moving the window's gauge; the connection test uses it too.
  ftp::TIdFTP& IdFTP1() { return *ftpClient_; }

 private:
  std::unique_ptr<ftp::TIdFTP> ftpClient_;
  std::unique_ptr<DatabaseStage> database_;
  std::unique_ptr<DeliveryStage> destination_;
  std::unique_ptr<DeliveryStage> ftp_;
};

}  // namespace run
