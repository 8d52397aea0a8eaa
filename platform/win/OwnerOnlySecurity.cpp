#include "platform/win/OwnerOnlySecurity.h"

#include <string>
#include <vector>

namespace platform::win {
namespace {

// The user's security identifier as text ("S-1-5-21-..."); empty when it cannot be read.
std::wstring UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  std::wstring text;
  wchar_t* sidText = nullptr;
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sidText)) {
    text = sidText;
    LocalFree(sidText);
  }
  CloseHandle(token);
  return text;
}

}  // namespace

OwnerOnlySecurity::OwnerOnlySecurity() {
  const std::wstring user = UserSid();
  if (user.empty()) return;
  // P: the list does not inherit from the folder; FA: full access; SY system, BA administrators.
  const std::wstring text = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + user + L")";
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor_,
                                                            nullptr)) {
    descriptor_ = nullptr;
    return;
  }
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = descriptor_;
  attributes_.bInheritHandle = FALSE;
}

OwnerOnlySecurity::~OwnerOnlySecurity() {
  if (descriptor_ != nullptr) LocalFree(descriptor_);
}

}  // namespace platform::win
