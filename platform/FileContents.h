#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The whole content of a file; empty when it is missing, is a folder or cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Replaces the content of the file at `path` (creating it when missing) so that a failure at any point
// leaves the previous file as it was: the bytes go to a temporary file in the same folder, which is then
// renamed over the original. A file that is read-only or cannot be opened for writing is refused, as is
// a symbolic link's target being replaced by a plain file (the link's target is written instead).
// A file made by this call is its owner's alone (see NewFileAccess::OwnerOnly); a replaced one keeps
// the access it had. The temporary file is created exclusively, never through a link standing in its
// way. Returns false on any failure.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace platform
