// Puts the windows in the states worth looking at and saves a picture of the whole screen for each:
// the settings window during a run with the progress gauge showing, and the schedule editor with lines
// added. Run by scripts/ui-screenshots under Xvfb with a window manager and a tray host.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <utility>

#include "UiTestSupport.h"
#include "tests/run/NullDeliveryStage.h"
#include "ui/Fonts.h"
#include "ui/TForm1.h"
#include "ui/TFrmAgendamento.h"

namespace {

QString outputFolder;

void SaveScreen(const char* name) {
  QTest::qWait(700);  // let the window manager draw the frames
  const QString path = QDir(outputFolder).filePath(name);
  if (!QGuiApplication::primaryScreen()->grabWindow(0).save(path))
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

class ReportingDatabaseStage final : public run::DatabaseStage {
 public:
  run::DatabaseOutcome Perform(run::RunContext& context) override {
    for (const char* line : {"gbak:readied database /dados/ORMELIN.FDB for backup",
                             "gbak:creating file /var/tmp/torvi/Backup/bkp.bk", "gbak:starting transaction",
                             "gbak:writing domains", "gbak:writing tables",
                             "gbak:writing data for table CLIENTES", "gbak:   1874 records written"}) {
      context.window.AppendConsoleLine(line);
    }
    return run::DatabaseOutcome::BackupWritten;
  }
};

// An upload caught at 42 %: the picture is taken while the gauge shows.
class PicturedFtpDelivery final : public run::DeliveryStage {
 public:
  run::DeliveryOutcome Perform(run::RunContext& context) override {
    context.window.AppendConsoleLine(" - Iniciando tentativa de envio por FTP! - 1ª Tentativa de 3.");
    context.window.ShowGauge();
    context.window.SetGaugeMaximum(1000);
    context.window.SetGaugeProgress(420);
    context.window.AppendConsoleLine(" - Transferindo....");
    context.window.ProcessMessages();
    SaveScreen("run-with-gauge.png");
    context.window.HideGauge();
    return run::DeliveryOutcome::Delivered;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ui::InstallFontSubstitutes();
  if (argc != 2) {
    std::fprintf(stderr, "usage: ui_scenes OUTPUT_FOLDER\n");
    return 64;
  }
  outputFolder = QString::fromLocal8Bit(argv[1]);
  QTemporaryDir config;
  QTemporaryDir work;

  platform::SystemClock clock;
  platform::SystemSleeper sleeper;
  ReportingDatabaseStage database;
  runtest::NullDeliveryStage destination;
  PicturedFtpDelivery ftp;
  ui::TForm1Environment environment = uitest::FolderEnvironment(config, work, clock, sleeper);
  environment.stages = [&](run::RunWindow&) { return run::RunStages{database, destination, ftp}; };
  ui::TForm1 form(std::move(environment));
  app::BackupSettings settings;
  settings.EdtServidor = "servidor-ormelin";
  settings.EdtBase = "/dados/ORMELIN.FDB";
  settings.EdtPastaTemp = "D:\\Temp\\";
  settings.EdtPastaComp = "\\\\servidor-ormelin\\d\\Temp\\";
  settings.CheckFTP = true;
  settings.EdtServidorFTP = "ftp.example.net";
  settings.EdtUsuarioFTP = "envio";
  settings.EdtSenhaFTP = "segredo";
  settings.EdtPastaFTP = "backups";
  settings.CheckConfig = true;
  form.ShowSettings(settings);
  form.FormCreate({});
  QTest::qWait(300);
  form.Button1Click();

  uitest::TableState table;
  table.text = "# tarefas do sistema\n0 3 * * 1 /usr/local/bin/limpeza\n";
  ui::TFrmAgendamento editor(std::make_unique<uitest::MemoryScheduleTable>(table), "/opt/torvi/VAzeduz",
                             &form);
  editor.FormShow();
  editor.show();
  for (const char* time : {"2230", "0715"}) {
    editor.EdtHora->setFocus();
    editor.EdtHora->setCursorPosition(0);
    QTest::keyClicks(editor.EdtHora, time);
    editor.CheckBox1->setChecked(time[0] == '0');
    editor.Button3->click();
  }
  QTest::keyClicks(editor.EdtHora, "1");
  SaveScreen("schedule-editor.png");
  return 0;
}
