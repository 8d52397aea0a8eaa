#include "app/SettingsKeys.h"

#include <charconv>

#include "app/Credentials.h"
#include "app/MailAddresses.h"
#include "platform/Encoding.h"
#include "platform/Files.h"
#include "platform/Fingerprint.h"

namespace app {
namespace {

constexpr SettingsKey kKeys[] = {
    {"Servidor", "Nome", KeyKind::Text, 0, 0, "Servidor do banco de dados (localhost: esta máquina)"},
    {"Servidor", "Base", KeyKind::Text, 0, 0, "Caminho do banco de dados no servidor"},
    {"Servidor", "Usuario", KeyKind::Scrambled, 0, 0, "Usuário do banco de dados"},
    {"Servidor", "Senha", KeyKind::Password, 0, 0, "Senha do banco de dados"},
    {"Servidor", "Temp", KeyKind::ServerFolder},
    {"Servidor", "PastaComp", KeyKind::Folder},
    {"Destino", "SalvarDestino", KeyKind::Flag, 0, 0, "Copiar o arquivo compactado para uma pasta (S/N)"},
    {"Destino", "Salvar", KeyKind::Folder, 0, 0, "Pasta de destino"},
    {"FTP", "EnviarBackup", KeyKind::Flag, 0, 0, "Enviar o arquivo compactado por FTP (S/N)"},
    {"FTP", "Servidor", KeyKind::Text, 0, 0, "Servidor FTP"},
    {"FTP", "Pasta", KeyKind::Text, 0, 0, "Pasta no servidor FTP"},
    {"FTP", "Porta", KeyKind::Number, 1, 65535, "Porta FTP"},
    {"FTP", "Usuario", KeyKind::Text, 0, 0, "Usuário FTP"},
    {"FTP", "Senha", KeyKind::Password, 0, 0, "Senha FTP"},
    {"FTP", "NumeroDeArquivos", KeyKind::Number, 0, 200},
    {"FTP", "Modo", KeyKind::Number, -1, 1},  // -1: nothing selected, which the window writes too
    {"FTP", "MostraErro", KeyKind::Flag},
    {"FTP", "MudaExtensão", KeyKind::Flag},
    {"FTP", "Extensão", KeyKind::Text},
    {"FTP", "Segurança", KeyKind::Number, 0, 2},  // 0 clear text, 1 explicit TLS, 2 implicit TLS
    {"FTP", "Certificado", KeyKind::Fingerprint},
    {"Configuracao", "Abrir", KeyKind::Flag},
    {"Configuracao", "Email", KeyKind::Mailboxes},
    {"Configuracao", "EnviarEmail", KeyKind::Flag},
    // Up to 126 characters: the longest password every RAR reader takes whole.
    {"Compactacao", "Senha", KeyKind::Password, 0, 126,
     "Senha do arquivo compactado (vazia: sem criptografia; sem ela o backup não pode ser aberto)"},
    {"Compactacao", "OcultarNomes", KeyKind::Flag, 0, 0, "Ocultar também o nome do arquivo compactado (S/N)"},
    // The mail server of the notices; no server: no mail.
    {"Email", "Servidor", KeyKind::Text},
    {"Email", "Porta", KeyKind::Number, 1, 65535},
    {"Email", "Segurança", KeyKind::Number, 0, 2},  // 0 none, 1 STARTTLS, 2 TLS from the start
    {"Email", "Usuario", KeyKind::Scrambled},
    {"Email", "Senha", KeyKind::Password},
    {"Email", "Remetente", KeyKind::Mailbox},
    {"Email", "Certificado", KeyKind::Text},
    {"Email", "Sempre", KeyKind::Flag},
    // The run's ceiling in minutes, 0 for none; up to ten years.
    {"Configuracao", "TempoMaximoMinutos", KeyKind::Number, 0, 5256000, {}, false},
};

// Names compared as the profile reader compares them: by their Windows-1252 letters, case folded.
bool SameName(std::string_view a, std::string_view b) {
  const std::u32string left = platform::Utf8ToUtf32(a);
  const std::u32string right = platform::Utf8ToUtf32(b);
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (platform::FoldCase(left[i]) != platform::FoldCase(right[i])) return false;
  }
  return true;
}

// Windows takes "/" as a separator as well; a database server may be of either kind.
constexpr char kLocalSeparators[] = {platform::kPathSeparator, '/', '\0'};

bool IsSeparator(char c, KeyKind kind) {
  const std::string_view separators = kind == KeyKind::ServerFolder ? "/\\" : kLocalSeparators;
  return separators.find(c) != std::string_view::npos;
}

std::string NumberProblem(const SettingsKey& key, std::string_view value) {
  long long number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, number);
  if (value.empty() || error != std::errc() || stop != end) return "não é um número";
  if (number < key.minimum || number > key.maximum) {
    return "fora do intervalo de " + std::to_string(key.minimum) + " a " + std::to_string(key.maximum);
  }
  return {};
}

