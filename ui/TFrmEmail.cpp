#include "ui/TFrmEmail.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/EmailSecurity.h"
#include "app/StartUp.h"
#include "run/MailSettings.h"
#include "run/RunMail.h"
#include "ui/MessageBoxes.h"
#include "ui/Widgets.h"

namespace ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Text(const QString& text) { return text.toStdString(); }

QLineEdit* Field(const char* name, const std::string& text, QWidget* parent) {
  auto* field = Named(new QLineEdit(Text(text), parent), name);
  field->setMinimumWidth(320);
  return field;
}

}  // namespace

void CopyMailServer(const app::BackupSettings& from, app::BackupSettings& to) {
  to.EdtServidorEmail = from.EdtServidorEmail;
  to.EdtPortaEmail = from.EdtPortaEmail;
  to.ComboSegurancaEmail = from.ComboSegurancaEmail;
  to.EdtUsuarioEmail = from.EdtUsuarioEmail;
  to.EdtSenhaEmail = from.EdtSenhaEmail;
  to.EdtRemetenteEmail = from.EdtRemetenteEmail;
  to.EdtCertificadoEmail = from.EdtCertificadoEmail;
  to.CheckEmailSempre = from.CheckEmailSempre;
}

TFrmEmail::TFrmEmail(const app::BackupSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setObjectName("TFrmEmail");
  setWindowTitle(QString::fromUtf8("E-mail"));
  setModal(true);
  EdtServidorEmail = Field("EdtServidorEmail", settings.EdtServidorEmail, this);
  EdtPortaEmail = Field("EdtPortaEmail", settings.EdtPortaEmail, this);
  ComboSegurancaEmail = Named(new QComboBox(this), "ComboSegurancaEmail");
  ComboSegurancaEmail->addItems({QString::fromUtf8("Nenhuma (porta 25)"),
                                 QString::fromUtf8("STARTTLS (porta 587)"),
                                 QString::fromUtf8("TLS (porta 465)")});
  ComboSegurancaEmail->setCurrentIndex(settings.ComboSegurancaEmail);
  EdtUsuarioEmail = Field("EdtUsuarioEmail", settings.EdtUsuarioEmail, this);
  EdtSenhaEmail = Field("EdtSenhaEmail", settings.EdtSenhaEmail, this);
  EdtSenhaEmail->setEchoMode(QLineEdit::Password);
  EdtRemetenteEmail = Field("EdtRemetenteEmail", settings.EdtRemetenteEmail, this);
  EdtCertificadoEmail = Field("EdtCertificadoEmail", settings.EdtCertificadoEmail, this);
  EdtCertificadoEmail->setPlaceholderText(QString::fromUtf8("SHA-256, só para um certificado não confiável"));
  CheckEmailSempre =
      Named(new QCheckBox(QString::fromUtf8("Enviar também quando o backup for concluído"), this),
            "CheckEmailSempre");
  CheckEmailSempre->setChecked(settings.CheckEmailSempre);
  // The usual port of the kind chosen, unless the user typed another.
  connect(ComboSegurancaEmail, &QComboBox::currentIndexChanged, this, [this](int security) {
    for (int kind = app::kEmailPlain; kind <= app::kEmailImplicitTls; ++kind) {
      if (EdtPortaEmail->text() == app::DefaultEmailPort(kind))
        EdtPortaEmail->setText(app::DefaultEmailPort(security));
    }
  });

  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8("Servidor SMTP"), EdtServidorEmail);
  form->addRow(QString::fromUtf8("Segurança"), ComboSegurancaEmail);
  form->addRow(QString::fromUtf8("Porta"), EdtPortaEmail);
  form->addRow(QString::fromUtf8("Usuário"), EdtUsuarioEmail);
  form->addRow(QString::fromUtf8("Senha"), EdtSenhaEmail);
  form->addRow(QString::fromUtf8("Remetente"), EdtRemetenteEmail);
  form->addRow(QString::fromUtf8("Certificado"), EdtCertificadoEmail);
  form->addRow(QString(), CheckEmailSempre);

  BtnTestaEmail = Button("BtnTestaEmail", "Enviar e-mail de teste", this);
  BtnOk = Button("BtnOk", "OK", this);
  BtnCancelar = Button("BtnCancelar", "Cancelar", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtnTestaEmail);
  buttons->addStretch(1);
  buttons->addWidget(BtnOk);
  buttons->addWidget(BtnCancelar);
  auto* rows = new QVBoxLayout(this);
  rows->addLayout(form);
  rows->addLayout(buttons);
  connect(BtnTestaEmail, &QPushButton::clicked, this, [this] { BtnTestaEmailClick(); });
  connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
  connect(BtnCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

app::BackupSettings TFrmEmail::Settings() const {
  app::BackupSettings settings = settings_;
  settings.EdtServidorEmail = Text(EdtServidorEmail->text().trimmed());
  settings.EdtPortaEmail = Text(EdtPortaEmail->text().trimmed());
  settings.ComboSegurancaEmail = ComboSegurancaEmail->currentIndex();
  settings.EdtUsuarioEmail = Text(EdtUsuarioEmail->text());
  settings.EdtSenhaEmail = Text(EdtSenhaEmail->text());
  settings.EdtRemetenteEmail = Text(EdtRemetenteEmail->text().trimmed());
  settings.EdtCertificadoEmail = Text(EdtCertificadoEmail->text().trimmed());
  settings.CheckEmailSempre = CheckEmailSempre->isChecked();
  return settings;
}

void TFrmEmail::BtnTestaEmailClick() {
  try {
    ShowNotice(this, "E-mail de teste enviado para: " + run::SendTestMail(Settings()));
  } catch (const std::exception& error) {
    ShowErrorBox(this, "E-mail de teste não enviado: " + std::string(error.what()));
  }
}

void TFrmEmail::BtnOkClick() {
  const std::string problem = run::MailServerProblem(Settings());
  if (!problem.empty()) {
    ShowErrorBox(this, problem);
    return;
  }
  accept();
}

}  // namespace ui
