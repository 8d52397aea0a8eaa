#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace ui {

// Up and down spin buttons bound to a field that shows their number. Each step starts from the number
// the field shows, stays within Min..Max without wrapping, and writes the new number into the field.
// The Up and Down keys in the field step too.
class TUpDown final : public QWidget {
 public:
  TUpDown(QLineEdit* associate, int min, int max, int position, QWidget* parent = nullptr);

  int Min() const { return min_; }
  int Max() const { return max_; }
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  void Step(int delta);
  void StepUp() { Step(+1); }
  void StepDown() { Step(-1); }

  QLineEdit* associate_;
  QToolButton* up_;
  QToolButton* down_;
  int min_;
  int max_;
  int position_;
};

}  // namespace ui
