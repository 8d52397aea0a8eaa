#include "ui/Display.h"

#include <cstdlib>
#include <iostream>

#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "cli/Headless.h"
#include "platform/Files.h"
#include "platform/WorkingFolder.h"
#include "run/HeadlessRun.h"

#ifdef TORVI_UI_WITH_XCB
#include <xcb/xcb.h>
#endif

namespace ui {
namespace {

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

}  // namespace

bool DisplayAvailable() {
#ifdef _WIN32
  // A Windows program always starts on a desktop of its session.
  return true;
#endif
  if (Set("QT_QPA_PLATFORM") || Set("WAYLAND_DISPLAY")) return true;
  if (!Set("DISPLAY")) return false;
#ifdef TORVI_UI_WITH_XCB
  // A display that is named but gone would make the toolkit abort.
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reachable = !xcb_connection_has_error(connection);
  xcb_disconnect(connection);
  return reachable;
#else
  return true;
#endif
}

int StartWithoutDisplay(const std::vector<std::string>& arguments) {
  const std::string settingsPath = platform::ExecutableFolder() + app::kSettingsFileName;
  app::BackupSettings settings;
  const bool settingsFileExists = platform::FileExists(settingsPath);
  if (settingsFileExists) {
    try {
      app::LoadSettings(settings, settingsPath);
      app::LoadEmailSettings(settings, settingsPath);  // the run's notice
    } catch (const std::exception& error) {
      std::cerr << "VAzeduz: " << settingsPath << ": " << app::ErrorBoxText(error.what()) << "\n";
      return cli::kExitNoSettings;
    }
  }
  if (app::DecideRunMode(settingsFileExists, settings.CheckConfig) == app::RunMode::Settings) {
    std::cerr << "VAzeduz: no display: the settings window cannot be shown "
                 "(DISPLAY and WAYLAND_DISPLAY are not set or not reachable)\n";
    return 1;
  }
  app::ApplyCommandLine(settings, arguments);
  return run::RunHeadless(settings, platform::ExecutableFolder(), platform::kWorkingFolder, std::cout,
                          std::cerr);
}

}  // namespace ui
