#include "ui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <algorithm>

#include "app/MailAddresses.h"
#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "ftp/TLSCertificate.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "run/ConnectionTest.h"
#include "run/MailSettings.h"
#include "run/StandardStages.h"
#include "ui/EnterAsTab.h"
#include "ui/MessageBoxes.h"
#include "ui/TFrmAgendamento.h"
#include "ui/TFrmEmail.h"
#include "ui/TGauge.h"
#include "ui/TUpDown.h"
#include "ui/Widgets.h"
#include "ui/WindowHints.h"

namespace ui {
namespace {

constexpr int kGroupLeft = 8;
// 100 pixels wider than the window the program was first drawn in, for the FTP group's "Segurança" choice:
// without them its first row clips the host field and the check box on every platform.
constexpr int kGroupWidth = 725;
constexpr int kClientWidth = 751;
constexpr int kClientHeight = 528;
constexpr int kConsoleHeight = 89;

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Text(const QString& text) { return text.toStdString(); }

QLineEdit* Field(const char* name, QWidget* parent) { return Named(new QLineEdit(parent), name); }

QLineEdit* MaskedField(const char* name, QWidget* parent) {
  auto* field = Field(name, parent);
  field->setEchoMode(QLineEdit::Password);
  field->setStyleSheet("lineedit-password-character: 42");  // '*' per character
  return field;
}

QGroupBox* Group(const char* name, const char* caption, int top, int height, QWidget* parent) {
  auto* group = Named(new QGroupBox(QString::fromUtf8(caption), parent), name);
  group->setGeometry(kGroupLeft, top, kGroupWidth, height);
  return group;
}

QLabel* Caption(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
  return Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

template <typename Layout>
Layout* Tight(Layout* layout) {
  layout->setContentsMargins(8, 2, 8, 4);
  layout->setSpacing(4);
  return layout;
}

// Focus leaving a control for another control of the window, not for another window or a menu.
bool LeavesForAnotherControl(const QEvent* event) {
  if (event->type() != QEvent::FocusOut) return false;
  const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
         reason != Qt::MenuBarFocusReason;
}

// Raises a flag for the length of a scope, however the scope is left.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TForm1::TForm1(TForm1Environment environment, QWidget* parent)
    : QWidget(parent), environment_(std::move(environment)) {
  setObjectName("Form1");
  setWindowTitle("Ormelin Backup 2.0 (Beta)");
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
  setFont(QFont("MS Sans Serif", 8));
  setFixedSize(kClientWidth, kClientHeight);
  CenterOnScreen(this);

  BuildGroupBox1();
  BuildGroupBox2();
  BuildGroupBox3();
  BuildGroupBox4();
  BuildGroupBox5();
  BuildConsole();
  BuildTray();
  SetTabOrder();
  EnterActsAsTab(this);
  ShowSettings(app::BackupSettings{});
  EdtServidor->installEventFilter(this);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
  connect(BtnTestaConexao, &QPushButton::clicked, this, [this] { BtnTestaConexaoClick(); });
  connect(BtnEmail, &QPushButton::clicked, this, [this] { BtnEmailClick(); });
  connect(CheckEnviaEmail, &QCheckBox::clicked, this, [this] { CheckEnviaEmailClick(); });
}

TForm1::~TForm1() = default;

void TForm1::BuildGroupBox1() {
  GroupBox1 = Group("GroupBox1", "Banco de Dados do Ormelin", 8, 65, this);
  auto* grid = Tight(new QGridLayout(GroupBox1));
  grid->setVerticalSpacing(1);
  EdtServidor = Field("EdtServidor", GroupBox1);
  EdtUsuario = Field("EdtUsuario", GroupBox1);
  EdtSenha = MaskedField("EdtSenha", GroupBox1);
  EdtBase = Field("EdtBase", GroupBox1);
  const std::pair<const char*, QLineEdit*> fields[] = {
      {"Servidor", EdtServidor}, {"Usuário", EdtUsuario}, {"Senha", EdtSenha}, {"Base de Dados", EdtBase}};
  int column = 0;
  for (const auto& [caption, field] : fields) {
    grid->addWidget(Caption(caption, GroupBox1), 0, column);
    grid->addWidget(field, 1, column);
    ++column;
  }
  grid->setColumnStretch(3, 2);
}

void TForm1::BuildGroupBox2() {
  GroupBox2 =
      Group("GroupBox2",
            "Configuração de Compartilhamento (Em caso do Servidor não ser a máquina que faz o Backup)", 82,
            65, this);
  auto* grid = Tight(new QGridLayout(GroupBox2));
  grid->setVerticalSpacing(1);
  EdtPastaTemp = Field("EdtPastaTemp", GroupBox2);
  EdtPastaComp = Field("EdtPastaComp", GroupBox2);
  EdtPastaTemp->setFixedWidth(297);
  EdtPastaComp->setFixedWidth(297);
  QLabel* tempCaption = Caption("Pasta Temporária no Servidor (Deve estar compartilhada)", GroupBox2);
  QLabel* shareCaption = Caption("Caminho do Compartilhamento na Rede(Ex: \\\\Servidor\\c\\...)", GroupBox2);
  // The two long captions share one line; a point smaller they fit above their fields.
  for (QLabel* caption : {tempCaption, shareCaption}) {
    QFont smaller = caption->font();
    smaller.setPointSize(7);
    caption->setFont(smaller);
  }
  grid->addWidget(tempCaption, 0, 0);
  grid->addWidget(EdtPastaTemp, 1, 0);
  grid->addWidget(shareCaption, 0, 1);
  grid->addWidget(EdtPastaComp, 1, 1);
}

void TForm1::BuildGroupBox3() {
  GroupBox3 = Group("GroupBox3", "Gravação em Unidade Local", 156, 57, this);
  auto* row = Tight(new QHBoxLayout(GroupBox3));
  CheckDestino = Check("CheckDestino", "Gravar em:", GroupBox3);
  EdtDestino = Field("EdtDestino", GroupBox3);
  Button5 = Button("Button5", "Button5", GroupBox3);
  // The archive's password shares the row, between the folder and its button, which keep their places.
  QLabel* passwordCaption = Caption("Senha do arquivo compactado", GroupBox3);
  QFont smaller = passwordCaption->font();
  smaller.setPointSize(7);
  passwordCaption->setFont(smaller);
  EdtSenhaCompactacao = MaskedField("EdtSenhaCompactacao", GroupBox3);
  EdtSenhaCompactacao->setFixedWidth(96);
  EdtSenhaCompactacao->setMaxLength(126);  // the longest password every RAR reader takes whole
  CheckOcultarNomes = Check("CheckOcultarNomes", "Ocultar nomes", GroupBox3);
  CheckOcultarNomes->setFont(smaller);
  row->addWidget(CheckDestino);
  row->addWidget(EdtDestino, 1);
  row->addSpacing(6);
  row->addWidget(passwordCaption);
  row->addWidget(EdtSenhaCompactacao);
  row->addWidget(CheckOcultarNomes);
  row->addSpacing(6);
  row->addWidget(Button5);
}

void TForm1::BuildGroupBox4() {
  GroupBox4 = Group("GroupBox4", "Backup por FTP", 222, 113, this);
  auto* rows = Tight(new QVBoxLayout(GroupBox4));
  rows->setSpacing(3);

  auto* row1 = new QHBoxLayout;
  CheckFTP = Check("CheckFTP", "Enviar Backup por FTP", GroupBox4);
  EdtServidorFTP = Field("EdtServidorFTP", GroupBox4);
  EdtPortaFTP = Field("EdtPortaFTP", GroupBox4);
  EdtPortaFTP->setFixedWidth(44);
  ComboBox1 = Named(new QComboBox(GroupBox4), "ComboBox1");
  ComboBox1->addItems({"Ativo (Default)", "Passivo"});
  ComboSeguranca = Named(new QComboBox(GroupBox4), "ComboSeguranca");
  ComboSeguranca->addItems({"Nenhuma", "TLS Explícito", "TLS Implícito"});
  row1->addWidget(CheckFTP);
  row1->addWidget(Caption("Servidor FTP (Host)", GroupBox4));
  row1->addWidget(EdtServidorFTP, 1);
  row1->addWidget(Caption("Porta", GroupBox4));
  row1->addWidget(EdtPortaFTP);
  row1->addWidget(Caption("Modo", GroupBox4));
  row1->addWidget(ComboBox1);
  row1->addWidget(Caption("Segurança", GroupBox4));
  row1->addWidget(ComboSeguranca);
  rows->addLayout(row1);

  auto* row2 = new QHBoxLayout;
  EdtUsuarioFTP = Field("EdtUsuarioFTP", GroupBox4);
  EdtSenhaFTP = MaskedField("EdtSenhaFTP", GroupBox4);
  Pasta = Named(Caption("Pasta", GroupBox4), "Pasta");
  EdtPastaFTP = Field("EdtPastaFTP", GroupBox4);
  edtarquivosftp = Field("edtarquivosftp", GroupBox4);
  edtarquivosftp->setReadOnly(true);
  edtarquivosftp->setFixedWidth(36);
  UpDown1 = Named(new TUpDown(edtarquivosftp, 0, 200, 10, GroupBox4), "UpDown1");
  UpDown1->setFixedSize(16, edtarquivosftp->sizeHint().height());
  row2->addWidget(Caption("Usuário", GroupBox4));
  row2->addWidget(EdtUsuarioFTP, 1);
  row2->addWidget(Caption("Senha", GroupBox4));
  row2->addWidget(EdtSenhaFTP, 1);
  row2->addWidget(Pasta);
  row2->addWidget(EdtPastaFTP, 1);
  row2->addWidget(Caption("Manter", GroupBox4));
  row2->addWidget(edtarquivosftp);
  row2->addSpacing(-4);  // the spin buttons sit on the field's right edge
  row2->addWidget(UpDown1);
  row2->addWidget(Caption("Cópias no Servidor", GroupBox4));
  rows->addLayout(row2);

  auto* row3 = new QHBoxLayout;
  Check_ErroFTP = Check("Check_ErroFTP", "Não Avisar se não conseguir enviar por FTP", GroupBox4);
  CheckMudaExtensao = Check("CheckMudaExtensao", "Alterar Extensão do Arquivo", GroupBox4);
  EdtExtensaoFTP = Field("EdtExtensaoFTP", GroupBox4);
  EdtExtensaoFTP->setFixedWidth(48);
  BtnTestaConexao = Button("BtnTestaConexao", "Testar Conexão", GroupBox4);
  BtnTestaConexao->setFocusPolicy(Qt::ClickFocus);
  row3->addWidget(Check_ErroFTP);
  row3->addSpacing(8);
  row3->addWidget(CheckMudaExtensao);
  row3->addWidget(EdtExtensaoFTP);
  row3->addStretch(1);
  row3->addWidget(BtnTestaConexao);
  rows->addLayout(row3);

  Gauge1 = Named(new TGauge(GroupBox4), "Gauge1");
  Gauge1->setFixedSize(kGroupWidth - 16, 16);
  QSizePolicy keepPlace = Gauge1->sizePolicy();
  keepPlace.setRetainSizeWhenHidden(true);  // the rows above stay put when the gauge appears
  Gauge1->setSizePolicy(keepPlace);
  Gauge1->hide();
  rows->addWidget(Gauge1);
}

void TForm1::BuildGroupBox5() {
  GroupBox5 = Group("GroupBox5", "Opções Gerais", 344, 81, this);
  auto* rows = Tight(new QVBoxLayout(GroupBox5));
  auto* row1 = new QHBoxLayout;
  CheckConfig = Check("CheckConfig", "Abrir Tela de Configuração", GroupBox5);
  CheckEnviaEmail = Check("CheckEnviaEmail", "Enviar Email caso nao consiga concluir o Backup", GroupBox5);
  EdtEmail = Field("EdtEmail", GroupBox5);
  row1->addWidget(CheckConfig);
  row1->addSpacing(8);
  row1->addWidget(CheckEnviaEmail);
  row1->addWidget(EdtEmail, 1);
  BtnEmail = Button("BtnEmail", "E-mail...", GroupBox5);
  BtnEmail->setFocusPolicy(Qt::ClickFocus);
  row1->addWidget(BtnEmail);
  rows->addLayout(row1);

  auto* row2 = new QHBoxLayout;
  Button2 = Button("Button2", "Salvar Alterações", GroupBox5);
  Button1 = Button("Button1", "Testar Backup", GroupBox5);
  Button3 = Button("Button3", "Configurar Agendamentos", GroupBox5);
  Button4 = Button("Button4", "Criar Conta FTP", GroupBox5);
  for (QPushButton* button : {Button2, Button1, Button3, Button4}) row2->addWidget(button, 1);
  rows->addLayout(row2);
}

void TForm1::BuildConsole() {
  Memo1 = Named(new QPlainTextEdit(this), "Memo1");
  Memo1->setGeometry(0, kClientHeight - kConsoleHeight, kClientWidth, kConsoleHeight);
  Memo1->setReadOnly(true);
  Memo1->setFocusPolicy(Qt::NoFocus);
  QFont consoleFont("Courier New", 10, QFont::Bold);
  consoleFont.setStyleHint(QFont::TypeWriter);
  Memo1->setFont(consoleFont);
  QPalette colours = Memo1->palette();
  colours.setColor(QPalette::Base, Qt::black);
  colours.setColor(QPalette::Text, QColor(0, 255, 0));
  Memo1->setPalette(colours);

  Memo2 = Named(new QPlainTextEdit("Memo2", this), "Memo2");
  QFont scratchFont("Courier New", 8);
  scratchFont.setStyleHint(QFont::TypeWriter);
  Memo2->setFont(scratchFont);
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo2->hide();
}

void TForm1::BuildTray() {
  PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
  pmnuiOpen = Named(PopupMenu1->addAction("Abrir"), "pmnuiOpen");
  pmnuiExit = Named(PopupMenu1->addAction("Fechar"), "pmnuiExit");
  connect(pmnuiOpen, &QAction::triggered, this, [this] { pmnuiOpenClick(); });
  connect(pmnuiExit, &QAction::triggered, this, [this] { pmnuiExitClick(); });

  TrayIcon = Named(new QSystemTrayIcon(windowIcon(), this), "TrayIcon");
  TrayIcon->setToolTip(app::kApplicationTitle);
  TrayIcon->setContextMenu(PopupMenu1);  // the right button opens it at the cursor
  connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) pmnuiOpenClick();
  });
}

