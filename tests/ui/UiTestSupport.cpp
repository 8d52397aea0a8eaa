#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>

#include "app/SettingsFile.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "run/Archiver.h"

namespace uitest {

BoxAnswerer::BoxAnswerer(QMessageBox::StandardButton button) : button_(button) {
  connect(&poll_, &QTimer::timeout, this, [this] { AnswerOpenBoxes(); });
  poll_.start(5);
}

void BoxAnswerer::AnswerOpenBoxes() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(window);
    if (!box || !box->isVisible() || box->property("answered").toBool()) continue;
    box->setProperty("answered", true);
    captions << box->windowTitle();
    texts << box->text();
    icons << box->icon();
    QAbstractButton* press = box->button(button_);
    if (!press && box->buttons().size() == 1) press = box->buttons().front();
    if (press) press->click();
  }
}

bool MemoryScheduleTable::Exists() { return state_.installRequests >= state_.installedAfterRequests; }

std::string MemoryScheduleTable::Load() {
  if (state_.unreadable) throw platform::Exception("Cannot open file \"crontab -l\". Permission denied");
  return platform::WithCrLfLineEnds(state_.text);
}

void MemoryScheduleTable::Save(const std::string& text) {
  if (state_.unwritable) throw platform::Exception("Cannot create file \"crontab\". bad minute");
  state_.saves.push_back(text);
  state_.text = text;
}

std::string MemoryScheduleTable::InstallRequest() {
  ++state_.installRequests;
  return "instale o agendador";
}

std::string Folder(const QTemporaryDir& folder) {
  return QDir::toNativeSeparators(folder.path()).toStdString() + platform::kPathSeparator;
}

ui::TForm1Environment FolderEnvironment(const QTemporaryDir& config, const QTemporaryDir& work,
                                        platform::Clock& clock, platform::Sleeper& sleeper) {
  return {.settingsPath = Folder(config) + app::kSettingsFileName,
          .executableFolder = Folder(config),
          .logFolder = Folder(config),
          .workFolder = Folder(work),
          .privateFolder = Folder(config) + "private/",
          .clock = clock,
          .sleeper = sleeper,
          .archiver = run::EmbeddedArchiver(),
          .stages = {},
          .connectionTest = {}};
}

}  // namespace uitest
