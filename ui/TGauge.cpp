#include "ui/TGauge.h"

#include <QPainter>
#include <algorithm>

namespace ui {

TGauge::TGauge(QWidget* parent) : QWidget(parent) {}

void TGauge::SetMaxValue(std::int64_t maxValue) {
  maxValue_ = std::max<std::int64_t>(maxValue, 0);
  SetProgress(progress_);
}

void TGauge::SetProgress(std::int64_t progress) {
  progress_ = std::clamp<std::int64_t>(progress, 0, maxValue_);
  update();
}

int TGauge::PercentDone() const {
  // A transfer of unknown size has no maximum and stays at 0 %.
  if (maxValue_ <= 0) return 0;
  return static_cast<int>(static_cast<long double>(progress_) * 100 / static_cast<long double>(maxValue_));
}

void TGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  const QRect done(inside.left(), inside.top(), inside.width() * PercentDone() / 100, inside.height());
  const QString text = QString::number(PercentDone()) + "%";
  painter.fillRect(inside, Qt::white);
  painter.fillRect(done, Qt::black);
  painter.setPen(Qt::black);
  painter.drawRect(frame);
  painter.setClipRect(inside);
  painter.drawText(inside, Qt::AlignCenter, text);
  painter.setClipRect(done);
  painter.setPen(Qt::white);
  painter.drawText(inside, Qt::AlignCenter, text);
}

}  // namespace ui
