// Any bytes as a settings file: reading never fails, and writing one entry gives that entry back while
// every other entry reads as before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/Profile.h"
#include "platform/Encoding.h"

namespace {

constexpr const char* kSections[] = {"Servidor", "FTP", "s", "Extensão"};
constexpr const char* kKeys[] = {"Nome", "Senha", "k", "MudaExtensão", ""};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t valueLength = static_cast<std::uint8_t>(bytes[0]) % 40;
  const std::size_t target = static_cast<std::uint8_t>(bytes[1]);
  const std::string file = bytes.substr(2);
  const std::string value =
      platform::Cp1252ToUtf8(file.substr(file.size() - std::min(valueLength, file.size())));
  const char* section = kSections[target % 4];
  const char* key = kKeys[(target / 4) % 5];

  app::ProfileText profile(file);
  std::string before[4][5];
  for (int s = 0; s < 4; ++s) {
    for (int k = 0; k < 5; ++k) before[s][k] = profile.Read(kSections[s], kKeys[k]);
  }
  if (value.find_first_of("\r\n") != std::string::npos) return 0;
  profile.Write(section, key, value);
  Check(profile.Read(section, key) == value);
  for (int s = 0; s < 4; ++s) {
    for (int k = 0; k < 5; ++k) {
      if (kSections[s] == section && kKeys[k] == key) continue;
      Check(profile.Read(kSections[s], kKeys[k]) == before[s][k]);
    }
  }
  return 0;
}
