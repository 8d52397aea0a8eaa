#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/BackupSettings.h"
#include "run/DatabaseStage.h"
#include "run/RunLog.h"
#include "run/RunNames.h"
#include "run/StatusConsole.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace stagetest {

using runtest::kRunStart;

// One database stage with the run's log, console and names around it.
class StageHarness {
 public:
  explicit StageHarness(app::BackupSettings settings)
      : settings_(std::move(settings)),
        work_(folder_.Path() + "Backup/"),
        names_(run::MakeRunNames(settings_, run::MakeRunStamp(kRunStart), work_)),
        log_(folder_.Path(), clock_),
        console_(window_, clock_) {
    std::filesystem::create_directories(work_);
    log_.Open();
  }

  run::DatabaseOutcome Perform(run::DatabaseStage& stage) {
    run::RunContext context{settings_, names_, log_, console_, window_, clock_, sleeper_, ceiling};
    const run::DatabaseOutcome outcome = stage.Perform(context);
    log_.WriteStampedAndClose(" - end");
    return outcome;
  }

  // The log as UTF-8, lines split at CR LF.
  std::vector<std::string> LogLines() const { return testsupport::LogLines(log_.Path()); }

  const run::RunNames& Names() const { return names_; }
  runtest::RecordingWindow& Window() { return window_; }

  run::RunCeiling ceiling;  // none unless a test sets one

 private:
  testsupport::TempFolder folder_;
  app::BackupSettings settings_;
  std::string work_;
  run::RunNames names_;
  runtest::FakeClock clock_{kRunStart};
  runtest::FakeSleeper sleeper_;
  runtest::RecordingWindow window_;
  run::RunLog log_;
  run::StatusConsole console_;
};

inline app::BackupSettings SettingsFor(const std::string& server, const std::string& database,
                                       const std::string& password, const std::string& serverFolder) {
  app::BackupSettings settings;
  settings.EdtServidor = server;
  settings.EdtBase = database;
  settings.EdtUsuario = "SYSDBA";
  settings.EdtSenha = password;
  settings.EdtPastaTemp = serverFolder;
  settings.EdtPastaComp = serverFolder;
  return settings;
}

}  // namespace stagetest
