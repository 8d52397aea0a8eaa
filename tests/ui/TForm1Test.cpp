#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <memory>
#include <optional>

#include "UiTestSupport.h"
#include "app/SettingsFile.h"
#include "platform/Exception.h"
#include "tests/run/NullDeliveryStage.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"
#include "ui/TForm1.h"
#include "ui/TGauge.h"
#include "ui/TUpDown.h"

namespace {

// A database stage standing in for the server: reports like one, or fails as a refused login does.
class ScriptedDatabaseStage final : public run::DatabaseStage {
 public:
  std::function<void(run::RunContext&)> action;
  run::DatabaseOutcome Perform(run::RunContext& context) override {
    if (action) action(context);
    return run::DatabaseOutcome::BackupWritten;
  }
};

app::BackupSettings EveryFieldChanged() {
  app::BackupSettings settings;
  settings.EdtServidor = "servidor-ormelin";
  settings.EdtBase = "C:/Ormelin/Dados/ORMELIN.FDB";
  settings.EdtUsuario = "operador";
  settings.EdtSenha = "sênha secreta";
  settings.EdtPastaTemp = "D:\\Temp\\";
  settings.EdtPastaComp = "\\\\servidor-ormelin\\d\\Temp\\";
  settings.CheckDestino = true;
  settings.EdtDestino = "/media/cópias/";
  settings.CheckFTP = true;
  settings.EdtServidorFTP = "ftp.example.net";
  settings.EdtPastaFTP = "backups/diários";
  settings.EdtPortaFTP = "2121";
  settings.EdtUsuarioFTP = "envio";
  settings.EdtSenhaFTP = "pa$$ word";
  settings.edtarquivosftp = "37";
  settings.ComboBox1 = 1;
  settings.ComboSeguranca = 2;
  settings.CertificadoFTP = std::string(64, 'B');
  settings.Check_ErroFTP = true;
  settings.CheckMudaExtensao = true;
  settings.EdtExtensaoFTP = "zip";
  settings.CheckConfig = true;
  settings.EdtEmail = "suporte@example.net";
  settings.CheckEnviaEmail = true;
  settings.EdtSenhaCompactacao = "Cofre-Açaí 2026!";
  settings.CheckOcultarNomes = true;
  return settings;
}

void ExpectSameSettings(const app::BackupSettings& a, const app::BackupSettings& b) {
  QCOMPARE(a.EdtServidor, b.EdtServidor);
  QCOMPARE(a.EdtBase, b.EdtBase);
  QCOMPARE(a.EdtUsuario, b.EdtUsuario);
  QCOMPARE(a.EdtSenha, b.EdtSenha);
  QCOMPARE(a.EdtPastaTemp, b.EdtPastaTemp);
  QCOMPARE(a.EdtPastaComp, b.EdtPastaComp);
  QCOMPARE(a.CheckDestino, b.CheckDestino);
  QCOMPARE(a.EdtDestino, b.EdtDestino);
  QCOMPARE(a.CheckFTP, b.CheckFTP);
  QCOMPARE(a.EdtServidorFTP, b.EdtServidorFTP);
  QCOMPARE(a.EdtPastaFTP, b.EdtPastaFTP);
  QCOMPARE(a.EdtPortaFTP, b.EdtPortaFTP);
  QCOMPARE(a.EdtUsuarioFTP, b.EdtUsuarioFTP);
  QCOMPARE(a.EdtSenhaFTP, b.EdtSenhaFTP);
  QCOMPARE(a.edtarquivosftp, b.edtarquivosftp);
  QCOMPARE(a.ComboBox1, b.ComboBox1);
  QCOMPARE(a.ComboSeguranca, b.ComboSeguranca);
  QCOMPARE(a.CertificadoFTP, b.CertificadoFTP);
  QCOMPARE(a.Check_ErroFTP, b.Check_ErroFTP);
  QCOMPARE(a.CheckMudaExtensao, b.CheckMudaExtensao);
  QCOMPARE(a.EdtExtensaoFTP, b.EdtExtensaoFTP);
  QCOMPARE(a.CheckConfig, b.CheckConfig);
  QCOMPARE(a.EdtEmail, b.EdtEmail);
  QCOMPARE(a.CheckEnviaEmail, b.CheckEnviaEmail);
  QCOMPARE(a.EdtSenhaCompactacao, b.EdtSenhaCompactacao);
  QCOMPARE(a.CheckOcultarNomes, b.CheckOcultarNomes);
}

}  // namespace

