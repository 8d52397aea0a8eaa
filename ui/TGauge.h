#pragma once

#include <QWidget>
#include <cstdint>

namespace ui {

// A percentage bar filled in black on white with the percentage written in its middle, the text
// inverted where the bar covers it. The position is kept within 0..MaxValue.
class TGauge final : public QWidget {
 public:
  explicit TGauge(QWidget* parent = nullptr);

  void SetMaxValue(std::int64_t maxValue);
  void SetProgress(std::int64_t progress);
  int PercentDone() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::int64_t maxValue_ = 100;
  std::int64_t progress_ = 0;
};

}  // namespace ui
