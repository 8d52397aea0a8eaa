// Files others must not read or plant: the owner-only access list, exclusive creation, the private folder.
// Wine keeps access lists as written but does not enforce them, so these tests check what is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/Exception.h"
#include "platform/FileContents.h"
#include "platform/Files.h"
#include "platform/PrivateFolder.h"
#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

struct AccessList {
  bool read = false;
  bool isProtected = false;
  std::vector<std::wstring> accounts;    // whom each entry names, as SID texts
  std::vector<std::wstring> fullAccess;  // the accounts with full access
};

std::wstring SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return {};
  std::wstring result = text;
  LocalFree(text);
  return result;
}

AccessList ReadAccessList(const std::string& path) {
  AccessList result;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const std::wstring wide = platform::win::Utf8ToWide(path);
  if (GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return result;
  }
  result.read = true;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  result.isProtected = (control & SE_DACL_PROTECTED) != 0;
  for (DWORD i = 0; list != nullptr && i < list->AceCount; ++i) {
    void* entry = nullptr;
    if (!GetAce(list, i, &entry)) continue;
    // Allowed and denied entries share this layout.
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    const std::wstring account = SidText(const_cast<DWORD*>(&allowed->SidStart));
    result.accounts.push_back(account);
    if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
        (allowed->Mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS)
      result.fullAccess.push_back(account);
  }
  LocalFree(descriptor);
  return result;
}

std::wstring ThisUser() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  return SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

const std::wstring kSystem = L"S-1-5-18";
const std::wstring kAdministrators = L"S-1-5-32-544";

// Windows keeps the list as created: protected from the folder's, the system, the administrators and this
// user. Wine turns a new file's list into POSIX mode bits and shows those back as a list of its own, so
// there only "nobody else is named" can be checked.
void ExpectOwnerOnly(const std::string& path) {
  const AccessList list = ReadAccessList(path);
  ASSERT_TRUE(list.read) << path;
  const std::wstring user = ThisUser();
  for (const std::wstring& account : list.accounts)
    EXPECT_TRUE(account == kSystem || account == kAdministrators || account == user)
        << platform::win::WideToUtf8(account) << " may use " << path;
  EXPECT_NE(std::find(list.fullAccess.begin(), list.fullAccess.end(), user), list.fullAccess.end());
  if (list.isProtected) {
    EXPECT_EQ(list.fullAccess, (std::vector<std::wstring>{kSystem, kAdministrators, user}));
  }
}

TEST(WinPrivateFiles, NewFilesAreCreatedExclusivelyForTheirOwnerAlone) {
  TempFolder temp;
  WriteBytes(temp / "planted", "planted");
  EXPECT_FALSE(platform::WriteNewFile(temp / "planted", "mine", platform::NewFileAccess::OwnerOnly));
  EXPECT_EQ(ReadBytes(temp / "planted"), "planted");

  ASSERT_TRUE(
      platform::WriteNewFile(temp / "winrar.exe", "code", platform::NewFileAccess::OwnerOnlyExecutable));
  EXPECT_EQ(ReadBytes(temp / "winrar.exe"), "code");
  ExpectOwnerOnly(temp / "winrar.exe");

  ASSERT_TRUE(platform::ReplaceFileContents(temp / "Configuracaobkp.ini", "[Servidor]\r\n"));
  ExpectOwnerOnly(temp / "Configuracaobkp.ini");
}

TEST(WinPrivateFiles, AReplacedFileKeepsTheAccessListItHad) {
  TempFolder temp;
  WriteBytes(temp / "existing.ini", "old");
  const AccessList before = ReadAccessList(temp / "existing.ini");
  ASSERT_TRUE(platform::ReplaceFileContents(temp / "existing.ini", "new"));
  EXPECT_EQ(ReadBytes(temp / "existing.ini"), "new");
  const AccessList after = ReadAccessList(temp / "existing.ini");
  EXPECT_EQ(after.isProtected, before.isProtected);
  EXPECT_EQ(after.fullAccess, before.fullAccess);
}

TEST(WinPrivateFiles, StaleFilesAreRemovedAndCopiedOverByNewOnes) {
  TempFolder temp;
  WriteBytes(temp / "from.bk", "backup");
  WriteBytes(temp / "stale.bk", "stale");
  SetFileAttributesW(platform::win::Utf8ToWide(temp / "stale.bk").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(platform::CopyToNewFile(temp / "from.bk", temp / "stale.bk"));
  EXPECT_EQ(ReadBytes(temp / "stale.bk"), "backup");
  EXPECT_FALSE(platform::CopyToNewFile(temp / "from.bk", temp / "FROM.BK")) << "onto itself";
  EXPECT_EQ(ReadBytes(temp / "from.bk"), "backup");

  std::filesystem::create_directory(temp.Root() / "folder.bk");
  EXPECT_FALSE(platform::RemoveFileOrLink(temp / "folder.bk"));
  EXPECT_TRUE(platform::RemoveFileOrLink(temp / "stale.bk"));
  EXPECT_TRUE(platform::RemoveFileOrLink(temp / "missing.bk"));
  EXPECT_FALSE(platform::FileExists(temp / "stale.bk"));
  EXPECT_TRUE(std::filesystem::is_directory(temp.Root() / "folder.bk"));
}

TEST(WinPrivateFiles, PrivateFolderIsTorviInTheLocalApplicationData) {
  const std::string folder = platform::UserPrivateFolder();
  EXPECT_TRUE(folder.ends_with("\\torvi\\")) << folder;
  EXPECT_NE(folder.find(":\\"), std::string::npos) << folder;

  TempFolder temp;
  platform::MakePrivateFolder(temp / "Local\\torvi\\");
  EXPECT_TRUE(std::filesystem::is_directory(temp.Root() / "Local" / "torvi"));
  WriteBytes(temp / "file", "a file where the folder should be");
  EXPECT_THROW(platform::MakePrivateFolder(temp / "file\\"), platform::Exception);
}

}  // namespace