void TForm1::SetTabOrder() {
  const std::vector<QWidget*> order = {
      EdtServidor,   EdtUsuario,        EdtSenha,       EdtBase,     EdtPastaTemp,    EdtPastaComp,
      CheckDestino,  EdtDestino,        Button5,        CheckFTP,    EdtServidorFTP,  EdtPortaFTP,
      ComboBox1,     ComboSeguranca,    EdtUsuarioFTP,  EdtSenhaFTP, EdtPastaFTP,     edtarquivosftp,
      Check_ErroFTP, CheckMudaExtensao, EdtExtensaoFTP, CheckConfig, CheckEnviaEmail, EdtEmail,
      Button2,       Button1,           Button3,        Button4};
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  // The archive's controls follow the original order, which stays as it was.
  QWidget::setTabOrder(Button4, EdtSenhaCompactacao);
  QWidget::setTabOrder(EdtSenhaCompactacao, CheckOcultarNomes);
}

app::BackupSettings TForm1::Settings() const {
  app::BackupSettings settings;
  settings.EdtServidor = Text(EdtServidor->text());
  settings.EdtBase = Text(EdtBase->text());
  settings.EdtUsuario = Text(EdtUsuario->text());
  settings.EdtSenha = Text(EdtSenha->text());
  settings.EdtPastaTemp = Text(EdtPastaTemp->text());
  settings.EdtPastaComp = Text(EdtPastaComp->text());
  settings.CheckDestino = CheckDestino->isChecked();
  settings.EdtDestino = Text(EdtDestino->text());
  settings.CheckFTP = CheckFTP->isChecked();
  settings.EdtServidorFTP = Text(EdtServidorFTP->text());
  settings.EdtPastaFTP = Text(EdtPastaFTP->text());
  settings.EdtPortaFTP = Text(EdtPortaFTP->text());
  settings.EdtUsuarioFTP = Text(EdtUsuarioFTP->text());
  settings.EdtSenhaFTP = Text(EdtSenhaFTP->text());
  settings.edtarquivosftp = Text(edtarquivosftp->text());
  settings.ComboBox1 = ComboBox1->currentIndex();
  settings.ComboSeguranca = std::max(ComboSeguranca->currentIndex(), 0);
  settings.CertificadoFTP = certificadoFTP_;
  settings.Check_ErroFTP = Check_ErroFTP->isChecked();
  settings.CheckMudaExtensao = CheckMudaExtensao->isChecked();
  settings.EdtExtensaoFTP = Text(EdtExtensaoFTP->text());
  settings.CheckConfig = CheckConfig->isChecked();
  settings.EdtEmail = Text(EdtEmail->text());
  settings.CheckEnviaEmail = CheckEnviaEmail->isChecked();
  settings.EdtSenhaCompactacao = Text(EdtSenhaCompactacao->text());
  settings.CheckOcultarNomes = CheckOcultarNomes->isChecked();
  CopyMailServer(mailServer_, settings);
  return settings;
}

