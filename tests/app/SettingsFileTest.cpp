#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include "app/Credentials.h"
#include "app/SettingsFile.h"
#include "platform/Errors.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using app::BackupSettings;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

// The file SaveSettings writes from scratch for the initial settings; credentials scrambled.
const std::string kInitialFile =
    "[Servidor]\r\nNome=localhost\r\nBase=\r\nUsuario=@CCTXT\r\nSenha=asnudwkfu\r\nTemp=\r\nPastaComp=\r\n"
    "[Destino]\r\nSalvarDestino=N\r\nSalvar=\r\n"
    "[FTP]\r\nEnviarBackup=N\r\nServidor=\r\nPasta=\r\nPorta=21\r\nUsuario=\r\nSenha=\r\nNumeroDeArquivos="
    "10\r\n"
    "Modo=0\r\nMostraErro=S\r\nMudaExtens\xE3o=N\r\nExtens\xE3o=\r\n"
    "[Configuracao]\r\nAbrir=N\r\nEmail=\r\nEnviarEmail=N\r\n"
    "[Compactacao]\r\nSenha=\r\nOcultarNomes=N\r\n"
    "[Email]\r\nServidor=\r\nPorta=587\r\nSeguran\xE7"
    "a=1\r\nUsuario=\r\nSenha=\r\nRemetente=\r\nCertificado=\r\n"
    "Sempre=N\r\n";

bool SameSettings(const BackupSettings& a, const BackupSettings& b) {
  return a.EdtServidor == b.EdtServidor && a.EdtBase == b.EdtBase && a.EdtUsuario == b.EdtUsuario &&
         a.EdtSenha == b.EdtSenha && a.EdtPastaTemp == b.EdtPastaTemp && a.EdtPastaComp == b.EdtPastaComp &&
         a.CheckDestino == b.CheckDestino && a.EdtDestino == b.EdtDestino && a.CheckFTP == b.CheckFTP &&
         a.EdtServidorFTP == b.EdtServidorFTP && a.EdtPastaFTP == b.EdtPastaFTP &&
         a.EdtPortaFTP == b.EdtPortaFTP && a.EdtUsuarioFTP == b.EdtUsuarioFTP &&
         a.EdtSenhaFTP == b.EdtSenhaFTP && a.edtarquivosftp == b.edtarquivosftp &&
         a.ComboBox1 == b.ComboBox1 && a.Check_ErroFTP == b.Check_ErroFTP &&
         a.CheckMudaExtensao == b.CheckMudaExtensao && a.EdtExtensaoFTP == b.EdtExtensaoFTP &&
         a.CheckConfig == b.CheckConfig && a.EdtEmail == b.EdtEmail &&
         a.CheckEnviaEmail == b.CheckEnviaEmail && a.EdtSenhaCompactacao == b.EdtSenhaCompactacao &&
         a.CheckOcultarNomes == b.CheckOcultarNomes;
}

BackupSettings Loaded(const std::string& bytes) {
  TempFolder temp;
  WriteBytes(temp / app::kSettingsFileName, bytes);
  BackupSettings settings;
  app::LoadSettings(settings, temp / app::kSettingsFileName);
  app::LoadEmailSettings(settings, temp / app::kSettingsFileName);
  return settings;
}

TEST(SaveSettings, WritesTheEntriesInOrderFromScratch) {
  TempFolder temp;
  app::SaveSettings(BackupSettings(), temp / app::kSettingsFileName);
  EXPECT_EQ(ReadBytes(temp / app::kSettingsFileName), kInitialFile);
}

