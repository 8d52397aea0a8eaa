#include "tests/tools/rar/Readers.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tools/rar/Crc32.h"

namespace rar::testing {

namespace {

constexpr std::size_t kChunk = 1 << 20;

// Feeds a command's standard output through a CRC without keeping it.
ReadBack SummarizeCommand(const std::string& commandLine) {
  ReadBack result;
  std::FILE* pipe = popen(commandLine.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run " + commandLine);
  rar::Crc32 crc;
  std::vector<std::uint8_t> chunk(kChunk);
  while (const std::size_t count = std::fread(chunk.data(), 1, chunk.size(), pipe)) {
    crc.Update(std::span<const std::uint8_t>(chunk.data(), count));
    result.size += count;
  }
  const int status = pclose(pipe);
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.crc = crc.Value();
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

// mov 0x18(%rbx),%rdx; bswap %rdx; mov %rdx,0x18(%rbx): the bit count, byte-swapped, stored back into
// the counter. Pointing the store at 0x58(%rbx), the last 8 bytes of the block buffer at 0x20, mends it.
constexpr std::array<std::uint8_t, 11> kDefectiveLengthStore = {0x48, 0x8b, 0x53, 0x18, 0x48, 0x0f,
                                                                0xca, 0x48, 0x89, 0x53, 0x18};
constexpr std::size_t kStoreDisplacement = 10;
constexpr std::uint8_t kBlockTailDisplacement = 0x58;

class MendedPrograms {
 public:
  MendedPrograms()
      : folder_(std::filesystem::temp_directory_path() / ("torvi-unar-" + std::to_string(::getpid()))) {}
  MendedPrograms(const MendedPrograms&) = delete;
  MendedPrograms& operator=(const MendedPrograms&) = delete;
  ~MendedPrograms() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string Command(const std::string& name) {
    const CommandResult found = RunCommand("command -v " + name);
    std::string installed = found.output.substr(0, found.output.find('\n'));
    if (found.exitCode != 0 || installed.empty()) throw std::runtime_error(name + " is not installed");
    std::vector<std::uint8_t> bytes = ReadBytes(installed);
    const auto at =
        std::search(bytes.begin(), bytes.end(), kDefectiveLengthStore.begin(), kDefectiveLengthStore.end());
    if (at == bytes.end()) return name;
    at[kStoreDisplacement] = kBlockTailDisplacement;
    std::filesystem::create_directories(folder_);
    const std::filesystem::path mended = folder_ / name;
    if (!std::filesystem::exists(mended)) {
      WriteBytes(mended, bytes);
      std::filesystem::permissions(mended, std::filesystem::perms::owner_all);
    }
    return ShellQuote(mended);
  }

 private:
  std::filesystem::path folder_;
};

MendedPrograms& Mended() {
  static MendedPrograms programs;
  return programs;
}

std::string PasswordOption(const std::string& password) {
  return password.empty() ? std::string() : " -p " + ShellQuote(password);
}

}  // namespace

std::string UnarCommand() {
  static const std::string command = Mended().Command("unar");
  return command;
}

std::string LsarCommand() {
  static const std::string command = Mended().Command("lsar");
  return command;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

ReadBack ReadWithBsdtar(const std::filesystem::path& archive, const std::string& name) {
  const CommandResult listing = RunCommand("bsdtar -tf " + ShellQuote(archive));
  ReadBack result =
      SummarizeCommand("bsdtar -xOf " + ShellQuote(archive) + " " + ShellQuote(name) + " 2>/dev/null");
  result.names = Lines(listing.output);
  result.ok = result.ok && listing.exitCode == 0;
  if (!result.ok)
    result.log = listing.output + RunCommand("bsdtar -xOf " + ShellQuote(archive) + " >/dev/null").output;
  return result;
}

ReadBack ReadWithUnar(const std::filesystem::path& archive, const std::string& password) {
  const std::string unar = UnarCommand() + PasswordOption(password);
  const CommandResult listing =
      RunCommand(LsarCommand() + PasswordOption(password) + " " + ShellQuote(archive));
  ReadBack result = SummarizeCommand(unar + " -q -o - " + ShellQuote(archive) + " 2>/dev/null");
  std::vector<std::string> lines = Lines(listing.output);
  if (!lines.empty()) lines.erase(lines.begin());  // "<archive>: RAR"
  result.names = lines;
  result.ok = result.ok && listing.exitCode == 0;
  if (!result.ok)
    result.log = listing.output + RunCommand(unar + " -q -o - " + ShellQuote(archive) + " >/dev/null").output;
  return result;
}

CommandResult CompareWithBsdtar(const std::filesystem::path& archive, const std::string& name,
                                const std::filesystem::path& original) {
  return RunCommand("bsdtar -xOf " + ShellQuote(archive) + " " + ShellQuote(name) + " | cmp - " +
                    ShellQuote(original));
}

CommandResult CompareWithUnar(const std::filesystem::path& archive, const std::filesystem::path& original,
                              const std::string& password) {
  return RunCommand(UnarCommand() + PasswordOption(password) + " -q -o - " + ShellQuote(archive) +
                    " | cmp - " + ShellQuote(original));
}

ReadBack Summarize(const std::filesystem::path& file) {
  ReadBack result = SummarizeCommand("cat " + ShellQuote(file));
  result.names.push_back(file.filename().string());
  return result;
}

}  // namespace rar::testing
