// Stands in for the archiver in the run's tests: called as "<self> a -ep -ibck <archive> <file>", it writes
// its own command line to "archiver-command.txt" beside the archive and "archives" by copying the file.
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 6) {
    return 2;
  }
  std::string commandLine = argv[0];
  for (int i = 1; i < argc; ++i) {
    commandLine += std::string(" ") + argv[i];
  }
  const std::filesystem::path archive = argv[4];
  std::ofstream(archive.parent_path() / "archiver-command.txt", std::ios::binary) << commandLine << "\n";
  if (std::string(argv[1]) != "a" || std::string(argv[2]) != "-ep" || std::string(argv[3]) != "-ibck") {
    return 2;
  }
  std::error_code error;
  std::filesystem::copy_file(argv[5], archive, error);
  return error ? 1 : 0;
}
