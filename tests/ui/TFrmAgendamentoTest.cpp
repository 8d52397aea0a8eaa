#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "UiTestSupport.h"
#include "platform/Exception.h"
#include "ui/TFrmAgendamento.h"

namespace {

constexpr char kExecutable[] = "/opt/torvi backup/VAzeduz";

}  // namespace

class TFrmAgendamentoTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ui::TFrmAgendamento> OpenEditor() {
    auto editor = std::make_unique<ui::TFrmAgendamento>(std::make_unique<uitest::MemoryScheduleTable>(state_),
                                                        kExecutable);
    editor->FormShow();
    editor->show();
    editor->activateWindow();
    if (!QTest::qWaitForWindowActive(editor.get())) qWarning("schedule editor not active");
    editor->EdtHora->setFocus();
    return editor;
  }

  void TypeTime(ui::TFrmAgendamento& editor, const QString& keys) {
    editor.EdtHora->setFocus();
    editor.EdtHora->setCursorPosition(0);
    QTest::keyClicks(editor.EdtHora, keys);
  }

  uitest::TableState state_;

 private slots:
  void init() { state_ = uitest::TableState{}; }

  void controlsAndTabOrder() {
    auto editor = OpenEditor();
    QCOMPARE(editor->windowTitle(), QString("Agendamento dos Backups"));
    QCOMPARE(editor->Agendamento->title(), QString("Novo Agendamento"));
    QCOMPARE(editor->CheckBox1->text(), QString::fromUtf8("Forçar Não envio de FTP"));
    QVERIFY(!editor->CheckBox1->isChecked());
    QCOMPARE(editor->Button3->text(), QString("Inserir"));
    QCOMPARE(editor->Button1->text(), QString::fromUtf8("Abandonar Alterações"));
    QCOMPARE(editor->Button4->text(), QString::fromUtf8("Salvar Alterações"));
    QCOMPARE(editor->TimeText(), std::string("  :  "));
    QCOMPARE(editor->EdtHora->displayText(), QString("__:__"));

    // Enter moves on like Tab, in the text area too, where it starts no new line.
    const QStringList expected = {"EdtHora", "CheckBox1", "Button3", "Memo1",
                                  "Button1", "Button4",   "EdtHora"};
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Return}) {
      editor->EdtHora->setFocus();
      QStringList visited = {QApplication::focusWidget()->objectName()};
      for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), key);
        visited << QApplication::focusWidget()->objectName();
      }
      QCOMPARE(visited, expected);
    }
    QVERIFY(editor->isVisible());  // Enter pressed no button
    QVERIFY(editor->Memo1->toPlainText().isEmpty());
    QVERIFY(state_.saves.empty());
  }

  void insertBuildsTheDailyLine_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("noFtp");
    QTest::addColumn<QString>("line");
    QTest::newRow("22:30 without FTP") << "2230" << true << "30 22 * * * /opt/torvi backup/VAzeduz /noftp";
    QTest::newRow("22:30 with FTP") << "2230" << false << "30 22 * * * /opt/torvi backup/VAzeduz";
    QTest::newRow("hour's first place blank") << " 805" << false << "05  8 * * * /opt/torvi backup/VAzeduz";
    QTest::newRow("untouched") << "" << false << "      * * * /opt/torvi backup/VAzeduz";
    QTest::newRow("no range check") << "2599" << false << "99 25 * * * /opt/torvi backup/VAzeduz";
  }

  void insertBuildsTheDailyLine() {
    QFETCH(QString, keys);
    QFETCH(bool, noFtp);
    QFETCH(QString, line);
    auto editor = OpenEditor();
    if (keys.startsWith(' ')) {
      // A blank in the optional hour place is left by stepping over it.
      editor->EdtHora->setCursorPosition(0);
      QTest::keyClick(editor->EdtHora, Qt::Key_Right);
      QTest::keyClicks(editor->EdtHora, keys.mid(1));
    } else if (!keys.isEmpty()) {
      TypeTime(*editor, keys);
    }
    editor->CheckBox1->setChecked(noFtp);
    QTest::mouseClick(editor->Button3, Qt::LeftButton);
    QCOMPARE(editor->TableText(), line.toStdString() + "\r\n");
    QCOMPARE(editor->TimeText(), std::string("  :  "));
    QVERIFY(!editor->CheckBox1->isChecked());
    QCOMPARE(QApplication::focusWidget(), editor->EdtHora);
  }

  void insertAppendsAfterTheTablesLastLine() {
    state_.text = "# outras tarefas\n0 3 * * 1 /usr/bin/limpeza";  // loaded with CR LF, last line unended
    auto editor = OpenEditor();
    QCOMPARE(editor->TableText(), std::string("# outras tarefas\r\n0 3 * * 1 /usr/bin/limpeza"));
    TypeTime(*editor, "0700");
    editor->Button3->click();
    TypeTime(*editor, "1915");
    editor->Button3->click();
    QCOMPARE(
        editor->TableText(),
        std::string("# outras tarefas\r\n0 3 * * 1 /usr/bin/limpeza\r\n"
                    "00 07 * * * /opt/torvi backup/VAzeduz\r\n15 19 * * * /opt/torvi backup/VAzeduz\r\n"));
  }

  void saveWritesTheTextAsItStandsAndCloses() {
    state_.text = "0 3 * * 1 /usr/bin/limpeza\r\n";
    auto editor = OpenEditor();
    TypeTime(*editor, "2230");
    editor->Button3->click();
    editor->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClick(editor->Memo1, Qt::Key_Backspace);  // the user removes the last line break
    editor->Button4->click();
    QCOMPARE(state_.saves.size(), std::size_t{1});
    QCOMPARE(state_.saves.front(),
             std::string("0 3 * * 1 /usr/bin/limpeza\r\n30 22 * * * /opt/torvi backup/VAzeduz"));
    QVERIFY(!editor->isVisible());
  }

  void abandonWritesNothingAndTheNextOpeningReloads() {
    state_.text = "0 3 * * 1 /usr/bin/limpeza\r\n";
    auto editor = OpenEditor();
    TypeTime(*editor, "2230");
    editor->Button3->click();
    editor->Button1->click();
    QVERIFY(!editor->isVisible());
    QVERIFY(state_.saves.empty());
    editor->FormShow();
    QCOMPARE(editor->TableText(), state_.text);
  }

  void refusedSaveShowsTheErrorAndStaysOpen() {
    auto editor = OpenEditor();
    editor->Button3->click();
    state_.unwritable = true;
    uitest::BoxAnswerer boxes;
    editor->Button4->click();
    QCOMPARE(boxes.texts, QStringList{"Cannot create file \"crontab\". bad minute."});
    QCOMPARE(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->TableText(), std::string("      * * * /opt/torvi backup/VAzeduz\r\n"));
  }

  void unreadableTableShowsTheErrorAndOpensEmpty() {
    state_.text = "0 3 * * 1 /usr/bin/limpeza\r\n";
    auto editor = std::make_unique<ui::TFrmAgendamento>(std::make_unique<uitest::MemoryScheduleTable>(state_),
                                                        kExecutable);
    editor->FormShow();
    QCOMPARE(editor->TableText(), state_.text);
    state_.unreadable = true;
    uitest::BoxAnswerer boxes;
    editor->FormShow();
    QCOMPARE(boxes.texts, QStringList{"Cannot open file \"crontab -l\". Permission denied."});
    QVERIFY(editor->Memo1->toPlainText().isEmpty());
  }

  void missingSchedulerIsRequestedUntilItIsThere() {
    state_.installedAfterRequests = 2;
    state_.text = "0 3 * * 1 /usr/bin/limpeza\r\n";
    uitest::BoxAnswerer boxes;
    auto editor = OpenEditor();
    QCOMPARE(state_.installRequests, 2);
    QCOMPARE(boxes.texts, (QStringList{"instale o agendador", "instale o agendador"}));
    QCOMPARE(editor->TableText(), state_.text);
  }

  void cancelWhileTheSchedulerIsMissingClosesTheEditor() {
    state_.installedAfterRequests = 5;
    state_.text = "0 3 * * 1 /usr/bin/limpeza\r\n";
    uitest::BoxAnswerer boxes(QMessageBox::Cancel);
    ui::TFrmAgendamento editor(std::make_unique<uitest::MemoryScheduleTable>(state_), kExecutable);
    editor.ShowModal();  // returns at once: a modal loop would wait here for ever
    QCOMPARE(state_.installRequests, 1);
    QCOMPARE(boxes.texts, QStringList{"instale o agendador"});
    QVERIFY(!editor.isVisible());
    QVERIFY(editor.Memo1->toPlainText().isEmpty());
    QVERIFY(state_.saves.empty());
  }

  void incompleteTimeKeepsTheFocusUntilEscape() {
    auto editor = OpenEditor();
    TypeTime(*editor, "1");
    uitest::BoxAnswerer boxes;
    QTest::keyClick(editor->EdtHora, Qt::Key_Tab);
    QTRY_COMPARE(boxes.texts, QStringList{"Invalid input value.  Use escape key to abandon changes."});
    QTRY_COMPARE(QApplication::focusWidget(), editor->EdtHora);
    QTest::keyClick(editor->EdtHora, Qt::Key_Escape);
    QCOMPARE(editor->TimeText(), std::string("  :  "));
    QVERIFY(editor->isVisible());
    QTest::keyClick(editor->EdtHora, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor->CheckBox1);
    QCOMPARE(boxes.texts.size(), 1);
  }
};

QTEST_MAIN(TFrmAgendamentoTest)
#include "TFrmAgendamentoTest.moc"
