#pragma once

#include <string>

class QWidget;

namespace ui {

// Message boxes captioned with the application title. Each is modal for its owner only, so the tray
// icon keeps answering while one is open.

// A plain notice with one OK button.
void ShowNotice(QWidget* owner, const std::string& text);
// OK (true) or Cancel (false); no icon.
bool AskOkCancel(QWidget* owner, const std::string& caption, const std::string& text);
// A question with Yes and No buttons; true for Yes.
bool AskYesNo(QWidget* owner, const std::string& caption, const std::string& text);
// The error box for an error that escaped a handler or a start-up step: stop icon, OK, and the message
// with "." appended when its last character sorts after ".".
void ShowErrorBox(QWidget* owner, const std::string& message);
// The same box for a text that already had that rule applied.
void ShowErrorBoxText(QWidget* owner, const std::string& text);

}  // namespace ui
