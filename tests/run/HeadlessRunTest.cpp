#include <gtest/gtest.h>

#include <sstream>

#include "platform/Exception.h"
#include "run/HeadlessRun.h"
#include "run/HeadlessWindow.h"
#include "tests/run/NullDeliveryStage.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

using run::DatabaseOutcome;
using run::DeliveryOutcome;

TEST(HeadlessRunTest, ExitStatusIsZeroOnlyWhenEverythingEnabledGotThrough) {
  struct Case {
    DatabaseOutcome database;
    bool archiveCreated;
    std::optional<DeliveryOutcome> destination;
    std::optional<DeliveryOutcome> ftp;
    int status;
  };
  const Case cases[] = {
      {DatabaseOutcome::BackupWritten, true, std::nullopt, std::nullopt, 0},
      {DatabaseOutcome::BackupWritten, true, DeliveryOutcome::Delivered, DeliveryOutcome::Delivered, 0},
      {DatabaseOutcome::BackupFileMissing, false, std::nullopt, std::nullopt, 2},
      {DatabaseOutcome::BackupWritten, false, std::nullopt, std::nullopt, 2},
      {DatabaseOutcome::BackupWritten, true, DeliveryOutcome::NotDelivered, DeliveryOutcome::Delivered, 2},
      {DatabaseOutcome::BackupWritten, true, std::nullopt, DeliveryOutcome::NotDelivered, 2},
  };
  for (const Case& testCase : cases) {
    const run::RunOutcome outcome{testCase.database, testCase.archiveCreated, testCase.destination,
                                  testCase.ftp};
    EXPECT_EQ(run::ExitStatus(outcome), testCase.status) << &testCase - cases;
  }
}

TEST(HeadlessRunTest, WindowPrintsConsoleLinesAndCancelsEveryQuestion) {
  std::ostringstream out;
  std::ostringstream errors;
  run::HeadlessWindow window(out, errors);

  window.AppendConsoleLine("21:07:31 - Compactando Arquivo...");
  window.ShowNotice("N\xC3\xA3o foi poss\xC3\xADvel criar o arquivo.\rVerifique");
  EXPECT_FALSE(window.CanAskQuestions());
  EXPECT_EQ(window.AskRetry("teste", "Tentar?"), run::RetryAnswer::Cancel);
  window.RequestEnd();

  EXPECT_EQ(out.str(), "21:07:31 - Compactando Arquivo...\n");
  EXPECT_EQ(errors.str(), "N\xC3\xA3o foi poss\xC3\xADvel criar o arquivo.\nVerifique\nteste: Tentar?\n");
  EXPECT_TRUE(window.EndRequested());
}

TEST(HeadlessRunTest, ErrorThatEndsTheRunGoesToStandardErrorWithStatusOne) {
  testsupport::TempFolder root;
  runtest::FakeClock clock{runtest::kRunStart};
  runtest::FakeSleeper sleeper;
  runtest::FakeDatabaseStage database;
  database.action = [](run::RunContext&) { throw platform::Exception("Unable to complete network request"); };
  runtest::NullDeliveryStage destination;
  runtest::NullDeliveryStage ftp;
  std::ostringstream out;
  std::ostringstream errors;
  run::HeadlessWindow window(out, errors);
  const std::string archiver = "program";

  const int status = run::PerformHeadlessRun(app::BackupSettings{}, window, {database, destination, ftp},
                                             {clock, sleeper, root.Path(), root.Path(),
                                              root.Path() + "private/", std::as_bytes(std::span(archiver))},
                                             errors);

  EXPECT_EQ(status, 1);
  EXPECT_EQ(errors.str(), "Unable to complete network request\n");
  EXPECT_FALSE(window.EndRequested());
}

}  // namespace
