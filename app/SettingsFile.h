#pragma once

#include <string>

#include "app/BackupSettings.h"

namespace app {

inline constexpr char kSettingsFileName[] = "Configuracaobkp.ini";

// Fills every field but the e-mail pair from the file, key by key. A "Modo" that is no integer raises
// platform::EConvertError there; the fields read after it keep their previous values.
void LoadSettings(BackupSettings& settings, const std::string& path);

// Reads "EnviarEmail" and "Email" of the section Configuracao, then the mail server of the section Email
// (absent keys: no server; the port follows the kind of security when absent).
void LoadEmailSettings(BackupSettings& settings, const std::string& path);

// Writes the 22 entries in their fixed order, then the section Email, each by the profile writer's rule. A
// refused write raises platform::EWriteError at that entry; the entries written before it stay written.
void SaveSettings(const BackupSettings& settings, const std::string& path);

}  // namespace app
