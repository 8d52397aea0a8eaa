#pragma once

#include <memory>

#include "ibservice/TIBBackupService.h"
#include "run/DatabaseStage.h"

namespace run {

// The database stage through the server's service manager: the backup component IBBackupService1 is
// created at the first run (loading the client library then) and stays, attached, for the program's life.
class DatabaseStageService final : public DatabaseStage {
 public:
  DatabaseOutcome Perform(RunContext& context) override;

 private:
  ibservice::TIBBackupService& Component();

  std::unique_ptr<ibservice::TIBBackupService> IBBackupService1;
};

}  // namespace run
