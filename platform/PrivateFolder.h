#pragma once

#include <string>

namespace platform {

// The folder of the user running the program from which it runs the programs it carries inside itself
// (never from a folder other users can write into): on POSIX "$XDG_DATA_HOME/torvi/", by default
// "~/.local/share/torvi/"; on Windows "torvi\" in the user's local application data. Ends with the
// separator.
std::string UserPrivateFolder();

// Creates `folder` with its missing parents so that only this user (and the administrators) can write
// into it, or checks that an existing one is so: on POSIX a real folder of this user, mode 0700 (a
// looser mode of our own folder is tightened), below folders only the superuser or this user can
// change; on Windows a real folder (no link or junction) with the access list of the user's profile.
// Throws platform::Exception naming the folder when it cannot be made private.
void MakePrivateFolder(const std::string& folder);

}  // namespace platform
