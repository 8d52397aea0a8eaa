#pragma once

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QWidget>

namespace ui {

// Gives `widget` the object name the program and its tests find it by.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A named push button that Enter does not press on its own (Enter moves the focus instead).
inline QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* button = Named(new QPushButton(QString::fromUtf8(caption), parent), name);
  button->setAutoDefault(false);
  return button;
}

// Places a sized window in the middle of the primary screen.
inline void CenterOnScreen(QWidget* window) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window->move(screen->availableGeometry().center() - window->rect().center());
  }
}

}  // namespace ui
