#include "ui/EnterAsTab.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace ui {
namespace {

constexpr char kEnterAsTab[] = "enterAsTab";

// One filter on the application sees each key before the control with the focus does.
class EnterAsTabFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    auto* widget = qobject_cast<QWidget*>(target);
    // The event travels up through the parents; act once, for the control that has the focus.
    if (!widget || widget != QApplication::focusWidget()) return false;
    // An open drop-down list is a window of its own and takes Enter as its choice.
    if (!widget->window()->property(kEnterAsTab).toBool()) return false;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(widget->window(), &tab);
    return true;
  }
};

}  // namespace

void EnterActsAsTab(QWidget* window) {
  constexpr char kFilterName[] = "enterAsTabFilter";
  if (!qApp->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly)) {
    auto* filter = new EnterAsTabFilter(qApp);
    filter->setObjectName(kFilterName);
    qApp->installEventFilter(filter);
  }
  window->setProperty(kEnterAsTab, true);
}

}  // namespace ui
