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

// Makes sure the archiver file "winrar.exe" in `privateFolder` (ending with the separator) holds exactly
// `bytes`, and returns its path: the folder is made private to this user first, and a missing file, or
// one with other bytes, is written anew. The archiver is never run from a folder anyone else can write
// into, so a program planted there by another user never runs with this user's rights. Throws
// platform::Exception when the folder is not private or the file cannot be written.
std::string InstallArchiver(const std::string& privateFolder, std::span<const std::byte> bytes);

// How the archive is protected: not at all, its data under a password, or its headers (names and sizes) too.
enum class ArchiveEncryption { None, Data, DataAndNames };

// The archiver's command line for a run: the archiver at `archiverPath` (in double quotes when it holds
// blanks, as a user's folder may) adds the local backup file to the local archive; nothing else is quoted.
// With encryption the switch "-p" (or "-hp" for the names too) makes the archiver read the password
// from its standard input: the password itself is never on the line.
std::string ArchiverCommandLine(const std::string& archiverPath, const RunNames& names,
                                ArchiveEncryption encryption = ArchiveEncryption::None);

}  // namespace run
