#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/BackupSettings.h"

namespace app {

inline constexpr char kApplicationTitle[] = "Backup Ormelin - Torvi Vivedizezid";

// The only command-line argument the program knows: it turns the FTP delivery off for this start.
inline constexpr char kNoFtpArgument[] = "/noftp";

enum class RunMode { Settings, Automatic };

// Settings mode without a settings file or with "Abrir" on; otherwise one run at once.
RunMode DecideRunMode(bool settingsFileExists, bool checkConfig);

// Turns CheckFTP off when any argument equals "/noftp" exactly; every other argument is ignored.
void ApplyCommandLine(BackupSettings& settings, const std::vector<std::string>& arguments);

// The share group is hidden exactly when the database server is "localhost".
bool ShareGroupVisible(const BackupSettings& settings);

// The text of an error box: the message, with "." appended when its last character sorts after ".".
std::string ErrorBoxText(const std::string& message);

// What the start-up sequence asks of its window; a missing hook does nothing.
struct StartUpHooks {
  std::function<void(bool visible)> SetShareGroupVisible;
  std::function<void(BackupSettings& settings)> PerformRun;
  std::function<void()> ShowWindow;
  std::function<void(const std::string& text)> ShowErrorBox;
};

enum class StartUpOutcome {
  SettingsMode,  // the window was shown and nothing ran
  AutomaticRun,  // the run was performed and the window shown
  Failed,        // an error was shown in the error box and the remaining steps were skipped
};

// The start-up sequence after the tray icon is in place: loads the settings file at `settingsPath` when
// it exists, applies the command line, performs the run in automatic mode, loads the e-mail settings and
// shows the window. An error escaping any step goes to ShowErrorBox and ends the sequence there.
StartUpOutcome RunStartUp(BackupSettings& settings, const std::string& settingsPath,
                          const std::vector<std::string>& arguments, const StartUpHooks& hooks);

}  // namespace app
