// "Testar Backup" in the window with this build's stages: the private Firebird server writes the backup,
// the run archives it, copies it to a destination folder and uploads it to pyftpdlib.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "tests/fixtures/WholeRunSettings.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"
#include "ui/TForm1.h"
#include "ui/TGauge.h"

class TForm1EndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void runFromTheWindowDeliversTheBackup() {
    fixtures::FirebirdServer firebird;
    ftpfixtures::PyFtpServer ftpServer;
    QTemporaryDir config;
    QTemporaryDir work;
    QTemporaryDir destination;
    runtest::FakeClock clock{runtest::kRunStart};
    runtest::FakeSleeper sleeper;
    ui::TForm1 form(uitest::FolderEnvironment(config, work, clock, sleeper));
    form.ShowSettings(fixtures::WholeRunSettings(firebird, ftpServer, uitest::Folder(destination)));
    form.show();

    uitest::BoxAnswerer boxes;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const QString console = form.Memo1->toPlainText();
    QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('|')));
    QVERIFY2(console.contains("gbak:"), qPrintable(console));  // the server's verbose report
    QVERIFY2(console.contains(" - Arquivo Enviado com Sucesso!"), qPrintable(console));
    QVERIFY(!form.Button1->isEnabled() && !form.Button2->isEnabled());
    QVERIFY(form.EndRequested());

    const std::string serverFolder = ftpServer.Home() + "/backup/";
    const std::vector<std::string> local = testsupport::FileNames(uitest::Folder(work), ".rar");
    const std::vector<std::string> copied = testsupport::FileNames(uitest::Folder(destination), ".rar");
    const std::vector<std::string> uploaded = testsupport::FileNames(serverFolder, ".rar");
    QCOMPARE(local.size(), std::size_t{1});
    QCOMPARE(copied.size(), std::size_t{1});
    QCOMPARE(uploaded.size(), std::size_t{1});
    const std::string archive = testsupport::ReadBytes(uitest::Folder(work) + local.front());
    QVERIFY(archive.size() > 100);
    QVERIFY(testsupport::ReadBytes(uitest::Folder(destination) + copied.front()) == archive);
    QVERIFY(testsupport::ReadBytes(serverFolder + uploaded.front()) == archive);
    // The upload moved the gauge to its end; the connection stays open until the program ends.
    QVERIFY(form.Gauge1->isVisible());
    QCOMPARE(form.Gauge1->PercentDone(), 100);
  }
};

QTEST_MAIN(TForm1EndToEndTest)
#include "TForm1EndToEndTest.moc"
