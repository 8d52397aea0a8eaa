#include "ui/TFrmAgendamento.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/StartUp.h"
#include "ui/EnterAsTab.h"
#include "ui/MessageBoxes.h"
#include "ui/Widgets.h"

namespace ui {
namespace {

constexpr char kInvalidTime[] = "Invalid input value.  Use escape key to abandon changes";

}  // namespace

TFrmAgendamento::TFrmAgendamento(std::unique_ptr<platform::ScheduleTable> table, std::string executablePath,
                                 QWidget* parent)
    : QDialog(parent), table_(std::move(table)), executablePath_(std::move(executablePath)) {
  setObjectName("FrmAgendamento");
  setWindowTitle("Agendamento dos Backups");
  setFont(QFont("MS Sans Serif", 8));
  setWindowModality(Qt::WindowModal);
  resize(662, 359);
  CenterOnScreen(this);

  Agendamento = Named(new QGroupBox("Novo Agendamento", this), "Agendamento");
  Agendamento->setFixedSize(329, 65);
  auto* row = new QHBoxLayout(Agendamento);
  row->setContentsMargins(8, 4, 8, 6);
  EdtHora = Named(new QLineEdit(Agendamento), "EdtHora");
  EdtHora->setInputMask("09:99;_");  // optional digit, digit, ':', digit, digit
  EdtHora->setFixedWidth(48);
  CheckBox1 = Named(new QCheckBox(QString::fromUtf8("Forçar Não envio de FTP"), Agendamento), "CheckBox1");
  Button3 = Button("Button3", "Inserir", Agendamento);
  row->addWidget(EdtHora);
  row->addWidget(CheckBox1);
  row->addWidget(Button3);

  Memo1 = Named(new QPlainTextEdit(this), "Memo1");
  QFont tableFont("Courier New", 11);
  tableFont.setStyleHint(QFont::TypeWriter);
  Memo1->setFont(tableFont);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setTabChangesFocus(true);
  Memo1->setMinimumSize(641, 177);

  Button1 = Button("Button1", "Abandonar Alterações", this);
  Button4 = Button("Button4", "Salvar Alterações", this);
  Button1->setFixedWidth(201);
  Button4->setFixedWidth(201);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(Agendamento, 0, Qt::AlignLeft);
  layout->addWidget(Memo1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button4);
  buttons->addStretch(1);
  layout->addLayout(buttons);

  QWidget::setTabOrder(EdtHora, CheckBox1);
  QWidget::setTabOrder(CheckBox1, Button3);
  QWidget::setTabOrder(Button3, Memo1);
  QWidget::setTabOrder(Memo1, Button1);
  QWidget::setTabOrder(Button1, Button4);
  EnterActsAsTab(this);
  timeOnEntry_ = EdtHora->text();
  EdtHora->installEventFilter(this);

  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

TFrmAgendamento::~TFrmAgendamento() = default;

void TFrmAgendamento::ShowModal() {
  if (FormShow()) exec();
}

bool TFrmAgendamento::FormShow() {
  QWidget* owner = parentWidget() ? parentWidget() : this;
  // Until the scheduler is there, each OK asks again; Cancel gives up and the editor stays closed.
  while (!table_->Exists()) {
    if (!AskOkCancel(owner, app::kApplicationTitle, table_->InstallRequest())) return false;
  }
  Memo1->clear();
  try {
    SetTableText(table_->Load());
  } catch (const std::exception& error) {
    ShowErrorBox(owner, error.what());
  }
  return true;
}

void TFrmAgendamento::Button3Click() {
  const std::string line = platform::ComposeScheduleLine(TimeText(), CheckBox1->isChecked(), executablePath_);
  SetTableText(platform::AppendScheduleLine(TableText(), line));
  EdtHora->clear();
  timeOnEntry_ = EdtHora->text();
  EdtHora->setFocus();
  CheckBox1->setChecked(false);
}

void TFrmAgendamento::Button4Click() {
  try {
    table_->Save(TableText());
  } catch (const std::exception& error) {
    ShowErrorBox(this, error.what());
    return;
  }
  accept();
}

void TFrmAgendamento::Button1Click() { reject(); }

std::string TFrmAgendamento::TableText() const {
  return platform::WithCrLfLineEnds(Memo1->toPlainText().toStdString());
}

std::string TFrmAgendamento::TimeText() const {
  return EdtHora->displayText().replace(QLatin1Char('_'), QLatin1Char(' ')).toStdString();
}

void TFrmAgendamento::SetTableText(const std::string& text) {
  // The text area keeps LF line ends; CR LF is restored whenever the text leaves it.
  QString shown = QString::fromStdString(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  Memo1->setPlainText(shown);
  Memo1->moveCursor(QTextCursor::End);
}

void TFrmAgendamento::RejectIncompleteTime() {
  if (!isVisible()) return;
  QApplication::beep();
  EdtHora->setFocus();
  ShowErrorBox(this, kInvalidTime);
  activateWindow();
  EdtHora->setFocus();
}

bool TFrmAgendamento::eventFilter(QObject* target, QEvent* event) {
  if (target != EdtHora) return QDialog::eventFilter(target, event);
  switch (event->type()) {
    case QEvent::FocusIn: {
      // Entered from another control; the focus coming back after the error box keeps the old value.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
          reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
        timeOnEntry_ = EdtHora->text();
      }
      break;
    }
    case QEvent::KeyPress:
      // Escape gives the field back the value it had on entry instead of closing the editor.
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && EdtHora->text() != timeOnEntry_) {
        EdtHora->setText(timeOnEntry_);
        return true;
      }
      break;
    case QEvent::FocusOut: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      const bool toAnotherControl = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
      // A changed time with a required digit missing keeps the focus; the box opens once the focus
      // change has settled.
      if (toAnotherControl && isVisible() && EdtHora->text() != timeOnEntry_ &&
          !EdtHora->hasAcceptableInput()) {
        QTimer::singleShot(0, this, [this] { RejectIncompleteTime(); });
      }
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(target, event);
}

}  // namespace ui
