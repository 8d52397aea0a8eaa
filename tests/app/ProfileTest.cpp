#include <gtest/gtest.h>

#include "app/Profile.h"
#include "platform/Errors.h"
#include "tests/support/TempFolder.h"

namespace {

using app::ProfileText;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(ProfileRead, FollowsTheReadingRules) {
  const ProfileText profile(
      "Orphan=before any section\r\n"
      "[Servidor]\r\n"
      "Nome=srv01\r\n"
      "  base  =\t C:\\dados\\ORMELIN.FDB \t\r\n"
      "Senha=a=b=c\r\n"
      "Nome=second occurrence\r\n"
      "Quoted=\"  spaced  \"\r\n"
      "Single='x'\r\n"
      "Unmatched=\"x'\r\n"
      "Lone=\"\r\n"
      "Empty=\r\n"
      "NoEquals\r\n"
      "[ftp]\n"
      "Extens\xE3o=.bak\n"
      "[Broken\r\n"
      "Temp=inside broken header\r\n"
      "[Servidor]\r\n"
      "Temp=in a second Servidor section\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::string value;
  } cases[] = {
      {"Servidor", "Nome", "srv01"},
      {"SERVIDOR", "nOmE", "srv01"},
      {"Servidor", "Base", "C:\\dados\\ORMELIN.FDB"},
      {"Servidor", "Senha", "a=b=c"},
      {"Servidor", "Quoted", "  spaced  "},
      {"Servidor", "Single", "x"},
      {"Servidor", "Unmatched", "\"x'"},
      {"Servidor", "Lone", "\""},
      {"Servidor", "Empty", ""},
      {"Servidor", "NoEquals", ""},
      {"Servidor", "Missing", ""},
      {"Servidor", "Orphan", ""},
      {"Servidor", "Temp", ""},  // only the first section of a name counts
      {"FTP", "Extensão", ".bak"},
      {"FTP", "EXTENSÃO", ".bak"},
      {"Broken", "Temp", "inside broken header"},
      {"Missing", "Nome", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(profile.Read(c.section, c.key), c.value) << c.section << "/" << c.key;
}

TEST(ProfileRead, CutsValuesAt2047CharactersAndDecodesWindows1252) {
  const std::string longValue(5000, 'v');
  const ProfileText profile("[S]\r\nLong=" + longValue + "\r\nQuotedLong=\"" + longValue +
                            "\"\r\nText=Configura\xE7\xE3o \x80\x81\r\nBinary=\x01\xFF\x7F\r\n");
  EXPECT_EQ(profile.Read("S", "Long"), std::string(2047, 'v'));
  EXPECT_EQ(profile.Read("S", "QuotedLong"), std::string(2047, 'v'));
  EXPECT_EQ(profile.Read("S", "Text"), "Configuração €\xC2\x81");
  EXPECT_EQ(profile.Read("S", "Binary"), "\x01ÿ\x7F");
}

TEST(ProfileRead, AFileSavedAsUtf8WithItsMarkIsReadAsUtf8AndSavedInWindows1252) {
  TempFolder temp;
  const std::string path = temp / "settings.ini";
  WriteBytes(path, "\xEF\xBB\xBF[Geral]\r\nDestino=C:\\C\xC3\xB3pias\r\n");

  EXPECT_EQ(app::ReadProfileString(path, "Geral", "Destino"), "C:\\Cópias");

  app::WriteProfileString(path, "Geral", "Pasta", "Ação");
  EXPECT_EQ(ReadBytes(path), "[Geral]\r\nDestino=C:\\C\xF3pias\r\nPasta=A\xE7\xE3o\r\n");
}

TEST(ProfileRead, AMissingOrUnreadableFileReadsEmpty) {
  TempFolder temp;
  EXPECT_EQ(app::ReadProfileString(temp / "missing.ini", "S", "K"), "");
  EXPECT_EQ(app::ReadProfileString(temp.Path(), "S", "K"), "");
}

TEST(ProfileWrite, ChangesOnlyWhatTheEntryNeeds) {
  const std::string original =
      "; comment kept\r\n"
      "[Servidor]\r\n"
      "NOME = old\r\n"
      "Other=kept\r\n"
      "\r\n"
      "[FTP]\n"
      "Porta=21\n"
      "\n"
      "[Broken\r\n"
      "x=1";
  struct Case {
    const char* name;
    const char* section;
    const char* key;
    std::string value;
    std::string expected;
  } cases[] = {
      {"replaces in place keeping the key as spelled", "servidor", "Nome", "new",
       "; comment kept\r\n[Servidor]\r\nNOME =new\r\nOther=kept\r\n\r\n[FTP]\nPorta=21\n\n[Broken\r\nx=1"},
      {"appends after the section's last entry", "Servidor", "Base", "C:\\b.fdb",
       "; comment kept\r\n[Servidor]\r\nNOME = old\r\nOther=kept\r\nBase=C:\\b.fdb\r\n\r\n[FTP]\nPorta=21\n\n"
       "[Broken\r\nx=1"},
      {"replaces a value in an LF-only section", "FTP", "Porta", "2121",
       "; comment kept\r\n[Servidor]\r\nNOME = old\r\nOther=kept\r\n\r\n[FTP]\nPorta=2121\n\n[Broken\r\nx=1"},
      {"appends to an unterminated last line", "Broken", "y", "2",
       "; comment kept\r\n[Servidor]\r\nNOME = "
       "old\r\nOther=kept\r\n\r\n[FTP]\nPorta=21\n\n[Broken\r\nx=1\r\ny=2"},
      {"appends a missing section at the end", "Configuracao", "Extensão", "ã",
       "; comment kept\r\n[Servidor]\r\nNOME = old\r\nOther=kept\r\n\r\n[FTP]\nPorta=21\n\n[Broken\r\nx=1\r\n"
       "[Configuracao]\r\nExtens\xE3o=\xE3\r\n"},
      {"quotes a value the reader would trim", "FTP", "Senha", " pw ",
       "; comment kept\r\n[Servidor]\r\nNOME = old\r\nOther=kept\r\n\r\n[FTP]\nPorta=21\nSenha=\" pw \"\r\n\n"
       "[Broken\r\nx=1"},
      {"quotes a value the reader would unquote", "FTP", "Porta", "'21'",
       "; comment kept\r\n[Servidor]\r\nNOME = "
       "old\r\nOther=kept\r\n\r\n[FTP]\nPorta=\"'21'\"\n\n[Broken\r\nx=1"},
  };
  for (const auto& c : cases) {
    ProfileText profile(original);
    profile.Write(c.section, c.key, c.value);
    EXPECT_EQ(profile.Bytes(), c.expected) << c.name;
    EXPECT_EQ(profile.Read(c.section, c.key), c.value) << c.name;
  }
}

TEST(ProfileWrite, CompletesAnUnterminatedLastLine) {
  struct Case {
    std::string original;
    const char* section;
    std::string expected;
  } cases[] = {
      {"[S]\r\nx=1", "S", "[S]\r\nx=1\r\ny=2"},
      {"[S]\r\nx=1\r", "S", "[S]\r\nx=1\r\ny=2"},
      {"[S]\r\nx=1", "T", "[S]\r\nx=1\r\n[T]\r\ny=2\r\n"},
      {"[S]\r\nx=1\r", "T", "[S]\r\nx=1\r\n[T]\r\ny=2\r\n"},
  };
  for (const auto& c : cases) {
    ProfileText profile(c.original);
    profile.Write(c.section, "y", "2");
    EXPECT_EQ(profile.Bytes(), c.expected);
    EXPECT_EQ(profile.Read("S", "x"), "1");
  }
}

TEST(ProfileWrite, CreatesTheFileWithCrLfLines) {
  TempFolder temp;
  const std::string path = temp / "new.ini";
  app::WriteProfileString(path, "Servidor", "Nome", "localhost");
  app::WriteProfileString(path, "FTP", "Pasta", "/backups");
  app::WriteProfileString(path, "Servidor", "Base", "");
  EXPECT_EQ(ReadBytes(path), "[Servidor]\r\nNome=localhost\r\nBase=\r\n[FTP]\r\nPasta=/backups\r\n");
}

TEST(ProfileWrite, ALineBreakInAValueIsRefusedAndTheFileKept) {
  TempFolder temp;
  const std::string path = temp / "s.ini";
  WriteBytes(path, "[S]\r\nK=v\r\n");
  for (const char* value : {"a\r\nInjected=1", "a\nb", "a\rb"}) {
    EXPECT_THROW(app::WriteProfileString(path, "S", "K", value), platform::Exception);
  }
  EXPECT_EQ(ReadBytes(path), "[S]\r\nK=v\r\n");
}

}  // namespace
