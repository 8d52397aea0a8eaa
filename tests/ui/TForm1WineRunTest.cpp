// The Windows window under Wine with its own stages: "Testar Conexão" and "Testar Backup" against
// pyftpdlib on the Linux side of the loopback (window-run-under-wine.sh starts it and names its port and
// folder), with the fake client library beside this program standing in for the database server. The
// folders go into the fields as a Windows user types them: drive letter and backslashes.
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "app/BackupSettings.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"
#include "ui/TForm1.h"

class TForm1WineRunTest : public QObject {
  Q_OBJECT

 private:
  app::BackupSettings RunSettings(const QTemporaryDir& database, const QTemporaryDir& destination) {
    app::BackupSettings settings;
    settings.EdtServidor = "localhost";
    settings.EdtBase = "C:\\dados\\ORMELIN.FDB";
    settings.EdtPastaTemp = uitest::Folder(database);
    settings.EdtPastaComp = uitest::Folder(database);
    settings.CheckDestino = true;
    settings.EdtDestino = uitest::Folder(destination);
    settings.CheckFTP = true;
    settings.EdtServidorFTP = "127.0.0.1";
    settings.EdtPortaFTP = port_;
    settings.EdtUsuarioFTP = "tester";
    settings.EdtSenhaFTP = "s3cret";
    settings.EdtPastaFTP = "backup";
    settings.ComboBox1 = 1;
    settings.Check_ErroFTP = true;
    return settings;
  }

  std::string port_ = qEnvironmentVariable("TORVI_TEST_FTP_PORT").toStdString();
  std::string serverFolder_ = qEnvironmentVariable("TORVI_TEST_FTP_FOLDER").toStdString();
  runtest::FakeClock clock_{runtest::kRunStart};
  runtest::FakeSleeper sleeper_;

 private slots:
  void initTestCase() {
    QVERIFY2(!port_.empty() && !serverFolder_.empty(), "run by window-run-under-wine.sh");
  }

  void connectionTestAndRunFromTheWindowDeliverTheBackup() {
    QTemporaryDir config;
    QTemporaryDir work;
    QTemporaryDir database;
    QTemporaryDir destination;
    ui::TForm1 form(uitest::FolderEnvironment(config, work, clock_, sleeper_));
    form.ShowSettings(RunSettings(database, destination));
    form.show();
    QCOMPARE(form.EdtDestino->text(), QString::fromStdString(uitest::Folder(destination)));

    uitest::BoxAnswerer connectionBoxes;
    QTest::mouseClick(form.BtnTestaConexao, Qt::LeftButton);
    QCOMPARE(connectionBoxes.texts, QStringList{QString::fromUtf8("Conexão OK!")});

    uitest::BoxAnswerer runBoxes;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const QString console = form.Memo1->toPlainText();
    QVERIFY2(runBoxes.texts.isEmpty(), qPrintable(runBoxes.texts.join('|')));
    QVERIFY2(console.contains("gbak:"), qPrintable(console));  // the server's verbose report
    QVERIFY2(console.contains(QString::fromUtf8(" - Arquivo Enviado com Sucesso!")), qPrintable(console));

    const std::vector<std::string> local = testsupport::FileNames(uitest::Folder(work), ".rar");
    const std::vector<std::string> copied = testsupport::FileNames(uitest::Folder(destination), ".rar");
    const std::vector<std::string> uploaded = testsupport::FileNames(serverFolder_, ".rar");
    QCOMPARE(local.size(), std::size_t{1});
    QCOMPARE(copied, local);
    QCOMPARE(uploaded, local);
    const std::string archive = testsupport::ReadBytes(uitest::Folder(work) + local.front());
    QVERIFY(archive.size() > 100);
    QVERIFY(testsupport::ReadBytes(uitest::Folder(destination) + copied.front()) == archive);
    QVERIFY(testsupport::ReadBytes(serverFolder_ + uploaded.front()) == archive);
  }
};

QTEST_MAIN(TForm1WineRunTest)
#include "TForm1WineRunTest.moc"