#ifndef _WIN32
// The file holds the credentials, whose scrambling anyone can undo.
TEST(SaveSettings, ANewFileIsReadableByItsOwnerAloneAndAnExistingOneKeepsItsMode) {
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  const mode_t previous = ::umask(022);
  app::SaveSettings(BackupSettings(), path);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  app::SaveSettings(BackupSettings(), path);
  ::umask(previous);
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#endif

TEST(SaveSettings, ReplacesEntriesWhereTheyStandAndKeepsEverythingElse) {
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  WriteBytes(path,
             "[Ormelin]\r\nVersao=7\r\n\r\n"
             "[FTP]\r\nmodo=1\r\nPorta=2121\r\nObservacao=fica\r\n\r\n"
             "[servidor]\r\nnome=old\r\n");
  BackupSettings settings;
  settings.ComboBox1 = 1;
  settings.EdtPortaFTP = "2121";
  settings.EdtServidor = "srv";
  app::SaveSettings(settings, path);
  EXPECT_EQ(
      ReadBytes(path),
      "[Ormelin]\r\nVersao=7\r\n\r\n"
      "[FTP]\r\nmodo=1\r\nPorta=2121\r\nObservacao=fica\r\nEnviarBackup=N\r\nServidor=\r\nPasta=\r\n"
      "Usuario=\r\nSenha=\r\nNumeroDeArquivos=10\r\nMostraErro=S\r\nMudaExtens\xE3o=N\r\nExtens\xE3o=\r\n\r\n"
      "[servidor]\r\nnome=srv\r\nBase=\r\nUsuario=@CCTXT\r\nSenha=asnudwkfu\r\nTemp=\r\nPastaComp=\r\n"
      "[Destino]\r\nSalvarDestino=N\r\nSalvar=\r\n"
      "[Configuracao]\r\nAbrir=N\r\nEmail=\r\nEnviarEmail=N\r\n"
      "[Compactacao]\r\nSenha=\r\nOcultarNomes=N\r\n"
      "[Email]\r\nServidor=\r\nPorta=587\r\nSeguran\xE7"
      "a=1\r\nUsuario=\r\nSenha=\r\nRemetente=\r\nCertificado=\r\n"
      "Sempre=N\r\n");
}

TEST(LoadSettings, AppliesTheLoadRuleOfEachKind) {
  struct Case {
    const char* name;
    std::string file;
    std::function<void(const BackupSettings&)> check;
  } cases[] = {
      {"only Abrir=S", "[Configuracao]\r\nAbrir=S\r\n",
       [](const BackupSettings& s) {
         EXPECT_EQ(s.EdtServidor, "");
         EXPECT_EQ(s.EdtUsuario, "");
         EXPECT_EQ(s.EdtSenha, "");
         EXPECT_EQ(s.EdtPortaFTP, "21");
         EXPECT_TRUE(s.Check_ErroFTP);
         EXPECT_EQ(s.ComboBox1, 0);
         EXPECT_EQ(s.edtarquivosftp, "");
         EXPECT_TRUE(s.CheckConfig);
       }},
      {"flags are exact", "[Configuracao]\r\nAbrir=s\r\nEnviarEmail=S \r\n[Destino]\r\nSalvarDestino=Sim\r\n",
       [](const BackupSettings& s) {
         EXPECT_FALSE(s.CheckConfig);
         EXPECT_TRUE(s.CheckEnviaEmail);  // trailing blank trimmed by the reader
         EXPECT_FALSE(s.CheckDestino);
       }},
      {"archive password unscrambled, names hidden", "[Compactacao]\r\nSenha=rhjrhjrhj\r\nOcultarNomes=S\r\n",
       [](const BackupSettings& s) {
         EXPECT_EQ(s.EdtSenhaCompactacao, app::UnscrambleCredential("rhjrhjrhj"));
         EXPECT_TRUE(s.CheckOcultarNomes);
       }},
      {"no archive section: no encryption", "[Configuracao]\r\nAbrir=N\r\n",
       [](const BackupSettings& s) {
         EXPECT_EQ(s.EdtSenhaCompactacao, "");
         EXPECT_FALSE(s.CheckOcultarNomes);
       }},
      {"empty port", "[FTP]\r\nPorta=\r\n", [](const BackupSettings& s) { EXPECT_EQ(s.EdtPortaFTP, "21"); }},
      {"port", "[FTP]\r\nPorta=2121\r\n", [](const BackupSettings& s) { EXPECT_EQ(s.EdtPortaFTP, "2121"); }},
      {"passive", "[FTP]\r\nModo=1\r\n", [](const BackupSettings& s) { EXPECT_EQ(s.ComboBox1, 1); }},
      {"mode out of range", "[FTP]\r\nModo=7\r\n",
       [](const BackupSettings& s) { EXPECT_EQ(s.ComboBox1, -1); }},
      {"mode -1", "[FTP]\r\nModo=-1\r\n", [](const BackupSettings& s) { EXPECT_EQ(s.ComboBox1, -1); }},
      {"MostraErro inverted", "[FTP]\r\nMostraErro=S\r\n",
       [](const BackupSettings& s) { EXPECT_FALSE(s.Check_ErroFTP); }},
      {"quoted and accented values",
       "[Servidor]\r\nBase=\"C:\\Ormelin\\Dados Fiscais.fdb\"\r\n[FTP]\r\n"
       "MUDAEXTENS\xC3O=S\r\nextens\xE3o=.d\xE1t\r\n",
       [](const BackupSettings& s) {
         EXPECT_EQ(s.EdtBase, "C:\\Ormelin\\Dados Fiscais.fdb");
         EXPECT_TRUE(s.CheckMudaExtensao);
         EXPECT_EQ(s.EdtExtensaoFTP, ".dát");
       }},
      {"scrambled credentials",
       "[Servidor]\r\nUsuario=@CCTXT\r\nSenha=cda\r\n[FTP]\r\nUsuario=plain\r\nSenha=cdab\r\n",
       [](const BackupSettings& s) {
         EXPECT_EQ(s.EdtUsuario, "SYSDBA");
         EXPECT_EQ(s.EdtSenha, "bcd");
         EXPECT_EQ(s.EdtUsuarioFTP, "plain");
         EXPECT_EQ(s.EdtSenhaFTP, "abcd");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.check(Loaded(c.file));
  }
}

TEST(LoadSettings, AModoThatIsNoNumberStopsTheLoadThere) {
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  WriteBytes(path,
             "[Servidor]\r\nNome=srv\r\n[FTP]\r\nNumeroDeArquivos=5\r\nModo=ativo\r\nMudaExtens\xE3o=S\r\n"
             "Extens\xE3o=.x\r\n[Configuracao]\r\nAbrir=S\r\n");
  BackupSettings settings;
  settings.EdtExtensaoFTP = "before";
  try {
    app::LoadSettings(settings, path);
    FAIL() << "no error";
  } catch (const platform::EConvertError& error) {
    EXPECT_EQ(error.Message(), "'ativo' is not a valid integer value");
  }
  EXPECT_EQ(settings.EdtServidor, "srv");
  EXPECT_EQ(settings.edtarquivosftp, "5");
  EXPECT_EQ(settings.ComboBox1, 0);
  EXPECT_FALSE(settings.CheckMudaExtensao);
  EXPECT_EQ(settings.EdtExtensaoFTP, "before");
  EXPECT_FALSE(settings.CheckConfig);
}

TEST(LoadSettings, TheRunCeilingIsWholeMinutesWithTwelveHoursWhenAbsentAndZeroForNone) {
  const struct {
    const char* file;
    int minutes;
  } read[] = {{"[Configuracao]\r\nAbrir=N\r\n", 720},
              {"[Configuracao]\r\nTempoMaximoMinutos=\r\n", 720},
              {"[Configuracao]\r\nTempoMaximoMinutos=90\r\n", 90},
              {"[Configuracao]\r\nTempoMaximoMinutos=0\r\n", 0}};
  for (const auto& c : read) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(Loaded(c.file).TempoMaximoMinutos, c.minutes);
  }
  for (const char* value : {"doze", "-5", "1.5"}) {
    SCOPED_TRACE(value);
    try {
      Loaded(std::string("[Configuracao]\r\nTempoMaximoMinutos=") + value + "\r\n");
      ADD_FAILURE() << "no error";
    } catch (const platform::Exception& error) {
      EXPECT_EQ(error.Message(), std::string("Configuracao/TempoMaximoMinutos: \"") + value +
                                     "\" não é um número de minutos (0 para nenhum limite).");
    }
  }
}

TEST(LoadSettings, SurvivesFilesThatAreNoSettingsAtAll) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) & 0xFF);
  const std::string hugeLine = "[Servidor]\r\nNome=" + std::string(10 << 20, 'x') + "\r\nBase=b\r\n";
  EXPECT_NO_THROW(Loaded(binary));
  const BackupSettings huge = Loaded(hugeLine);
  EXPECT_EQ(huge.EdtServidor, std::string(2047, 'x'));
  EXPECT_EQ(huge.EdtBase, "b");
  EXPECT_EQ(Loaded("[Servidor]\r\nNome=S\xE3o Paulo \x96 matriz\r\n").EdtServidor, "São Paulo – matriz");
}

