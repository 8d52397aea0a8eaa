#include "cli/Headless.h"

#include <ostream>

#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "platform/Files.h"
#include "platform/WorkingFolder.h"
#include "run/ConnectionTest.h"
#include "run/HeadlessRun.h"

#ifndef TORVI_VERSION
#define TORVI_VERSION "unknown"
#endif

namespace cli {

int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  Options options;
  try {
    options = ParseOptions(arguments);
  } catch (const UsageError& error) {
    err << "torvi-backup: " << error.Message() << "\n" << UsageText();
    return kExitBadUsage;
  }
  if (options.help) {
    out << UsageText();
    return kExitDone;
  }
  if (options.version) {
    out << "torvi-backup " << TORVI_VERSION << "\n";
    return kExitDone;
  }
  return RunHeadless(options, out, err);
}

int RunHeadless(const Options& options, std::ostream& out, std::ostream& err) {
  const std::string configFolder =
      options.configFolder.empty() ? platform::ExecutableFolder() : options.configFolder;
  const std::string settingsPath = configFolder + app::kSettingsFileName;
  if (!platform::FileExists(settingsPath)) {
    err << "torvi-backup: no settings file: " << settingsPath << "\n";
    return kExitNoSettings;
  }
  app::BackupSettings settings;
  try {
    app::LoadSettings(settings, settingsPath);
  } catch (const platform::Exception& error) {
    err << "torvi-backup: " << settingsPath << ": " << app::ErrorBoxText(error.Message()) << "\n";
    return kExitNoSettings;
  }
  if (options.noFtp) app::ApplyCommandLine(settings, {app::kNoFtpArgument});
  const std::string workFolder = options.workFolder.empty() ? platform::kWorkingFolder : options.workFolder;
  if (options.testFtp) {
    return run::TestConnectionHeadless(settings, workFolder, err) ? kExitDone : kExitRunIncomplete;
  }
  return run::RunHeadless(settings, configFolder, workFolder, out, err);
}

}  // namespace cli
