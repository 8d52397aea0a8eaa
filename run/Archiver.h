#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "run/RunNames.h"

namespace run {

inline constexpr std::string_view kArchiverFileName = "winrar.exe";

// The archiver carried inside the program, built in at compile time; empty when the build has none.
std::span<const std::byte> EmbeddedArchiver();

// Writes `bytes` as an executable file at `path` when no file exists there; an existing file, whatever
// it holds, is kept as it is. The file appears whole or not at all. Throws platform::Exception when it
// cannot be written.
void WriteArchiverIfMissing(const std::string& path, std::span<const std::byte> bytes);

// The archiver's command line for a run: no quoting, the archiver named with a doubled separator.
std::string ArchiverCommandLine(const RunNames& names);

}  // namespace run
