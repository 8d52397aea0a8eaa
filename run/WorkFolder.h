#pragma once

#include <string>

namespace run {

// Creates the working folder's parent and then the folder itself (`workFolder` ends with the separator);
// a folder that exists or cannot be made is passed over: what is written there later says so.
void CreateWorkFolder(const std::string& workFolder);

}  // namespace run