TEST(LoadSettings, AnUnreadableFileLoadsAsEmpty) {
  if (!testsupport::PermissionBitsBind())
    GTEST_SKIP() << "permission bits do not stop reading here (superuser or Windows)";
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  WriteBytes(path, "[Servidor]\r\nNome=srv\r\n");
  fs::permissions(path, fs::perms::none);
  BackupSettings settings;
  app::LoadSettings(settings, path);
  EXPECT_EQ(settings.EdtServidor, "");
  EXPECT_EQ(settings.EdtPortaFTP, "21");
}

TEST(SettingsFile, WhatIsSavedLoadsBackUnchanged) {
  BackupSettings settings;
  settings.EdtServidor = "srv-ç";
  settings.EdtBase = "/dados/ormelin.fdb";
  settings.EdtUsuario = "a!";           // scrambles to a leading blank
  settings.EdtSenha = "\"p\xC3\xBF\"";  // quotes at both ends and code 255
  settings.EdtSenhaFTP = std::string("x\0y!", 4);
  settings.EdtPastaTemp = " C:\\temp\\ ";
  settings.CheckDestino = true;
  settings.CheckFTP = true;
  settings.ComboBox1 = -1;
  settings.Check_ErroFTP = true;
  settings.CheckMudaExtensao = true;
  settings.EdtExtensaoFTP = "'bak'";
  settings.CheckConfig = true;
  settings.EdtEmail = "ti@empresa.com.br";
  settings.CheckEnviaEmail = true;
  settings.edtarquivosftp = "200";
  settings.EdtSenhaCompactacao = "Cofre-Açaí 2026!";
  settings.CheckOcultarNomes = true;

  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  app::SaveSettings(settings, path);
  EXPECT_NE(ReadBytes(path).find("MostraErro=N\r\n"), std::string::npos);
  EXPECT_NE(ReadBytes(path).find("Modo=-1\r\n"), std::string::npos);
  BackupSettings loaded;
  app::LoadSettings(loaded, path);
  app::LoadEmailSettings(loaded, path);
  EXPECT_TRUE(SameSettings(loaded, settings));
  EXPECT_EQ(loaded.EdtUsuario, "a!");
  EXPECT_EQ(loaded.EdtSenha, settings.EdtSenha);
  EXPECT_EQ(loaded.EdtSenhaFTP, settings.EdtSenhaFTP);
}