void TForm1::ShowSettings(const app::BackupSettings& settings) {
  EdtServidor->setText(Text(settings.EdtServidor));
  EdtBase->setText(Text(settings.EdtBase));
  EdtUsuario->setText(Text(settings.EdtUsuario));
  EdtSenha->setText(Text(settings.EdtSenha));
  EdtPastaTemp->setText(Text(settings.EdtPastaTemp));
  EdtPastaComp->setText(Text(settings.EdtPastaComp));
  CheckDestino->setChecked(settings.CheckDestino);
  EdtDestino->setText(Text(settings.EdtDestino));
  CheckFTP->setChecked(settings.CheckFTP);
  EdtServidorFTP->setText(Text(settings.EdtServidorFTP));
  EdtPastaFTP->setText(Text(settings.EdtPastaFTP));
  EdtPortaFTP->setText(Text(settings.EdtPortaFTP));
  EdtUsuarioFTP->setText(Text(settings.EdtUsuarioFTP));
  EdtSenhaFTP->setText(Text(settings.EdtSenhaFTP));
  edtarquivosftp->setText(Text(settings.edtarquivosftp));
  // A stored index outside the list selects nothing.
  const bool listed = settings.ComboBox1 >= 0 && settings.ComboBox1 < ComboBox1->count();
  ComboBox1->setCurrentIndex(listed ? settings.ComboBox1 : -1);
  ComboSeguranca->setCurrentIndex(settings.ComboSeguranca);
  certificadoFTP_ = settings.CertificadoFTP;
  Check_ErroFTP->setChecked(settings.Check_ErroFTP);
  CheckMudaExtensao->setChecked(settings.CheckMudaExtensao);
  EdtExtensaoFTP->setText(Text(settings.EdtExtensaoFTP));
  CheckConfig->setChecked(settings.CheckConfig);
  EdtEmail->setText(Text(settings.EdtEmail));
  CheckEnviaEmail->setChecked(settings.CheckEnviaEmail);
  EdtSenhaCompactacao->setText(Text(settings.EdtSenhaCompactacao));
  CheckOcultarNomes->setChecked(settings.CheckOcultarNomes);
  CopyMailServer(settings, mailServer_);
}

