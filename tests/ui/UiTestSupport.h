#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <string>

#include "platform/Clock.h"

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

class FixedClock final : public platform::Clock {
 public:
  platform::LocalDateTime Now() override { return {2026, 12, 8, 21, 7, 28}; }
};

class NoSleeper final : public platform::Sleeper {
 public:
  void Sleep(int) override {}
};

// A folder of the test's own, ending with the separator.
std::string Folder(const QTemporaryDir& folder);
std::string ReadFile(const std::string& path);

}  // namespace uitest
