#include "tests/run/RunTestSupport.h"

#include "tests/support/TempFolder.h"

namespace runtest {

platform::LocalDateTime FakeClock::Now() {
  const platform::LocalDateTime now = now_;
  now_.second += stepSeconds_;
  while (now_.second >= 60) {
    now_.second -= 60;
    ++now_.minute;
  }
  return now;
}

run::DatabaseOutcome FakeDatabaseStage::Perform(run::RunContext& context) {
  ++calls;
  if (action) {
    action(context);
  } else {
    testsupport::WriteBytes(context.names.serverBackupPath, contents);
  }
  return outcome;
}

}  // namespace runtest