TEST(SettingsFile, TheMailServerComesBackAndAbsentKeysMeanNone) {
  BackupSettings settings;
  settings.EdtServidorEmail = "smtp.empresa.com.br";
  settings.ComboSegurancaEmail = 2;
  settings.EdtPortaEmail = "2465";
  settings.EdtUsuarioEmail = "avisos@empresa.com.br";
  settings.EdtSenhaEmail = "s\xC3\xA9nha";
  settings.EdtRemetenteEmail = "backup@empresa.com.br";
  settings.EdtCertificadoEmail = "AB:CD";
  settings.CheckEmailSempre = true;
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  app::SaveSettings(settings, path);
  EXPECT_EQ(ReadBytes(path).find("avisos@"), std::string::npos) << "the user is scrambled";
  BackupSettings loaded;
  app::LoadEmailSettings(loaded, path);
  EXPECT_EQ(loaded.EdtServidorEmail, settings.EdtServidorEmail);
  EXPECT_EQ(loaded.ComboSegurancaEmail, 2);
  EXPECT_EQ(loaded.EdtPortaEmail, "2465");
  EXPECT_EQ(loaded.EdtUsuarioEmail, settings.EdtUsuarioEmail);
  EXPECT_EQ(loaded.EdtSenhaEmail, settings.EdtSenhaEmail);
  EXPECT_EQ(loaded.EdtRemetenteEmail, settings.EdtRemetenteEmail);
  EXPECT_EQ(loaded.EdtCertificadoEmail, "AB:CD");
  EXPECT_TRUE(loaded.CheckEmailSempre);

  struct Case {
    const char* file;
    int security;
    const char* port;
  } cases[] = {
      {"[Configuracao]\r\nEmail=a@b.c\r\n", 1, "587"},
      {"[Email]\r\nServidor=smtp\r\nSeguran\xE7"
       "a=0\r\n",
       0, "25"},
      {"[Email]\r\nServidor=smtp\r\nSeguran\xE7"
       "a=2\r\n",
       2, "465"},
      {"[Email]\r\nServidor=smtp\r\nSeguran\xE7"
       "a=7\r\n",
       -1, "587"},
      {"[Email]\r\nServidor=smtp\r\nSeguran\xE7"
       "a=x\r\nPorta=2525\r\n",
       -1, "2525"},
  };
  for (const Case& c : cases) {
    const BackupSettings read = Loaded(c.file);
    EXPECT_EQ(read.ComboSegurancaEmail, c.security) << c.file;
    EXPECT_EQ(read.EdtPortaEmail, c.port) << c.file;
    EXPECT_FALSE(read.CheckEmailSempre) << c.file;
  }
  EXPECT_EQ(Loaded("[Configuracao]\r\nEmail=a@b.c\r\n").EdtServidorEmail, "") << "no server";
}