// A password with a bound (the archive's) goes to a program that takes one line of printable text.
std::string PasswordProblem(const SettingsKey& key, std::string_view value) {
  if (key.maximum == 0) return {};
  // Control characters are refused for every key before this.
  const std::u32string characters = platform::Utf8ToUtf32(value);
  if (characters.size() > static_cast<std::size_t>(key.maximum)) {
    return "a senha tem mais de " + std::to_string(key.maximum) + " caracteres";
  }
  return {};
}

std::string KindProblem(const SettingsKey& key, std::string_view value) {
  switch (key.kind) {
    case KeyKind::Flag:
      return value == "S" || value == "N" ? std::string() : "deve ser S ou N";
    case KeyKind::Number:
      return NumberProblem(key, value);
    case KeyKind::Folder:
    case KeyKind::ServerFolder:
      if (value.empty() || IsSeparator(value.back(), key.kind)) return {};
      return key.kind == KeyKind::Folder ? "a pasta deve terminar com o separador \"" +
                                               std::string(1, platform::kPathSeparator) + "\""
                                         : "a pasta deve terminar com o separador (\"/\" ou \"\\\")";
    case KeyKind::Password:
      return PasswordProblem(key, value);
    case KeyKind::Mailbox:
      return value.empty() ? std::string() : MailAddressProblem(value);
    case KeyKind::Mailboxes:
      return value.empty() ? std::string() : MailAddressListProblem(value);
    case KeyKind::Fingerprint:
      return platform::CanonicalFingerprint(value)
                 ? std::string()
                 : "não é uma impressão digital SHA-256 (64 dígitos hexadecimais)";
    case KeyKind::Text:
    case KeyKind::Scrambled:
      return {};
  }
  return {};
}

}  // namespace

std::span<const SettingsKey> KnownSettingsKeys() { return kKeys; }

std::string QualifiedName(const SettingsKey& key) {
  return std::string(key.section) + "." + std::string(key.key);
}

const SettingsKey* FindSettingsKey(std::string_view qualifiedName) {
  const std::size_t dot = qualifiedName.find('.');
  if (dot == std::string_view::npos) return nullptr;
  const std::string_view section = qualifiedName.substr(0, dot);
  const std::string_view name = qualifiedName.substr(dot + 1);
  for (const SettingsKey& key : kKeys) {
    if (SameName(key.section, section) && SameName(key.key, name)) return &key;
  }
  return nullptr;
}

std::string ValueProblem(const SettingsKey& key, std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) return "o valor contém uma quebra de linha";
  if (HasControlCharacter(value)) return "o valor contém caracteres de controle";
  if (platform::Cp1252ToUtf8(platform::Utf8ToCp1252(value)) != value) {
    return "o valor contém caracteres que o arquivo (Windows-1252) não guarda";
  }
  return KindProblem(key, value);
}

std::string StoredValue(const SettingsKey& key, std::string_view value) {
  const std::string problem = ValueProblem(key, value);
  if (!problem.empty()) throw SettingsValueError(QualifiedName(key) + ": " + problem + ".");
  const bool scrambled = key.kind == KeyKind::Scrambled || key.kind == KeyKind::Password;
  return scrambled ? ScrambleCredential(value) : std::string(value);
}

std::string PlainValue(const SettingsKey& key, std::string_view stored) {
  const bool scrambled = key.kind == KeyKind::Scrambled || key.kind == KeyKind::Password;
  return scrambled ? UnscrambleCredential(stored) : std::string(stored);
}

std::string ShownValue(const SettingsKey& key, std::string_view stored) {
  if (key.kind == KeyKind::Password) return stored.empty() ? std::string() : kMaskedPassword;
  return PlainValue(key, stored);
}

}  // namespace app