void TForm1::FormCreate(const std::vector<std::string>& arguments) {
  TrayIcon->show();
  app::BackupSettings settings = Settings();
  app::StartUpHooks hooks;
  hooks.SetShareGroupVisible = [this](bool visible) { GroupBox2->setVisible(visible); };
  hooks.PerformRun = [this](app::BackupSettings& loaded) {
    ShowSettings(loaded);
    PerformRun(loaded);
  };
  hooks.ShowWindow = [this, &settings] {
    ShowSettings(settings);
    ShowAndRaise();
  };
  hooks.ShowErrorBox = [this](const std::string& text) { ShowErrorBoxText(this, text); };
  if (app::RunStartUp(settings, environment_.settingsPath, arguments, hooks) == app::StartUpOutcome::Failed) {
    ShowSettings(settings);  // what was loaded before the error
    // The window waits for "Abrir" in the tray; with no tray to click, it shows now instead.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) ShowAndRaise();
  }
}

void TForm1::ShowAndRaise() {
  PinWithoutTaskbarButton(this);
  show();
  raise();
  activateWindow();
}

run::StandardStages& TForm1::StandardStages() {
  if (!standardStages_) standardStages_ = std::make_unique<run::StandardStages>(*this);
  return *standardStages_;
}

void TForm1::Guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& error) {
    ShowErrorBox(this, error.what());
  }
}

