#pragma once

class QWidget;

namespace ui {

// Asks the window manager to give the window no taskbar button and to offer no way to move it. Both
// are requests: a window manager may ignore them, and without X11 nothing happens. Call before show().
void PinWithoutTaskbarButton(QWidget* window);

}  // namespace ui
