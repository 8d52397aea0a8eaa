// "Testar Conexão" from the window, against a real FTP server on loopback.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "UiTestSupport.h"
#include "app/Profile.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/run/RunTestSupport.h"
#include "ui/TForm1.h"
#include "ui/TGauge.h"

class TForm1FtpTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ui::TForm1> MakeForm(const QTemporaryDir& config, const QTemporaryDir& work) {
    return std::make_unique<ui::TForm1>(uitest::FolderEnvironment(config, work, clock_, sleeper_));
  }

  runtest::FakeClock clock_{runtest::kRunStart};
  runtest::FakeSleeper sleeper_;

 private slots:
  void connectionTestReportsTheServersAnswer_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("good login") << ftpfixtures::PyFtpServer::kPassword << QString::fromUtf8("Conexão OK!");
    QTest::newRow("refused login") << "wrong" << QString::fromUtf8("Problemas com a Conexão.");
  }

  void connectionTestReportsTheServersAnswer() {
    QFETCH(QString, password);
    QFETCH(QString, message);
    ftpfixtures::PyFtpServer server;
    QTemporaryDir config;
    QTemporaryDir work;
    auto form = MakeForm(config, work);
    form->show();
    form->EdtServidorFTP->setText("127.0.0.1");
    form->EdtPortaFTP->setText(QString::number(server.Port()));
    form->EdtUsuarioFTP->setText(ftpfixtures::PyFtpServer::kUser);
    form->EdtSenhaFTP->setText(password);
    uitest::BoxAnswerer boxes;
    QTest::mouseClick(form->BtnTestaConexao, Qt::LeftButton);
    QCOMPARE(boxes.texts, QStringList{message});
    QCOMPARE(boxes.captions, QStringList{"Backup Ormelin - Torvi Vivedizezid"});
    QVERIFY(QFile::exists(config.filePath("private/winrar.exe")));  // the payload of the test upload
    QVERIFY(!QFile::exists(work.filePath("winrar.exe")));
    QVERIFY(!std::filesystem::exists(server.Home() + "/winrar"));  // uploaded and deleted, or never sent
    QVERIFY(!form->Gauge1->isVisible());
    QVERIFY(form->Button1->isEnabled() && form->Button2->isEnabled());
    QVERIFY(!form->EndRequested());
  }
  void untrustedCertificateIsShownAndPinnedOnlyWhenTrusted_data() {
    QTest::addColumn<bool>("trust");
    QTest::addColumn<QString>("message");
    QTest::newRow("trusted") << true << QString::fromUtf8("Conexão OK!");
    QTest::newRow("not trusted") << false << QString::fromUtf8("Problemas com a Conexão.");
  }

  void untrustedCertificateIsShownAndPinnedOnlyWhenTrusted() {
    QFETCH(bool, trust);
    QFETCH(QString, message);
    ftpfixtures::TestCertificates certificates;
    ftpfixtures::PyFtpServer server("",
                                    {certificates.Certificate("selfsigned"), certificates.Key("selfsigned")});
    QTemporaryDir config;
    QTemporaryDir work;
    auto form = MakeForm(config, work);
    form->show();
    form->EdtServidorFTP->setText("localhost");
    form->EdtPortaFTP->setText(QString::number(server.Port()));
    form->EdtUsuarioFTP->setText(ftpfixtures::PyFtpServer::kUser);
    form->EdtSenhaFTP->setText(ftpfixtures::PyFtpServer::kPassword);
    form->ComboSeguranca->setCurrentIndex(1);
    uitest::BoxAnswerer boxes(trust ? QMessageBox::Yes : QMessageBox::No);
    QTest::mouseClick(form->BtnTestaConexao, Qt::LeftButton);
    QCOMPARE(boxes.texts.size(), 2);
    const std::string fingerprint = certificates.Fingerprint("selfsigned");
    QVERIFY(boxes.texts.front().contains(QString::fromStdString("SHA-256: " + fingerprint)));
    QVERIFY(boxes.texts.front().contains("CN = selfsigned"));
    QCOMPARE(boxes.texts.back(), message);
    const std::string pinned =
        app::ReadProfileString(config.filePath("Configuracaobkp.ini").toStdString(), "FTP", "Certificado");
    QCOMPARE(pinned, trust ? fingerprint : std::string());
    QCOMPARE(form->Settings().CertificadoFTP, pinned);
  }
};

QTEST_MAIN(TForm1FtpTest)
#include "TForm1FtpTest.moc"