TEST(SettingsFile, AModeOutOfRangeIsSavedAsNothingSelected) {
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  WriteBytes(path, "[FTP]\r\nModo=7\r\n");
  BackupSettings settings;
  app::LoadSettings(settings, path);
  app::SaveSettings(settings, path);
  EXPECT_TRUE(ReadBytes(path).starts_with("[FTP]\r\nModo=-1\r\n"));
}

// Each way the file can refuse a write: the message names the path and the file stays as it was.
TEST(SaveSettings, ARefusedWriteStopsWithTheMessageAndLosesNothing) {
  TempFolder temp;
  const std::string original = "[Servidor]\r\nNome=keep\r\n[Outra]\r\nX=1\r\n";
  struct Case {
    const char* name;
    std::function<std::string()> prepare;  // returns the path to save to
    bool needsPermissionBits;
  } cases[] = {
      {"read-only file",
       [&] {
         const std::string path = temp / "readonly.ini";
         WriteBytes(path, original);
         fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
         return path;
       },
       false},
      {"the path is a folder",
       [&] {
         fs::create_directory(temp / "folder.ini");
         return temp / "folder.ini";
       },
       false},
      {"the folder is a file",
       [&] {
         WriteBytes(temp / "plain", original);
         return temp / "plain/Configuracaobkp.ini";
       },
       false},
      {"unreadable file",
       [&] {
         const std::string path = temp / "unreadable.ini";
         WriteBytes(path, original);
         fs::permissions(path, fs::perms::owner_write);
         return path;
       },
       true},
      {"read-only folder",
       [&] {
         fs::create_directory(temp / "locked");
         WriteBytes(temp / "locked/Configuracaobkp.ini", original);
         fs::permissions(temp / "locked", fs::perms::owner_read | fs::perms::owner_exec);
         return temp / "locked/Configuracaobkp.ini";
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsPermissionBits && !testsupport::PermissionBitsBind()) {
      std::cout << "[ SKIPPED  ] " << c.name << ": permission bits do not bind here (superuser or Windows)\n";
      continue;
    }
    const std::string path = c.prepare();
    const auto before = fs::is_regular_file(path) ? fs::file_size(path) : 0;
    try {
      app::SaveSettings(BackupSettings(), path);
      ADD_FAILURE() << "saved";
    } catch (const platform::EWriteError& error) {
      EXPECT_EQ(error.Message(), "Unable to write to " + path);
    }
    if (fs::is_regular_file(path)) {
      fs::permissions(path, fs::perms::owner_read, fs::perm_options::add);
      EXPECT_EQ(fs::file_size(path), before);
      EXPECT_EQ(ReadBytes(path), original);
    }
  }
  EXPECT_EQ(ReadBytes(temp / "plain"), original);
}

#ifndef _WIN32
// A file size limit (POSIX only) stops the save part way, as a full disk does.
TEST(SaveSettings, EntriesWrittenBeforeAFailureStayWritten) {
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  const std::string original = "[Outra]\r\nX=1\r\n";
  WriteBytes(path, original);
  const auto saveUnderLimit = [&path] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{200, 200};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      app::SaveSettings(BackupSettings(), path);
    } catch (const platform::EWriteError& error) {
      std::exit(error.Message() == "Unable to write to " + path ? 0 : 2);
    }
    std::exit(1);
  };
  EXPECT_EXIT(saveUnderLimit(), ::testing::ExitedWithCode(0), "");

  const std::string saved = ReadBytes(path);
  ASSERT_EQ(saved.substr(0, original.size()), original);
  const std::string written = saved.substr(original.size());
  EXPECT_GT(written.size(), 0u);
  EXPECT_LT(written.size(), kInitialFile.size());
  EXPECT_EQ(kInitialFile.substr(0, written.size()), written) << "the first entries, whole";
  EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
  EXPECT_FALSE(fs::exists(path + ".tmp"));
}

