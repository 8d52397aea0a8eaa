#pragma once

#include <string>

namespace platform {

// This machine's name as the network knows it (UTF-8); empty when the system does not tell.
std::string MachineName();

}  // namespace platform
