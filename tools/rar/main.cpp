// torvi-rar: the archiver the backup run carries with it.
//   torvi-rar a -ep -ibck [-p | -hp] <archive> <file>
// writes <archive> as a RAR 4 archive holding <file> under its bare name. With -p the data is encrypted
// under the password read from standard input (one line of UTF-8 text; never on the command line, where
// any user of the machine could read it); -hp encrypts the headers as well, hiding the file's name.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "tools/rar/ArchiveWriter.h"
#include "tools/rar/Error.h"
#include "tools/rar/Password.h"

namespace {

// Exit codes in the manner of RAR archivers.
constexpr int kFatal = 2;
constexpr int kOpenError = 6;
constexpr int kUsageError = 7;
constexpr int kCreateError = 9;

constexpr const char* kUsage = "usage: torvi-rar a -ep -ibck [-p | -hp] <archive> <file>\n";

// The first line of standard input, without its line end.
std::string ReadPasswordLine() {
  std::string line;
  for (int c; (c = std::fgetc(stdin)) != EOF && c != '\n';) line.push_back(static_cast<char>(c));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  const bool encrypted = argc == 7;
  const std::string_view encryption = encrypted ? argv[4] : "";
  if ((argc != 6 && !encrypted) || std::string_view(argv[1]) != "a" || std::string_view(argv[2]) != "-ep" ||
      std::string_view(argv[3]) != "-ibck" || (encrypted && encryption != "-p" && encryption != "-hp")) {
    std::fputs(kUsage, stderr);
    return kUsageError;
  }
  const char* archive = argv[argc - 2];
  const char* input = argv[argc - 1];
  try {
    rar::ArchiveOptions options;
    if (encrypted) {
      options.password = rar::PasswordFromUtf8(ReadPasswordLine());
      options.encryptHeaders = encryption == "-hp";
    }
    rar::CreateArchive(archive, input, options);
    return 0;
  } catch (const rar::InputError& error) {
    std::fprintf(stderr, "torvi-rar: %s\n", error.what());
    return kOpenError;
  } catch (const rar::OutputError& error) {
    std::fprintf(stderr, "torvi-rar: %s\n", error.what());
    return kCreateError;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "torvi-rar: %s\n", error.what());
    return kFatal;
  }
}
