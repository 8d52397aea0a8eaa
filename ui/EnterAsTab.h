#pragma once

class QWidget;

namespace ui {

// Makes Enter, typed in any control of `window`, move the focus to the next control in tab order exactly
// as Tab does; the Enter itself reaches no control.
void EnterActsAsTab(QWidget* window);

}  // namespace ui
