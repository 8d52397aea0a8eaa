#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/ScheduleTable.h"
#include "ui/TForm1.h"

namespace uitest {

// Answers every message box that opens while it lives: records its caption, text and icon, then presses
// `button` (or the box's only button).
class BoxAnswerer final : public QObject {
 public:
  explicit BoxAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok);

  QStringList captions;
  QStringList texts;
  QList<QMessageBox::Icon> icons;

 private:
  void AnswerOpenBoxes();

  QMessageBox::StandardButton button_;
  QTimer poll_;
};

// The scheduler's table kept in memory: the crontab behind the real one is the user's own, which no test
// may touch (the crontab mapping has its own tests with a stand-in command).
struct TableState {
  int installedAfterRequests = 0;  // the scheduler appears after this many install requests
  int installRequests = 0;
  std::string text;
  bool unreadable = false;
  bool unwritable = false;
  std::vector<std::string> saves;
};

class MemoryScheduleTable final : public platform::ScheduleTable {
 public:
  explicit MemoryScheduleTable(TableState& state) : state_(state) {}
  bool Exists() override;
  std::string Load() override;
  void Save(const std::string& text) override;
  std::string InstallRequest() override;

 private:
  TableState& state_;
};

// A folder of the test's own as the system writes it (backslashes on Windows), ending with the separator.
std::string Folder(const QTemporaryDir& folder);
// A window's surroundings in the test's own folders: the settings file, the log and the program's folder
// in `config`, the run's working folder in `work`; this build's archiver, stages and connection test.
ui::TForm1Environment FolderEnvironment(const QTemporaryDir& config, const QTemporaryDir& work,
                                        platform::Clock& clock, platform::Sleeper& sleeper);

}  // namespace uitest
