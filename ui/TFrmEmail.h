#pragma once

#include <QDialog>

#include "app/BackupSettings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {

// Copies the fields of the section Email (the mail server) from one record to another.
void CopyMailServer(const app::BackupSettings& from, app::BackupSettings& to);

// The "E-mail..." dialog: the mail server of the notices and its test message. It works on a copy of
// the window's settings (the test message goes to the window's EdtEmail); OK keeps the fields only when
// they can be stored as they are.
class TFrmEmail final : public QDialog {
 public:
  TFrmEmail(const app::BackupSettings& settings, QWidget* parent);

  // The settings it was opened with, with the fields as they stand in the dialog.
  app::BackupSettings Settings() const;

  void BtnTestaEmailClick();
  void BtnOkClick();

  QLineEdit* EdtServidorEmail;
  QLineEdit* EdtPortaEmail;
  QComboBox* ComboSegurancaEmail;
  QLineEdit* EdtUsuarioEmail;
  QLineEdit* EdtSenhaEmail;
  QLineEdit* EdtRemetenteEmail;
  QLineEdit* EdtCertificadoEmail;
  QCheckBox* CheckEmailSempre;
  QPushButton* BtnTestaEmail;
  QPushButton* BtnOk;
  QPushButton* BtnCancelar;

 private:
  app::BackupSettings settings_;
};

}  // namespace ui
