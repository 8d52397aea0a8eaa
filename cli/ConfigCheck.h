#pragma once

#include <string>

#include "cli/Console.h"

namespace cli {

// "config check": every value of the settings file at `settingsPath` checked as a run would use it, with
// the working folder `workFolder`: the form of each key, the folders the run needs, the database server
// (attach and login) and, when the FTP delivery is on, the FTP connection test. One line per finding on
// the console's output. Returns 0 when nothing would make a run fail, 1 when something would, 3 when
// there is no settings file.
int CheckSettings(const std::string& settingsPath, const std::string& workFolder, Console& console);

// The message for a missing settings file, with the way to create one; returns the exit status 3.
int NoSettingsFile(const std::string& settingsPath, Console& console);

}  // namespace cli
