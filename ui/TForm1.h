#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/BackupSettings.h"
#include "ftp/Exceptions.h"
#include "run/BackupRun.h"
#include "run/RunWindow.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QSystemTrayIcon;

namespace run {
class StandardStages;
}

namespace ui {

class TFrmAgendamento;
class TGauge;
class TUpDown;

// Where the settings window finds its files and what its runs use; tests point all of it at their own
// folders and stages.
struct TForm1Environment {
  std::string settingsPath;      // Configuracaobkp.ini
  std::string executableFolder;  // ends with the separator; shown by Button5
  std::string logFolder;         // folder of BkpLog.txt; ends with the separator
  std::string workFolder;        // the run's working folder; ends with the separator
  std::string privateFolder;     // the user's own folder the archiver runs from; ends with the separator
  platform::Clock& clock;
  platform::Sleeper& sleeper;
  std::span<const std::byte> archiver;
  // The stages of a run; this build's standard stages, owned by the window, when empty.
  std::function<run::RunStages(run::RunWindow&)> stages;
  // The FTP connection test of "Testar Conexão" with the values shown; when empty, the test of this build
  // on the window's own FTP client.
  std::function<void(const app::BackupSettings&, run::RunWindow&)> connectionTest;
};

// The settings window: every setting as a control of its name, the status console, the buttons and the
// tray icon. It is the window the run reports to.
class TForm1 final : public QWidget, public run::RunWindow {
 public:
  explicit TForm1(TForm1Environment environment, QWidget* parent = nullptr);
  ~TForm1() override;

  // The start-up sequence: tray icon, settings file, command line, the automatic run, then the window.
  void FormCreate(const std::vector<std::string>& arguments);
  void SetScheduleEditor(TFrmAgendamento* editor) { FrmAgendamento = editor; }

  app::BackupSettings Settings() const;
  void ShowSettings(const app::BackupSettings& settings);
  bool RunUnderWay() const { return runUnderWay_; }
  bool EndRequested() const { return endRequested_; }

  // Handlers, named after their control and event. Errors escaping them end in the error box.
  void EdtServidorExit();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void BtnTestaConexaoClick();
  // "E-mail...": the mail server dialog. Ticking CheckEnviaEmail without a mail server is refused.
  void BtnEmailClick();
  void CheckEnviaEmailClick();
  void pmnuiOpenClick();
  void pmnuiExitClick();

  // The run with the values shown; its errors leave as exceptions (the start-up sequence shows them).
  void PerformRun(const app::BackupSettings& settings);

  // What a run asks of its window.
  void AppendConsoleLine(const std::string& line) override;
  void ProcessMessages() override;
  bool CanAskQuestions() const override { return true; }
  run::RetryAnswer AskRetry(const std::string& caption, const std::string& text) override;
  void ShowNotice(const std::string& text) override;
  void DisableRunButtons() override;
  void ShowGauge() override;
  void HideGauge() override;
  void SetGaugeMaximum(std::int64_t maximum) override;
  void SetGaugeProgress(std::int64_t progress) override;
  void RequestEnd() override;

  QGroupBox* GroupBox1;
  QLineEdit* EdtServidor;
  QLineEdit* EdtUsuario;
  QLineEdit* EdtSenha;
  QLineEdit* EdtBase;
  QGroupBox* GroupBox2;
  QLineEdit* EdtPastaTemp;
  QLineEdit* EdtPastaComp;
  QGroupBox* GroupBox3;
  QCheckBox* CheckDestino;
  QLineEdit* EdtDestino;
  QPushButton* Button5;
  QGroupBox* GroupBox4;
  QCheckBox* CheckFTP;
  QLineEdit* EdtServidorFTP;
  QLineEdit* EdtPortaFTP;
  QComboBox* ComboBox1;
  QComboBox* ComboSeguranca;
  QLineEdit* EdtUsuarioFTP;
  QLineEdit* EdtSenhaFTP;
  QLabel* Pasta;
  QLineEdit* EdtPastaFTP;
  QLineEdit* edtarquivosftp;
  TUpDown* UpDown1;
  QCheckBox* Check_ErroFTP;
  QCheckBox* CheckMudaExtensao;
  QLineEdit* EdtExtensaoFTP;
  QPushButton* BtnTestaConexao;
  TGauge* Gauge1;
  QGroupBox* GroupBox5;
  QCheckBox* CheckConfig;
  QCheckBox* CheckEnviaEmail;
  QLineEdit* EdtSenhaCompactacao;  // the archive's password (masked); empty: not encrypted
  QCheckBox* CheckOcultarNomes;    // the archive's names hidden too
  QLineEdit* EdtEmail;
  QPushButton* BtnEmail;
  QPushButton* Button2;
  QPushButton* Button1;
  QPushButton* Button3;
  QPushButton* Button4;
  QPlainTextEdit* Memo1;
  QPlainTextEdit* Memo2;
  QSystemTrayIcon* TrayIcon;
  QMenu* PopupMenu1;
  QAction* pmnuiOpen;
  QAction* pmnuiExit;
  TFrmAgendamento* FrmAgendamento = nullptr;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildGroupBox1();
  void BuildGroupBox2();
  void BuildGroupBox3();
  void BuildGroupBox4();
  void BuildGroupBox5();
  void BuildConsole();
  void BuildTray();
  void SetTabOrder();
  void ShowAndRaise();
  // The stages of this build with the window's FTP client, made when first needed.
  run::StandardStages& StandardStages();
  // Runs a handler's body; an error escaping it is shown in the error box and the program goes on.
  void Guarded(const std::function<void()>& body);
  // Shows the notice and says so when a run or a connection test is under way.
  bool RefusedWhileBusy();
  // "Testar Conexão" met a certificate that does not verify: shows it and asks; yes pins it in the file.
  bool TrustCertificate(const ftp::TIdCertificateInfo& certificate);

  TForm1Environment environment_;
  std::unique_ptr<run::StandardStages> standardStages_;
  bool runUnderWay_ = false;
  bool testUnderWay_ = false;
  std::string certificadoFTP_;  // FTP/Certificado, which no control shows
  bool endRequested_ = false;
  // The fields of the section Email, which the "E-mail..." dialog shows and edits.
  app::BackupSettings mailServer_;
};

}  // namespace ui
