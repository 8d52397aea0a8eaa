// The program entry's own reports: the last-chance "Application Error" text, and a start with no display.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "ibservice/Errors.h"
#include "ui/ApplicationError.h"

class ProgramEntryTest : public QObject {
  Q_OBJECT

 private slots:
  void applicationErrorNamesClassModuleAndAddress() {
    const ibservice::EIBClientError unbound(1, "Unavailable database");
    QCOMPARE(ui::ApplicationErrorText(unbound, "VAzeduz", reinterpret_cast<const void*>(0x4a2b1c)),
             std::string("Exception EIBClientError in module VAzeduz at 00000000004A2B1C.\r\n"
                         "Unavailable database.\r\n"));
    const ibservice::EOSError missingEntry(127, "isc_attach_database is missing.");
    QCOMPARE(ui::ApplicationErrorText(missingEntry, "VAzeduz", nullptr),
             std::string("Exception EOSError in module VAzeduz at 0000000000000000.\r\n"
                         "isc_attach_database is missing.\r\n"));
  }

  void settingsModeWithoutADisplaySaysSoAndEnds_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("no display, no settings file") << "" << QByteArray();
    QTest::newRow("no display, Abrir on") << "" << QByteArray("[Configuracao]\r\nAbrir=S\r\n");
    QTest::newRow("a display that is gone") << ":97" << QByteArray();
  }

  void settingsModeWithoutADisplaySaysSoAndEnds() {
#ifdef _WIN32
    QSKIP("a Windows program always has its session's desktop");
#endif
    QFETCH(QString, display);
    QFETCH(QByteArray, settings);
    // A copy of the program in a folder of its own, so that it finds only the settings file put there.
    QTemporaryDir folder;
    const QString program = folder.filePath("VAzeduz");
    QVERIFY(QFile::copy(TORVI_VAZEDUZ, program));
    if (!settings.isEmpty()) {
      QFile file(folder.filePath("Configuracaobkp.ini"));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(settings);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(variable);
    if (!display.isEmpty()) environment.insert("DISPLAY", display);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, {"/noftp"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(errors.contains("no display"), qPrintable(errors));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(),
             settings.isEmpty() ? 1 : 2);
  }
};

QTEST_MAIN(ProgramEntryTest)
#include "ProgramEntryTest.moc"