#endif

TEST(TlsSettings, AbsentMeansClearTextAndTheKeysAppearOnlyOnceSet) {
  EXPECT_EQ(Loaded("[FTP]\r\nModo=1\r\n").ComboSeguranca, 0);
  EXPECT_EQ(Loaded("[FTP]\r\nSeguran\xE7"
                   "a=2\r\nCertificado=ab:CD\r\n")
                .CertificadoFTP,
            "ab:CD");
  for (const char* bad : {"3", "-1", "sim"}) {
    EXPECT_THROW(Loaded("[FTP]\r\nSeguran\xE7"
                        "a=" +
                        std::string(bad) + "\r\n"),
                 platform::Exception)
        << bad;
  }

  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  BackupSettings settings;
  settings.ComboSeguranca = 1;
  settings.CertificadoFTP = std::string(64, 'a');
  app::SaveSettings(settings, path);
  EXPECT_EQ(Loaded(ReadBytes(path)).ComboSeguranca, 1);
  EXPECT_EQ(Loaded(ReadBytes(path)).CertificadoFTP, std::string(64, 'a'));
  settings.ComboSeguranca = 0;
  settings.CertificadoFTP.clear();
  app::SaveSettings(settings, path);
  EXPECT_NE(ReadBytes(path).find("Seguran\xE7"
                                 "a=0\r\nCertificado=\r\n"),
            std::string::npos);
}

}  // namespace
