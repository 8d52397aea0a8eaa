#pragma once

#include <string>
#include <vector>

namespace ui {

// Whether windows can be shown: always on Windows; elsewhere a platform chosen explicitly, a Wayland
// display, or an X display that accepts a connection.
bool DisplayAvailable();

// A start with no display: in automatic mode the run is performed headless exactly as torvi-backup
// does it; in settings mode the program says it needs a display. Returns the exit status.
int StartWithoutDisplay(const std::vector<std::string>& arguments);

}  // namespace ui
