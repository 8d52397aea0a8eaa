#pragma once

#include <string_view>

// Every line a run writes to its log and its status console; the stamps are added by RunLog and
// StatusConsole.
namespace run::texts {

// Run log.
inline constexpr std::string_view kLogHeaderBlank = " ";
inline constexpr std::string_view kLogHeaderRule =
    "---------------------------------------------------------------";
inline constexpr std::string_view kLogRunStart = " - Início do Backup";
inline constexpr std::string_view kLogCannotDeleteBackup = " - Problemas ao excluir arquivos de backup...";
inline constexpr std::string_view kLogCannotDeleteArchive = " - Problemas ao excluir arquivos compactados...";
inline constexpr std::string_view kLogCreatingFile = " - Criando arquivo: ";  // + server backup path
inline constexpr std::string_view kLogFileCreated =
    " - Arquivo criado com Sucesso: ";  // + server backup path
inline constexpr std::string_view kLogCannotCreateFile = " - Não é possível criar o arquivo";
inline constexpr std::string_view kLogTransferringFromServer = " - Transferindo arquivo do servidor...";
inline constexpr std::string_view kLogTransferEnded = " - Fim da Transferência.";
inline constexpr std::string_view kLogStartingCompression = " - Iniciando compactação...";
inline constexpr std::string_view kLogCannotWriteDestination =
    " - Não é possível criar arquivos no destino.";  // + EdtDestino
inline constexpr std::string_view kLogDestinationCancelled = " - Cópia de segurança cancelada pelo Usuário.";
inline constexpr std::string_view kLogArchiveCopied = " - Arquivo compactado Criado!";
inline constexpr std::string_view kLogFtpAttempt = " - Iniciando tentativa de envio por FTP!";
inline constexpr std::string_view kLogFtpSent = " - Arquivo Enviado com Sucesso!";
inline constexpr std::string_view kLogFtpGivenUp = " - Abortado pelo Usuário!";
inline constexpr std::string_view kLogFtpFailed = " - Problemas com a Conexão!";
// Both the log (after " - ") and the console show it.
inline constexpr std::string_view kRunAlreadyActive =
    "Já existe um backup em andamento nesta pasta de trabalho; esta execução foi encerrada.";
inline constexpr std::string_view kLogFtpUndatedName =
    " - Arquivo no servidor FTP sem data no nome, ignorado na retenção: ";  // + the name
inline constexpr std::string_view kLogFtpSizeUnknown =
    " - O servidor FTP não informou o tamanho do arquivo enviado; tamanho não conferido: ";  // + the name
inline constexpr std::string_view kLogFtpRetentionFailed =
    " - Arquivo enviado, mas não foi possível excluir os arquivos antigos do servidor FTP: ";  // + why
inline constexpr std::string_view kLogArchiveNotCreated =
    " - O arquivo compactado não foi criado (código de saída do programa de compactação: ";  // + code + ")."
// One row when the archive is encrypted; the password itself is never logged.
inline constexpr std::string_view kLogArchiveEncrypted = " - Arquivo compactado protegido por senha.";
inline constexpr std::string_view kLogArchiveEncryptedWithNames =
    " - Arquivo compactado protegido por senha, com os nomes ocultos.";
inline constexpr std::string_view kLogRunEnd = " - Backup Finalizado!";

// Status console.
inline constexpr std::string_view kConsoleBackupCreated = " - Arquivo de backup criado.";
inline constexpr std::string_view kConsoleTransferring = " - Transferindo arquivo...";
inline constexpr std::string_view kConsoleTransferEnded = " - Fim da Transferência do Arquivo...";
inline constexpr std::string_view kConsoleSeparator =
    "-------------------------------------------------------";
inline constexpr std::string_view kConsoleCompressing = " - Compactando Arquivo...";
inline constexpr std::string_view kConsoleCompressed = " - Arquivo Compactado Criado...";
// "Arquivo " + EdtDestino + archive name + " Criado com Sucesso!"
inline constexpr std::string_view kConsoleArchiveCopiedBefore = "Arquivo ";
inline constexpr std::string_view kConsoleArchiveCopiedAfter = " Criado com Sucesso!";
// " - Iniciando tentativa de envio por FTP! - " + attempt number + "ª Tentativa de 3."
inline constexpr std::string_view kConsoleFtpAttemptBefore = " - Iniciando tentativa de envio por FTP! - ";
inline constexpr std::string_view kConsoleFtpAttemptAfter = "ª Tentativa de 3.";
inline constexpr std::string_view kConsoleFtpTransferring = " - Transferindo....";
inline constexpr std::string_view kConsoleFtpSent = " - Arquivo Enviado com Sucesso!";

}  // namespace run::texts
