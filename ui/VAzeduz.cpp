#include <QApplication>
#include <QFileInfo>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "ibservice/ClientLibrary.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/PrivateFolder.h"
#include "platform/ScheduleTable.h"
#include "platform/WorkingFolder.h"
#include "run/Archiver.h"
#include "ui/ApplicationError.h"
#include "ui/Display.h"
#include "ui/Fonts.h"
#include "ui/TForm1.h"
#include "ui/TFrmAgendamento.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!ui::DisplayAvailable()) return ui::StartWithoutDisplay(arguments);

  QApplication application(argc, argv);
  ui::InstallFontSubstitutes();
  // The program lives in the tray; it ends when asked to, not when its window closes.
  QApplication::setQuitOnLastWindowClosed(false);

  // The settings window's backup component needs the database client library; without it the window
  // cannot be built and nothing else happens.
  try {
    ibservice::RequireClientLibrary();
  } catch (const std::exception& error) {
    const std::string module = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    ui::ShowApplicationError(ui::ApplicationErrorText(
        error, module, reinterpret_cast<const void*>(&ibservice::RequireClientLibrary)));
    return 1;
  }

  platform::SystemClock clock;
  platform::SystemSleeper sleeper;
  const std::string folder = platform::ExecutableFolder();
  ui::TForm1 form({.settingsPath = folder + app::kSettingsFileName,
                   .executableFolder = folder,
                   .logFolder = folder,
                   .workFolder = platform::kWorkingFolder,
                   .privateFolder = platform::UserPrivateFolder(),
                   .clock = clock,
                   .sleeper = sleeper,
                   .archiver = run::EmbeddedArchiver(),
                   .stages = {},
                   .connectionTest = {}});
  // The system's own form of the path (backslashes on Windows) goes into the scheduler's lines.
  ui::TFrmAgendamento editor(platform::UserScheduleTable(), platform::ExecutablePath(), &form);
  form.SetScheduleEditor(&editor);
  form.FormCreate(arguments);
  if (form.EndRequested()) {
    // The automatic run asked for the end before the message loop started: the window shows for a
    // moment, then the program ends.
    QCoreApplication::processEvents();
    return 0;
  }
  return QApplication::exec();
}
