#include "ui/TUpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

namespace ui {
namespace {

QToolButton* SpinButton(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  return button;
}

}  // namespace

TUpDown::TUpDown(QLineEdit* associate, int min, int max, int position, QWidget* parent)
    : QWidget(parent),
      associate_(associate),
      up_(SpinButton(Qt::UpArrow, this)),
      down_(SpinButton(Qt::DownArrow, this)),
      min_(min),
      max_(max),
      position_(position) {
  setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  connect(up_, &QToolButton::clicked, this, [this] { StepUp(); });
  connect(down_, &QToolButton::clicked, this, [this] { StepDown(); });
  associate_->installEventFilter(this);
}

void TUpDown::Step(int delta) {
  bool isNumber = false;
  const int shown = associate_->text().trimmed().toInt(&isNumber);
  const int from = isNumber ? shown : position_;
  // In 64 bits: a settings file may hold the largest int, and one step up must not wrap around.
  position_ = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{from} + delta, min_, max_));
  associate_->setText(QString::number(position_));
}

bool TUpDown::eventFilter(QObject* target, QEvent* event) {
  if (target == associate_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(target, event);
}

}  // namespace ui
