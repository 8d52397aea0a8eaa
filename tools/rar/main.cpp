// torvi-rar: the archiver the backup run carries with it.
//   torvi-rar a -ep -ibck <archive> <file>
// writes <archive> as a RAR 4 archive holding <file> under its bare name.
#include <cstdio>
#include <exception>
#include <string_view>

#include "tools/rar/ArchiveWriter.h"
#include "tools/rar/Error.h"

namespace {

// Exit codes in the manner of RAR archivers.
constexpr int kFatal = 2;
constexpr int kOpenError = 6;
constexpr int kUsageError = 7;
constexpr int kCreateError = 9;

constexpr const char* kUsage = "usage: torvi-rar a -ep -ibck <archive> <file>\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6 || std::string_view(argv[1]) != "a" || std::string_view(argv[2]) != "-ep" ||
      std::string_view(argv[3]) != "-ibck") {
    std::fputs(kUsage, stderr);
    return kUsageError;
  }
  try {
    rar::CreateArchive(argv[4], argv[5]);
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
