#include "tests/tools/rar/Readers.h"

#include <sys/wait.h>

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

}  // namespace

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

ReadBack ReadWithUnar(const std::filesystem::path& archive) {
  const CommandResult listing = RunCommand("lsar " + ShellQuote(archive));
  ReadBack result = SummarizeCommand("unar -q -o - " + ShellQuote(archive) + " 2>/dev/null");
  std::vector<std::string> lines = Lines(listing.output);
  if (!lines.empty()) lines.erase(lines.begin());  // "<archive>: RAR"
  result.names = lines;
  result.ok = result.ok && listing.exitCode == 0;
  if (!result.ok)
    result.log = listing.output + RunCommand("unar -q -o - " + ShellQuote(archive) + " >/dev/null").output;
  return result;
}

CommandResult CompareWithBsdtar(const std::filesystem::path& archive, const std::string& name,
                                const std::filesystem::path& original) {
  return RunCommand("bsdtar -xOf " + ShellQuote(archive) + " " + ShellQuote(name) + " | cmp - " +
                    ShellQuote(original));
}

CommandResult CompareWithUnar(const std::filesystem::path& archive, const std::filesystem::path& original) {
  return RunCommand("unar -q -o - " + ShellQuote(archive) + " | cmp - " + ShellQuote(original));
}

ReadBack Summarize(const std::filesystem::path& file) {
  ReadBack result = SummarizeCommand("cat " + ShellQuote(file));
  result.names.push_back(file.filename().string());
  return result;
}

}  // namespace rar::testing