void TForm1::EdtServidorExit() { GroupBox2->setVisible(app::ShareGroupVisible(Settings())); }

void TForm1::PerformRun(const app::BackupSettings& settings) {
  const FlagScope underWay(runUnderWay_);
  run::RunStages stages = [&] {
    if (environment_.stages) return environment_.stages(*this);
    return StandardStages().Stages();
  }();
  run::RunEnvironment runEnvironment{environment_.clock,         environment_.sleeper,
                                     environment_.workFolder,    environment_.logFolder,
                                     environment_.privateFolder, environment_.archiver};
  run::BackupRun(settings, *this, stages, std::move(runEnvironment)).Perform();
}

bool TForm1::RefusedWhileBusy() {
  // A run and the connection test would share one FTP connection; one at a time.
  if (!runUnderWay_ && !testUnderWay_) return false;
  ShowNotice("Aguarde o término da operação em andamento.");
  return true;
}

void TForm1::Button1Click() {
  Guarded([this] {
    if (RefusedWhileBusy()) return;
    PerformRun(Settings());
  });
}

void TForm1::Button2Click() {
  Guarded([this] {
    // A line break in an address would become a header of its own in every notice.
    const std::string addresses = Text(EdtEmail->text());
    const std::string problem = addresses.empty() ? std::string() : app::MailAddressListProblem(addresses);
    if (!problem.empty()) throw platform::Exception("E-mail: " + problem);
    app::SaveSettings(Settings(), environment_.settingsPath);
  });
}

