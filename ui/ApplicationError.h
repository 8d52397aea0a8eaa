#pragma once

#include <exception>
#include <string>

namespace ui {

// The last-chance report of an error that no handler caught: "Exception <class> in module <module> at
// <address>." CR LF, the message with "." appended when its last character sorts after ".", CR LF.
std::string ApplicationErrorText(const std::exception& error, const std::string& module, const void* address);

// Shows that text in a box captioned "Application Error" with a stop icon, modal for the whole program.
void ShowApplicationError(const std::string& text);

}  // namespace ui
