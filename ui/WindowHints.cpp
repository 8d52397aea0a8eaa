#include "ui/WindowHints.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifdef TORVI_UI_WITH_XCB
#include <xcb/xcb.h>
#endif

namespace ui {

#ifdef TORVI_UI_WITH_XCB
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

}  // namespace

void PinWithoutTaskbarButton(QWidget* window) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection() || window->property("pinnedWithoutTaskbarButton").toBool()) return;
  window->setProperty("pinnedWithoutTaskbarButton", true);
  xcb_connection_t* connection = x11->connection();
  const xcb_window_t id = static_cast<xcb_window_t>(window->winId());

  // Motif hints: functions = close only (no move, resize, minimise, maximise); decorations = border,
  // title and menu.
  const std::uint32_t motif[5] = {3, 0x20, 0x1a, 0, 0};
  const xcb_atom_t motifHints = Atom(connection, "_MOTIF_WM_HINTS");
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motifHints, motifHints, 32, 5, motif);

  const xcb_atom_t skipTaskbar = Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, Atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM,
                      32, 1, &skipTaskbar);
  xcb_flush(connection);
}
#else
void PinWithoutTaskbarButton(QWidget*) {}
#endif

}  // namespace ui
