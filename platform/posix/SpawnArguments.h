#pragma once

#include <string>
#include <vector>

namespace platform {

// The argument vector posix_spawn takes for `arguments`: pointers into the strings (which must outlive
// it), closed by a null pointer. posix_spawn does not write through them.
inline std::vector<char*> SpawnArguments(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

}  // namespace platform