void TForm1::BtnEmailClick() {
  TFrmEmail dialog(Settings(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  CopyMailServer(dialog.Settings(), mailServer_);
  if (!run::HasMailServer(mailServer_)) CheckEnviaEmail->setChecked(false);
}

void TForm1::CheckEnviaEmailClick() {
  if (!CheckEnviaEmail->isChecked() || run::HasMailServer(mailServer_)) return;
  CheckEnviaEmail->setChecked(false);
  ShowNotice("Para enviar e-mail, informe antes o servidor de e-mail (botão \"E-mail...\").");
}

void TForm1::Button3Click() {
  Guarded([this] {
    if (FrmAgendamento) FrmAgendamento->ShowModal();
  });
}

void TForm1::Button4Click() {}

void TForm1::Button5Click() {
  Guarded([this] {
    std::string folder = environment_.executableFolder;
    if (!folder.empty() && folder.back() == platform::kPathSeparator) folder.pop_back();
    ShowNotice(folder);
  });
}

void TForm1::BtnTestaConexaoClick() {
  Guarded([this] {
    if (RefusedWhileBusy()) return;
    const FlagScope underWay(testUnderWay_);
    const app::BackupSettings settings = Settings();
    if (environment_.connectionTest) {
      environment_.connectionTest(settings, *this);
    } else {
      run::BtnTestaConexaoClick(
          {settings, StandardStages().IdFTP1(), *this, environment_.workFolder, environment_.privateFolder,
           environment_.archiver,
           [this](const ftp::TIdCertificateInfo& certificate) { return TrustCertificate(certificate); }});
    }
  });
}

bool TForm1::TrustCertificate(const ftp::TIdCertificateInfo& certificate) {
  if (!AskYesNo(this, "Certificado não confiável",
                ftp::CertificateText(certificate) + "\nConfiar neste certificado para este servidor?")) {
    return false;
  }
  // Pinned at once, as the user has just decided it, whether or not the other changes are saved.
  certificadoFTP_ = certificate.Fingerprint;
  app::WriteProfileString(environment_.settingsPath, "FTP", "Certificado", certificate.Fingerprint);
  return true;
}

void TForm1::pmnuiOpenClick() { ShowAndRaise(); }

void TForm1::pmnuiExitClick() {
  ProcessMessages();
  RequestEnd();
}

void TForm1::AppendConsoleLine(const std::string& line) { Memo1->appendPlainText(Text(line)); }

void TForm1::ProcessMessages() { QCoreApplication::processEvents(); }

run::RetryAnswer TForm1::AskRetry(const std::string& caption, const std::string& text) {
  return AskOkCancel(this, caption, text) ? run::RetryAnswer::Ok : run::RetryAnswer::Cancel;
}

void TForm1::ShowNotice(const std::string& text) { ui::ShowNotice(this, text); }

void TForm1::DisableRunButtons() {
  Button1->setEnabled(false);
  Button2->setEnabled(false);
}

void TForm1::ShowGauge() { Gauge1->show(); }
void TForm1::HideGauge() { Gauge1->hide(); }
void TForm1::SetGaugeMaximum(std::int64_t maximum) { Gauge1->SetMaxValue(maximum); }
void TForm1::SetGaugeProgress(std::int64_t progress) { Gauge1->SetProgress(progress); }

void TForm1::RequestEnd() {
  endRequested_ = true;
  // Takes effect once control is back in the message loop; before the loop runs, the program entry
  // looks at EndRequested instead.
  QCoreApplication::quit();
}

bool TForm1::eventFilter(QObject* target, QEvent* event) {
  if (target == EdtServidor && LeavesForAnotherControl(event)) EdtServidorExit();
  return QWidget::eventFilter(target, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  RequestEnd();
}

}  // namespace ui
