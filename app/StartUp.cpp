#include "app/StartUp.h"

#include <exception>

#include "app/SettingsFile.h"
#include "platform/Files.h"

namespace app {

RunMode DecideRunMode(bool settingsFileExists, bool checkConfig) {
  return settingsFileExists && !checkConfig ? RunMode::Automatic : RunMode::Settings;
}

void ApplyCommandLine(BackupSettings& settings, const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == kNoFtpArgument) settings.CheckFTP = false;
  }
}

bool ShareGroupVisible(const BackupSettings& settings) { return settings.EdtServidor != "localhost"; }

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

StartUpOutcome RunStartUp(BackupSettings& settings, const std::string& settingsPath,
                          const std::vector<std::string>& arguments, const StartUpHooks& hooks) {
  StartUpOutcome outcome = StartUpOutcome::SettingsMode;
  try {
    if (platform::FileExists(settingsPath)) {
      LoadSettings(settings, settingsPath);
      if (hooks.SetShareGroupVisible) hooks.SetShareGroupVisible(ShareGroupVisible(settings));
      ApplyCommandLine(settings, arguments);
      if (DecideRunMode(true, settings.CheckConfig) == RunMode::Automatic) {
        outcome = StartUpOutcome::AutomaticRun;
        if (hooks.PerformRun) {
          // The record gets the e-mail settings only after the run, but the run's notice needs them now.
          BackupSettings forRun = settings;
          LoadEmailSettings(forRun, settingsPath);
          hooks.PerformRun(forRun);
        }
      }
      LoadEmailSettings(settings, settingsPath);
    }
    if (hooks.ShowWindow) hooks.ShowWindow();
  } catch (const std::exception& error) {
    if (hooks.ShowErrorBox) hooks.ShowErrorBox(ErrorBoxText(error.what()));
    return StartUpOutcome::Failed;
  }
  return outcome;
}

}  // namespace app
