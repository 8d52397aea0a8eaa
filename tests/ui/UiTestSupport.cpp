#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <fstream>
#include <sstream>

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

std::string Folder(const QTemporaryDir& folder) { return folder.path().toStdString() + "/"; }

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace uitest
