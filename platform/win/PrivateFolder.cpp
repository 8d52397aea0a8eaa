#include "platform/PrivateFolder.h"

#include <cwchar>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/NotPrivateFolder.h"
#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {
namespace {

// The user's local application data: %LOCALAPPDATA% when set, else the known folder.
std::wstring LocalApplicationData() {
  if (const wchar_t* variable = _wgetenv(L"LOCALAPPDATA"); variable != nullptr && variable[0] != L'\0')
    return variable;
  wchar_t* folder = nullptr;
  std::wstring text;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) text = folder;
  CoTaskMemFree(folder);
  return text;
}

}  // namespace

std::string UserPrivateFolder() {
  std::string base = win::WideToUtf8(LocalApplicationData());
  while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
  return base + "\\torvi\\";
}

void MakePrivateFolder(const std::string& folderText) {
  std::string folder = folderText;
  while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  const std::wstring wide = win::Utf8ToWide(folder);
  // The parents come with the profile; only the last one or two levels may be missing. A new folder
  // takes the access list of its parent, which in the user's profile names the user, the
  // administrators and the system.
  for (std::size_t cut = wide.find_first_of(L"\\/", 3); cut != std::wstring::npos;
       cut = wide.find_first_of(L"\\/", cut + 1)) {
    CreateDirectoryW(wide.substr(0, cut).c_str(), nullptr);
  }
  CreateDirectoryW(wide.c_str(), nullptr);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) throw Exception("Não foi possível criar a pasta " + folder);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    throw NotPrivateFolder(folder, "não é uma pasta (é um link ou um arquivo)");
  }
}

}  // namespace platform
