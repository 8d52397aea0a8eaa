#pragma once

#include <optional>
#include <string>

namespace platform {

// Whether a person sits at the other end: the stream is a terminal (a console on Windows), not a file
// or a pipe.
bool StandardInputIsTerminal();
bool StandardOutputIsTerminal();

// One line typed on standard input, without its line end; empty at the end of the input. With `hidden`
// and a terminal, what is typed is not echoed (for passwords).
std::optional<std::string> ReadStandardInputLine(bool hidden);

}  // namespace platform
