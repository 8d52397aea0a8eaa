#include "ui/MessageBoxes.h"

#include <QMessageBox>

#include "app/StartUp.h"

namespace ui {
namespace {

QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const std::string& caption,
                                 const std::string& text, QMessageBox::StandardButtons buttons) {
  // The program's texts break lines with CR, as the system's message boxes do.
  QString shown = QString::fromStdString(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox box(icon, QString::fromStdString(caption), shown, buttons, owner);
  box.setTextFormat(Qt::PlainText);
  if (owner) box.setWindowModality(Qt::WindowModal);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void ShowNotice(QWidget* owner, const std::string& text) {
  Show(owner, QMessageBox::NoIcon, app::kApplicationTitle, text, QMessageBox::Ok);
}

bool AskOkCancel(QWidget* owner, const std::string& caption, const std::string& text) {
  return Show(owner, QMessageBox::NoIcon, caption, text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

bool AskYesNo(QWidget* owner, const std::string& caption, const std::string& text) {
  return Show(owner, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void ShowErrorBox(QWidget* owner, const std::string& message) {
  ShowErrorBoxText(owner, app::ErrorBoxText(message));
}

void ShowErrorBoxText(QWidget* owner, const std::string& text) {
  Show(owner, QMessageBox::Critical, app::kApplicationTitle, text, QMessageBox::Ok);
}

}  // namespace ui
