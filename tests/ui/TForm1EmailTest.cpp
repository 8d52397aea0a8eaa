// The "E-mail..." button and its dialog, against a real SMTP server on loopback; the rule that the box
// "Enviar Email" cannot be ticked without a mail server; addresses that cannot be saved.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "UiTestSupport.h"
#include "app/SettingsFile.h"
#include "tests/fixtures/smtp/SmtpServer.h"
#include "tests/run/RunTestSupport.h"
#include "ui/TForm1.h"
#include "ui/TFrmEmail.h"

class TForm1EmailTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ui::TForm1> MakeForm() {
    auto form = std::make_unique<ui::TForm1>(uitest::FolderEnvironment(*config_, *work_, clock_, sleeper_));
    form->show();
    return form;
  }

  // Fills the dialog the next "E-mail..." opens, presses its test button, then OK or Cancel.
  static void WhenTheDialogOpens(const smtpfixtures::SmtpServer& smtp, const QString& port, bool pressTest,
                                 bool ok) {
    QTimer::singleShot(0, [&smtp, port, pressTest, ok] {
      auto* dialog = dynamic_cast<ui::TFrmEmail*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->EdtServidorEmail->setText("127.0.0.1");
      dialog->ComboSegurancaEmail->setCurrentIndex(1);
      dialog->EdtPortaEmail->setText(port);
      dialog->EdtUsuarioEmail->setText(smtpfixtures::SmtpServer::kUser);
      dialog->EdtSenhaEmail->setText(smtpfixtures::SmtpServer::kPassword);
      dialog->EdtCertificadoEmail->setText(QString::fromStdString(smtp.Fingerprint()));
      if (pressTest) QTest::mouseClick(dialog->BtnTestaEmail, Qt::LeftButton);
      QTest::mouseClick(ok ? dialog->BtnOk : dialog->BtnCancelar, Qt::LeftButton);
      if (dialog->isVisible()) dialog->reject();  // OK refused: the test has seen the box
    });
  }

  std::unique_ptr<QTemporaryDir> config_;
  std::unique_ptr<QTemporaryDir> work_;
  runtest::FakeClock clock_{runtest::kRunStart};
  runtest::FakeSleeper sleeper_;

 private slots:
  void init() {
    config_ = std::make_unique<QTemporaryDir>();
    work_ = std::make_unique<QTemporaryDir>();
  }

  void theBoxCannotBeTickedWithoutAMailServer() {
    auto form = MakeForm();
    uitest::BoxAnswerer boxes;
    QTest::mouseClick(form->CheckEnviaEmail, Qt::LeftButton);
    QVERIFY(!form->CheckEnviaEmail->isChecked());
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts.front().contains("E-mail..."));
  }

  void theDialogSendsTheTestMessageAndKeepsTheServer() {
    smtpfixtures::SmtpServer smtp(smtpfixtures::Mode::StartTls, smtpfixtures::Certificate::SelfSigned);
    auto form = MakeForm();
    form->EdtEmail->setText("ti@empresa.com.br");
    uitest::BoxAnswerer boxes;
    WhenTheDialogOpens(smtp, QString::number(smtp.Port()), true, true);
    QTest::mouseClick(form->BtnEmail, Qt::LeftButton);
    QCOMPARE(boxes.texts, QStringList{QString::fromUtf8("E-mail de teste enviado para: ti@empresa.com.br")});
    QCOMPARE(smtp.Messages().size(), std::size_t{1});

    QTest::mouseClick(form->CheckEnviaEmail, Qt::LeftButton);
    QVERIFY(form->CheckEnviaEmail->isChecked());
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    app::BackupSettings saved;
    app::LoadEmailSettings(saved, uitest::Folder(*config_) + app::kSettingsFileName);
    QCOMPARE(saved.EdtServidorEmail, std::string("127.0.0.1"));
    QCOMPARE(saved.EdtPortaEmail, std::to_string(smtp.Port()));
    QCOMPARE(saved.EdtSenhaEmail, std::string(smtpfixtures::SmtpServer::kPassword));
    QVERIFY(saved.CheckEnviaEmail);
  }

  void badValuesAreRefusedWhereTheyAreKept() {
    smtpfixtures::SmtpServer smtp(smtpfixtures::Mode::StartTls, smtpfixtures::Certificate::SelfSigned);
    auto form = MakeForm();
    uitest::BoxAnswerer boxes;
    WhenTheDialogOpens(smtp, "porta", false, true);
    QTest::mouseClick(form->BtnEmail, Qt::LeftButton);
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts.front().contains("Email/Porta"));
    QVERIFY(form->Settings().EdtServidorEmail.empty());  // the refused dialog changed nothing

    form->EdtEmail->setText(QString::fromUtf8("ti@empresa.com.br\x01"));
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    QCOMPARE(boxes.texts.size(), 2);
    QVERIFY(boxes.texts.back().contains("caracteres de controle"));
    QVERIFY(!QFile::exists(QString::fromStdString(uitest::Folder(*config_) + app::kSettingsFileName)));
  }
};

QTEST_MAIN(TForm1EmailTest)
#include "TForm1EmailTest.moc"
