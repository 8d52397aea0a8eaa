#pragma once

#include "app/BackupSettings.h"
#include "platform/Clock.h"
#include "run/RunLog.h"
#include "run/RunNames.h"
#include "run/RunWindow.h"
#include "run/StatusConsole.h"

namespace run {

// What every stage of a run receives: the settings as they stood when the run started, the run's names
// and paths, its log and console, its window, and the clock and sleeper it must use.
struct RunContext {
  const app::BackupSettings& settings;
  const RunNames& names;
  RunLog& log;
  StatusConsole& console;
  RunWindow& window;
  platform::Clock& clock;
  platform::Sleeper& sleeper;
};

// How a delivery stage (destination copy, FTP) ended.
enum class DeliveryOutcome { Delivered, NotDelivered };

}  // namespace run
