#pragma once

#include "app/BackupSettings.h"
#include "platform/Clock.h"
#include "run/RunCeiling.h"
#include "run/RunLog.h"
#include "run/RunNames.h"
#include "run/RunWindow.h"
#include "run/StatusConsole.h"

namespace run {

// What every stage of a run receives: the settings as they stood when the run started, the run's names
// and paths, its log and console, its window, the clock and sleeper it must use, and its time ceiling.
struct RunContext {
  const app::BackupSettings& settings;
  const RunNames& names;
  RunLog& log;
  StatusConsole& console;
  RunWindow& window;
  platform::Clock& clock;
  platform::Sleeper& sleeper;
  const RunCeiling& ceiling = RunCeiling::None();
};

// How a delivery stage (destination copy, FTP) ended.
enum class DeliveryOutcome { Delivered, NotDelivered };

}  // namespace run
