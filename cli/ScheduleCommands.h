#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Console.h"
#include "platform/ScheduleTable.h"

namespace cli {

// The time of "HH:MM" (or "H:MM"), hours 0 to 23 and minutes 0 to 59, as the "hh:mm" text the line rule
// takes; empty for anything else.
std::optional<std::string> DailyTime(std::string_view text);

// What the scheduler starts for this program: `executablePath`, then " --config DIR" when a settings
// folder is given and " --noftp" when asked for; a folder holding blanks or quotes is quoted for the
// shell cron runs the line with (on Linux).
std::string ScheduledCommand(const std::string& executablePath, const std::string& configFolder, bool noFtp);

// "schedule list|add HH:MM|remove HH:MM" over `table`, the one the schedule editor edits. Lines are this
// program's when their command is `executablePath` or starts with it and a blank; every other line of the
// table stays byte for byte. "add" appends the line of `command` by the editor's rule; "remove" drops
// this program's lines at that time. `words` are those after "schedule". Returns the exit status.
int RunScheduleCommand(const std::vector<std::string>& words, platform::ScheduleTable& table,
                       const std::string& executablePath, const std::string& command, Console& console);

}  // namespace cli
