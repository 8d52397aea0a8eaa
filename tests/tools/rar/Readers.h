#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ShellCommand.h"

namespace rar::testing {

using testsupport::CommandResult;
using testsupport::RunCommand;
using testsupport::ShellQuote;

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// What an independent reader made of an archive holding one entry.
struct ReadBack {
  bool ok = false;
  std::string log;                 // the reader's output, for failure messages
  std::vector<std::string> names;  // entries listed
  std::uint64_t size = 0;          // bytes extracted
  std::uint32_t crc = 0;           // CRC-32 of the bytes extracted
};

// bsdtar (libarchive): lists the archive, then streams the entry `name` through a CRC.
ReadBack ReadWithBsdtar(const std::filesystem::path& archive, const std::string& name);
// unar: lists the archive with lsar, then streams what unar extracts (it checks the CRC) through a CRC;
// with a password when one is given.
ReadBack ReadWithUnar(const std::filesystem::path& archive, const std::string& password = {});

// For files too large to pass through this process: each reader streams the entry into cmp against
// `original`; the result's output says what differed.
CommandResult CompareWithBsdtar(const std::filesystem::path& archive, const std::string& name,
                                const std::filesystem::path& original);
CommandResult CompareWithUnar(const std::filesystem::path& archive, const std::filesystem::path& original,
                              const std::string& password = {});

// The unar and lsar commands that open encrypted archives. Debian 12's build of unar 1.10.1 (amd64)
// finishes its SHA-1 without hashing the message length: the instruction meant to store the
// big-endian bit count into the last 8 bytes of the final block stores it back into the context's
// counter instead, so the keys it derives from a password match no other reader's. These are private
// copies of the installed programs with that one instruction's displacement pointed at the block
// (built once per test process, removed at its end); a build without the defect is used as installed.
std::string UnarCommand();
std::string LsarCommand();

// CRC-32 and size of a file, read in chunks.
ReadBack Summarize(const std::filesystem::path& file);

}  // namespace rar::testing