class TForm1Test : public QObject {
  Q_OBJECT

 private:
  // A settings window whose files all live in this test's own folders.
  std::unique_ptr<ui::TForm1> MakeForm() {
    ui::TForm1Environment environment =
        uitest::FolderEnvironment(*configFolder_, *workFolder_, clock_, sleeper_);
    environment.stages = [this](run::RunWindow&) { return run::RunStages{database_, destination_, ftp_}; };
    environment.connectionTest = [this](const app::BackupSettings& settings, run::RunWindow& window) {
      ++connectionTests_;
      if (duringConnectionTest_) duringConnectionTest_();
      window.AppendConsoleLine("teste de " + settings.EdtServidorFTP);
    };
    return std::make_unique<ui::TForm1>(std::move(environment));
  }

  std::unique_ptr<ui::TForm1> ShownForm() {
    auto form = MakeForm();
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get())) qWarning("settings window not active");
    return form;
  }

  QStringList ConsoleLines(const ui::TForm1& form) {
    return form.Memo1->toPlainText().split('\n', Qt::SkipEmptyParts);
  }

  std::string SettingsPath() { return uitest::Folder(*configFolder_) + app::kSettingsFileName; }

  std::unique_ptr<QTemporaryDir> configFolder_;
  std::unique_ptr<QTemporaryDir> workFolder_;
  runtest::FakeClock clock_{runtest::kRunStart};
  runtest::FakeSleeper sleeper_;
  ScriptedDatabaseStage database_;
  runtest::NullDeliveryStage destination_;
  runtest::NullDeliveryStage ftp_;
  int connectionTests_ = 0;
  std::function<void()> duringConnectionTest_;

 private slots:
  void init() {
    configFolder_ = std::make_unique<QTemporaryDir>();
    workFolder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(configFolder_->isValid() && workFolder_->isValid());
    database_.action = nullptr;
    connectionTests_ = 0;
    duringConnectionTest_ = nullptr;
  }

  void controlsCarryTheirNamesCaptionsAndDesignValues() {
    auto form = MakeForm();
    QCOMPARE(form->windowTitle(), QString("Ormelin Backup 2.0 (Beta)"));
    QCOMPARE(form->size(), QSize(751, 528));
    QCOMPARE(form->minimumSize(), form->maximumSize());

    const std::pair<const char*, const char*> captions[] = {
        {"GroupBox1", "Banco de Dados do Ormelin"},
        {"GroupBox2",
         "Configuração de Compartilhamento (Em caso do Servidor não ser a máquina que faz o Backup)"},
        {"GroupBox3", "Gravação em Unidade Local"},
        {"GroupBox4", "Backup por FTP"},
        {"GroupBox5", "Opções Gerais"},
        {"CheckDestino", "Gravar em:"},
        {"Button5", "Button5"},
        {"CheckFTP", "Enviar Backup por FTP"},
        {"Pasta", "Pasta"},
        {"Check_ErroFTP", "Não Avisar se não conseguir enviar por FTP"},
        {"CheckMudaExtensao", "Alterar Extensão do Arquivo"},
        {"BtnTestaConexao", "Testar Conexão"},
        {"CheckConfig", "Abrir Tela de Configuração"},
        {"CheckEnviaEmail", "Enviar Email caso nao consiga concluir o Backup"},
        {"Button2", "Salvar Alterações"},
        {"Button1", "Testar Backup"},
        {"Button3", "Configurar Agendamentos"},
        {"Button4", "Criar Conta FTP"},
    };
    for (const auto& [name, caption] : captions) {
      QObject* control = form->findChild<QObject*>(name);
      QVERIFY2(control, name);
      QString shown;
      if (auto* group = qobject_cast<QGroupBox*>(control)) shown = group->title();
      if (auto* button = qobject_cast<QAbstractButton*>(control)) shown = button->text();
      if (auto* label = qobject_cast<QLabel*>(control)) shown = label->text();
      QCOMPARE(shown, QString::fromUtf8(caption));
    }
    QStringList labels;
    for (const QLabel* label : form->findChildren<QLabel*>()) labels << label->text();
    for (const char* label : {"Servidor", "Usuário", "Senha", "Base de Dados",
                              "Pasta Temporária no Servidor (Deve estar compartilhada)",
                              "Caminho do Compartilhamento na Rede(Ex: \\\\Servidor\\c\\...)",
                              "Servidor FTP (Host)", "Porta", "Modo", "Manter", "Cópias no Servidor"}) {
      QVERIFY2(labels.contains(QString::fromUtf8(label)), label);
    }

    // Design values are the settings' initial values.
    ExpectSameSettings(form->Settings(), app::BackupSettings{});
    QCOMPARE(form->EdtSenha->displayText(), QString("*********"));
    form->EdtSenhaFTP->setText("abc");
    QCOMPARE(form->EdtSenhaFTP->displayText(), QString("***"));
    form->EdtSenhaCompactacao->setText("abcd");
    QCOMPARE(form->EdtSenhaCompactacao->displayText(), QString("****"));
    QCOMPARE(form->EdtSenhaCompactacao->maxLength(), 126);
    QVERIFY(labels.contains(QString::fromUtf8("Senha do arquivo compactado")));
    QCOMPARE(form->CheckOcultarNomes->text(), QString("Ocultar nomes"));
    QCOMPARE(form->ComboBox1->count(), 2);
    QCOMPARE(form->ComboBox1->itemText(0), QString("Ativo (Default)"));
    QCOMPARE(form->ComboBox1->itemText(1), QString("Passivo"));
    QVERIFY(!form->ComboBox1->isEditable());
    QVERIFY(form->edtarquivosftp->isReadOnly());
    QVERIFY(form->Memo1->isReadOnly());
    QVERIFY(form->Memo1->toPlainText().isEmpty());
    QCOMPARE(form->Memo1->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(form->Memo1->palette().color(QPalette::Text), QColor(0, 255, 0));
    QCOMPARE(form->Memo2->toPlainText(), QString("Memo2"));
    QCOMPARE(form->Gauge1->size(), QSize(709, 16));

    form->show();
    QVERIFY(!form->Gauge1->isVisible());
    QVERIFY(!form->Memo2->isVisible());
    QVERIFY(form->GroupBox2->isVisible());  // design visibility, whatever the server field says
  }

  void tabAndEnterFollowTheTabOrder_data() {
    QTest::addColumn<bool>("shareGroupVisible");
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Tab, share group shown") << true << Qt::Key_Tab;
    QTest::newRow("Enter, share group shown") << true << Qt::Key_Return;
    QTest::newRow("keypad Enter, share group hidden") << false << Qt::Key_Enter;
  }

  void tabAndEnterFollowTheTabOrder() {
    QFETCH(bool, shareGroupVisible);
    QFETCH(Qt::Key, key);
    QStringList expected = {"EdtServidor",
                            "EdtUsuario",
                            "EdtSenha",
                            "EdtBase",
                            "EdtPastaTemp",
                            "EdtPastaComp",
                            "CheckDestino",
                            "EdtDestino",
                            "Button5",
                            "CheckFTP",
                            "EdtServidorFTP",
                            "EdtPortaFTP",
                            "ComboBox1",
                            "ComboSeguranca",
                            "EdtUsuarioFTP",
                            "EdtSenhaFTP",
                            "EdtPastaFTP",
                            "edtarquivosftp",
                            "Check_ErroFTP",
                            "CheckMudaExtensao",
                            "EdtExtensaoFTP",
                            "CheckConfig",
                            "CheckEnviaEmail",
                            "EdtEmail",
                            "Button2",
                            "Button1",
                            "Button3",
                            "Button4",
                            "EdtSenhaCompactacao",
                            "CheckOcultarNomes",
                            "EdtServidor"};
    if (!shareGroupVisible) {
      expected.removeAll("EdtPastaTemp");
      expected.removeAll("EdtPastaComp");
    }

    uitest::BoxAnswerer boxes;
    auto form = ShownForm();
    // Leaving the server field applies the share group's rule.
    form->EdtServidor->setText(shareGroupVisible ? "servidor" : "localhost");
    form->EdtServidor->setFocus();
    QStringList visited = {QApplication::focusWidget()->objectName()};
    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    for (int i = 1; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), key, modifiers);
      visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
    // Enter went through buttons and check boxes without pressing or ticking them.
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(!form->CheckDestino->isChecked() && !form->CheckFTP->isChecked());
    QVERIFY(!form->EndRequested());
  }

  void shareGroupFollowsTheServerFieldOnLeavingIt_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("visible");
    QTest::newRow("localhost") << "localhost" << false;
    QTest::newRow("capitals") << "LOCALHOST" << true;
    QTest::newRow("loopback address") << "127.0.0.1" << true;
    QTest::newRow("another machine") << "servidor" << true;
    QTest::newRow("empty") << "" << true;
  }

  void shareGroupFollowsTheServerFieldOnLeavingIt() {
    QFETCH(QString, server);
    QFETCH(bool, visible);
    auto form = ShownForm();
    form->EdtPastaTemp->setText("D:\\Temp\\");
    form->EdtServidor->setFocus();
    form->EdtServidor->setText(server);
    QVERIFY(form->GroupBox2->isVisible());  // nothing changes before the focus leaves
    QTest::keyClick(form->EdtServidor, Qt::Key_Tab);
    QCOMPARE(form->GroupBox2->isVisible(), visible);
    QCOMPARE(form->Settings().EdtPastaTemp, std::string("D:\\Temp\\"));  // hidden, still kept
  }

  void spinButtonsStayWithinZeroAndTwoHundred() {
    auto form = ShownForm();
    QCOMPARE(form->UpDown1->Min(), 0);
    QCOMPARE(form->UpDown1->Max(), 200);
    form->UpDown1->UpButton()->click();
    QCOMPARE(form->edtarquivosftp->text(), QString("11"));
    for (int i = 0; i < 15; ++i) form->UpDown1->DownButton()->click();
    QCOMPARE(form->edtarquivosftp->text(), QString("0"));
    form->edtarquivosftp->setText("199");  // a step starts from the number shown
    form->UpDown1->UpButton()->click();
    form->UpDown1->UpButton()->click();
    QCOMPARE(form->edtarquivosftp->text(), QString("200"));
    form->edtarquivosftp->setFocus();
    QTest::keyClick(form->edtarquivosftp, Qt::Key_Down);
    QCOMPARE(form->edtarquivosftp->text(), QString("199"));
    QTest::keyClicks(form->edtarquivosftp, "5");  // typing does not change it
    QCOMPARE(form->edtarquivosftp->text(), QString("199"));
    QCOMPARE(form->UpDown1->focusPolicy(), Qt::NoFocus);
    form->edtarquivosftp->setText("2147483647");  // as a hand-edited settings file may hold
    form->UpDown1->UpButton()->click();
    QCOMPARE(form->edtarquivosftp->text(), QString("200"));
  }

  void savedSettingsComeBackAfterARestart() {
    const app::BackupSettings changed = EveryFieldChanged();
    {
      auto form = MakeForm();
      form->ShowSettings(changed);
      uitest::BoxAnswerer boxes;
      form->Button2Click();
      QVERIFY(boxes.texts.isEmpty());  // nothing shown on success
    }
    auto restarted = MakeForm();
    restarted->FormCreate({});
    ExpectSameSettings(restarted->Settings(), changed);
    QCOMPARE(restarted->EdtSenha->displayText(), QString("*************"));
    QVERIFY(restarted->isVisible());
    QVERIFY(restarted->GroupBox2->isVisible());
    QVERIFY(!restarted->EndRequested());
    QVERIFY(restarted->Memo1->toPlainText().isEmpty());  // settings mode: nothing ran
  }

  void noFtpArgumentTurnsTheUploadOffForThisStart_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("checkFtp");
    QTest::newRow("none") << QStringList{} << true;
    QTest::newRow("/noftp") << QStringList{"/noftp"} << false;
    QTest::newRow("among others") << QStringList{"x", "/noftp", "y"} << false;
    QTest::newRow("capitals") << QStringList{"/NOFTP"} << true;
    QTest::newRow("no slash") << QStringList{"noftp"} << true;
  }

  void noFtpArgumentTurnsTheUploadOffForThisStart() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, checkFtp);
    app::BackupSettings stored = EveryFieldChanged();
    stored.EdtServidor = "localhost";
    app::SaveSettings(stored, SettingsPath());
    std::vector<std::string> args;
    for (const QString& argument : arguments) args.push_back(argument.toStdString());
    auto form = MakeForm();
    form->FormCreate(args);
    QCOMPARE(form->CheckFTP->isChecked(), checkFtp);
    QVERIFY(!form->GroupBox2->isVisible());
  }

  void refusedSaveShowsTheErrorAndKeepsTheValues() {
    auto form = MakeForm();
    form->ShowSettings(EveryFieldChanged());
    // A folder where the settings file should be: the file cannot be written.
    QVERIFY(QDir().mkpath(QString::fromStdString(SettingsPath())));
    uitest::BoxAnswerer boxes;
    form->Button2Click();
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts.front().startsWith("Unable to write to " + QString::fromStdString(SettingsPath())),
             qPrintable(boxes.texts.front()));
    QCOMPARE(boxes.captions.front(), QString("Backup Ormelin - Torvi Vivedizezid"));
    QCOMPARE(boxes.icons.front(), QMessageBox::Critical);
    ExpectSameSettings(form->Settings(), EveryFieldChanged());
  }

  void archivePasswordTheFileCannotHoldIsRefusedAndNothingIsWritten() {
    auto form = MakeForm();
    form->ShowSettings(EveryFieldChanged());
    form->EdtSenhaCompactacao->setText(QString::fromUtf8("密码"));  // no Windows-1252 letters
    uitest::BoxAnswerer boxes;
    form->Button2Click();
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts.front().startsWith("Compactacao.Senha: "), qPrintable(boxes.texts.front()));
    QVERIFY(!QFile::exists(QString::fromStdString(SettingsPath())));
  }

  void runFromTheWindowReportsInTheConsoleAndEndsTheProgram() {
    auto form = ShownForm();
    bool buttonsDisabledDuringRun = false;
    database_.action = [&](run::RunContext& context) {
      buttonsDisabledDuringRun = !form->Button1->isEnabled() && !form->Button2->isEnabled();
      context.window.AppendConsoleLine("gbak: writing data for table CLIENTES");
    };
    form->EdtServidor->setText("localhost");
    form->EdtPortaFTP->setText("abc");  // not converted by a run without FTP
    uitest::BoxAnswerer boxes;
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QVERIFY(buttonsDisabledDuringRun);
    QVERIFY(!form->Button1->isEnabled() && !form->Button2->isEnabled());
    const QStringList lines = ConsoleLines(*form);
    QVERIFY2(lines.contains("gbak: writing data for table CLIENTES"), qPrintable(lines.join('|')));
    QVERIFY2(lines.filter(" - Compactando Arquivo...").size() == 1, qPrintable(lines.join('|')));
    QVERIFY(form->EndRequested());
    QVERIFY(!form->RunUnderWay());
    QVERIFY(
        testsupport::ReadBytes(uitest::Folder(*configFolder_) + "BkpLog.txt").find(" - Backup Finalizado!") !=
        std::string::npos);
    QVERIFY(QFile::exists(configFolder_->filePath("private/winrar.exe")));
    QVERIFY(!QFile::exists(workFolder_->filePath("winrar.exe")));
    // The other controls stay usable.
    QVERIFY(form->Button3->isEnabled() && form->BtnTestaConexao->isEnabled() &&
            form->EdtServidor->isEnabled());
  }

  void runErrorGoesToTheErrorBoxAndTheProgramGoesOn() {
    auto form = ShownForm();
    database_.action = [](run::RunContext&) {
      throw platform::Exception("Your user name and password are not defined");
    };
    uitest::BoxAnswerer boxes;
    form->Button1Click();
    QCOMPARE(boxes.texts, QStringList{"Your user name and password are not defined."});
    QCOMPARE(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
    QVERIFY(!form->EndRequested());
    QVERIFY(!form->Button1->isEnabled() && !form->Button2->isEnabled());  // never enabled again
    // The connection test is no longer refused once the run has stopped.
    form->BtnTestaConexaoClick();
    QCOMPARE(connectionTests_, 1);
  }

  void connectionTestIsRefusedWhileARunIsUnderWay() {
    auto form = ShownForm();
    database_.action = [&](run::RunContext&) { form->BtnTestaConexao->click(); };
    uitest::BoxAnswerer boxes;
    form->Button1Click();
    QCOMPARE(connectionTests_, 0);
    QCOMPARE(boxes.texts, QStringList{QString::fromUtf8("Aguarde o término da operação em andamento.")});
    form->EdtServidorFTP->setText("ftp.example.net");
    form->BtnTestaConexaoClick();
    QCOMPARE(connectionTests_, 1);
    QVERIFY(ConsoleLines(*form).contains("teste de ftp.example.net"));
  }

  void runIsRefusedWhileAConnectionTestIsUnderWay() {
    auto form = ShownForm();
    int runs = 0;
    database_.action = [&](run::RunContext&) { ++runs; };
    // A click let through while the test's transfer lets messages run.
    duringConnectionTest_ = [&] { form->Button1->click(); };
    uitest::BoxAnswerer boxes;
    form->BtnTestaConexaoClick();
    QCOMPARE(runs, 0);
    QCOMPARE(boxes.texts, QStringList{QString::fromUtf8("Aguarde o término da operação em andamento.")});
    QVERIFY(form->Button1->isEnabled());
    duringConnectionTest_ = nullptr;
    form->Button1Click();
    QCOMPARE(runs, 1);
  }

  void automaticStartRunsBeforeTheWindowShows() {
    app::BackupSettings stored;  // "Abrir" off
    stored.EdtEmail = "suporte@example.net";
    app::SaveSettings(stored, SettingsPath());
    bool windowVisibleDuringRun = true;
    auto form = MakeForm();
    database_.action = [&](run::RunContext&) { windowVisibleDuringRun = form->isVisible(); };
    form->FormCreate({});
    QVERIFY(!windowVisibleDuringRun);
    QVERIFY(form->TrayIcon->isVisible());
    QVERIFY(form->isVisible());  // shown for a moment before the end
    QVERIFY(form->EndRequested());
    QVERIFY(!ConsoleLines(*form).isEmpty());
    QCOMPARE(form->EdtEmail->text(), QString("suporte@example.net"));
  }

  void startUpErrorShowsTheBoxAndStopsThere() {
    std::ofstream(SettingsPath(), std::ios::binary)
        << "[Servidor]\r\nNome=servidor\r\n[FTP]\r\nPorta=2121\r\nModo=abc\r\n[Configuracao]\r\nAbrir=S\r\n";
    auto form = MakeForm();
    uitest::BoxAnswerer boxes;
    form->FormCreate({});
    QCOMPARE(boxes.texts, QStringList{"'abc' is not a valid integer value."});
    // The window waits for "Abrir" in the tray; without a tray host it shows at once.
    QCOMPARE(form->isVisible(), !QSystemTrayIcon::isSystemTrayAvailable());
    QVERIFY(!form->EndRequested());
    QCOMPARE(form->EdtServidor->text(), QString("servidor"));  // loaded before the error
    QCOMPARE(form->EdtPortaFTP->text(), QString("2121"));
    QVERIFY(!form->CheckConfig->isChecked());  // read after it: unchanged
    form->hide();
    form->pmnuiOpen->trigger();
    QVERIFY(form->isVisible());
  }

  void trayIconAndMenu() {
    auto form = MakeForm();
    form->FormCreate({});
    QCOMPARE(form->TrayIcon->toolTip(), QString("Backup Ormelin - Torvi Vivedizezid"));
    QCOMPARE(form->TrayIcon->contextMenu(), form->PopupMenu1);
    const QList<QAction*> items = form->PopupMenu1->actions();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0]->text(), QString("Abrir"));
    QCOMPARE(items[1]->text(), QString("Fechar"));

    form->hide();
    emit form->TrayIcon->activated(QSystemTrayIcon::Trigger);  // a single click does nothing
    QVERIFY(!form->isVisible());
    emit form->TrayIcon->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(form->isVisible());
    form->hide();
    items[0]->trigger();
    QVERIFY(form->isVisible());
    QVERIFY(!form->EndRequested());
    items[1]->trigger();
    QVERIFY(form->EndRequested());
  }

  void closingTheWindowEndsTheProgram() {
    auto form = ShownForm();
    uitest::BoxAnswerer boxes;
    form->close();
    QVERIFY(form->EndRequested());
    QVERIFY(boxes.texts.isEmpty());
  }

  void folderButtonAndFtpAccountButton() {
    auto form = ShownForm();
    uitest::BoxAnswerer boxes;
    form->Button4->click();
    QVERIFY(boxes.texts.isEmpty());
    form->Button5->click();
    QCOMPARE(boxes.texts, QStringList{QDir::toNativeSeparators(configFolder_->path())});
    QCOMPARE(boxes.captions, QStringList{"Backup Ormelin - Torvi Vivedizezid"});
    QCOMPARE(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::NoIcon});
  }

  void retryQuestionAndNotice() {
    auto form = ShownForm();
    {
      uitest::BoxAnswerer cancel(QMessageBox::Cancel);
      QCOMPARE(form->AskRetry("Falha na Conexão!", "Clique em OK para tentar novamente."),
               run::RetryAnswer::Cancel);
      QCOMPARE(cancel.captions, QStringList{QString::fromUtf8("Falha na Conexão!")});
    }
    uitest::BoxAnswerer ok(QMessageBox::Ok);
    QCOMPARE(form->AskRetry("Falha", "?"), run::RetryAnswer::Ok);
  }

  void trayAnswersWhileAQuestionIsOpen() {
    auto form = ShownForm();
    bool openedDuringQuestion = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!qobject_cast<QMessageBox*>(window) || !window->isVisible()) continue;
        poll.stop();
        form->pmnuiOpen->trigger();
        openedDuringQuestion = form->isVisible();
        form->pmnuiExit->trigger();
      }
    });
    poll.start(5);
    // The question is asked from inside the program's message loop, as during a run; "Fechar" ends the
    // loop, which also closes the question: it reads as Cancel and the run winds down.
    std::optional<run::RetryAnswer> answer;
    QTimer::singleShot(0, form.get(), [&] {
      answer = form->AskRetry("Falha na Conexão!", "Clique em OK para tentar novamente.");
    });
    QApplication::exec();
    QVERIFY(openedDuringQuestion);
    QVERIFY(form->EndRequested());
    QCOMPARE(answer, std::optional(run::RetryAnswer::Cancel));
  }

  void gaugeShowsThePercentageOfTheTransfer() {
    auto form = ShownForm();
    form->ShowGauge();
    QVERIFY(form->Gauge1->isVisible());
    form->SetGaugeMaximum(0);  // size unknown
    form->SetGaugeProgress(5000);
    QCOMPARE(form->Gauge1->PercentDone(), 0);
    form->SetGaugeMaximum(8'000'000'000);  // beyond 32 bits
    form->SetGaugeProgress(2'000'000'000);
    QCOMPARE(form->Gauge1->PercentDone(), 25);
    form->SetGaugeProgress(9'000'000'000);
    QCOMPARE(form->Gauge1->PercentDone(), 100);
    form->HideGauge();
    QVERIFY(!form->Gauge1->isVisible());
  }
};

QTEST_MAIN(TForm1Test)
#include "TForm1Test.moc"
