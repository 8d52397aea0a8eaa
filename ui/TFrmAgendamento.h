#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "platform/ScheduleTable.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {

// The schedule editor: appends daily start lines for this program to the scheduler's table and saves
// the table, keeping the previous one as the backup.
class TFrmAgendamento final : public QDialog {
 public:
  TFrmAgendamento(std::unique_ptr<platform::ScheduleTable> table, std::string executablePath,
                  QWidget* parent = nullptr);
  ~TFrmAgendamento() override;

  // Runs the show steps, then keeps the editor open, modal for its owner, until it closes; opens nothing
  // when the show steps gave up.
  void ShowModal();

  // Handlers, named after their control and event.
  // False when the user gave up waiting for the scheduler to be installed: the editor is not to open.
  bool FormShow();
  void Button3Click();
  void Button4Click();
  void Button1Click();

  // The table text as it stands in the editor, with CR LF line ends.
  std::string TableText() const;
  // The time field's text with blanks where nothing was typed ("  :  " when empty).
  std::string TimeText() const;

  QGroupBox* Agendamento;
  QLineEdit* EdtHora;
  QCheckBox* CheckBox1;
  QPushButton* Button3;
  QPlainTextEdit* Memo1;
  QPushButton* Button1;
  QPushButton* Button4;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  void SetTableText(const std::string& text);
  void RejectIncompleteTime();

  std::unique_ptr<platform::ScheduleTable> table_;
  std::string executablePath_;
  QString timeOnEntry_;
};

}  // namespace ui
