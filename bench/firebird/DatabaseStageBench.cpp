// Wall time of the run's database stage against gbak's own service backup of the same ~220 MB database
// on the same private server, alternating rounds; prints the median of each and their ratio.
//   bench_database_stage [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "run/DatabaseStageService.h"
#include "run/HeadlessWindow.h"
#include "run/RunLog.h"
#include "run/RunNames.h"
#include "run/StatusConsole.h"
#include "tests/fixtures/firebird/FirebirdServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  fixtures::FirebirdServer server;
  const std::string database = server.Folder() + "data/large.fdb";
  std::cout << "creating the large database..." << std::endl;
  const fixtures::CommandResult created = fixtures::RunCommand(
      std::string(TORVI_SOURCE_DIR) + "/scripts/firebird-create-db " + fixtures::ShellQuote(server.Folder()) +
      " " + fixtures::ShellQuote(database) + " large");
  if (created.exitCode != 0) {
    std::cerr << created.output;
    return 1;
  }
  std::cout << "database: " << std::filesystem::file_size(database) << " bytes" << std::endl;

  app::BackupSettings settings;
  settings.EdtServidor = server.Address();
  settings.EdtBase = database;
  settings.EdtSenha = server.Password();
  settings.EdtPastaTemp = server.Folder() + "backup/";
  platform::SystemClock clock;
  platform::SystemSleeper sleeper;
  std::ostringstream discarded;
  run::HeadlessWindow window(discarded, discarded);
  run::StatusConsole console(window, clock);
  run::RunLog log(server.Folder() + "tmp/", clock);
  log.Open();

  std::vector<double> stageTimes;
  std::vector<double> gbakTimes;
  for (int round = 0; round < rounds; ++round) {
    const run::RunNames names =
        run::MakeRunNames(settings, run::MakeRunStamp({2026, 12, 8, 21, 0, round}), server.Folder() + "tmp/");
    {
      run::DatabaseStageService stage;
      run::RunContext context{settings, names, log, console, window, clock, sleeper};
      const Clock::time_point start = Clock::now();
      stage.Perform(context);
      stageTimes.push_back(SecondsSince(start));
    }
    const std::uintmax_t stageBytes = std::filesystem::file_size(names.serverBackupPath);
    std::filesystem::remove(names.serverBackupPath);

    const std::string gbakFile = server.Folder() + "backup/gbak.fbk";
    const Clock::time_point start = Clock::now();
    const fixtures::CommandResult gbak = fixtures::RunCommand(
        "gbak -b -v -g -se " + server.Address() + ":service_mgr -user SYSDBA -password " +
        fixtures::ShellQuote(server.Password()) + " " + database + " " + gbakFile + " > /dev/null");
    gbakTimes.push_back(SecondsSince(start));
    if (gbak.exitCode != 0) {
      std::cerr << gbak.output;
      return 1;
    }
    std::cout << "round " << round + 1 << ": database stage " << stageTimes.back() << " s (" << stageBytes
              << " bytes), gbak " << gbakTimes.back() << " s (" << std::filesystem::file_size(gbakFile)
              << " bytes)" << std::endl;
    std::filesystem::remove(gbakFile);
  }
  const double stage = Median(stageTimes);
  const double gbak = Median(gbakTimes);
  std::printf("median: database stage %.3f s, gbak -b -v -se %.3f s, ratio %.3f\n", stage, gbak,
              stage / gbak);
  return 0;
}
