// Driving the app's window as a person does, for the GUI tests and for tools/quellshots: taps, drags and
// swipes with the mouse or a finger, finding widgets as a screen reader names them, and waiting for what
// a step needs (a screen at rest, the HUD showing) rather than for a fixed time, so that a busy machine
// only makes things slower.
#pragma once

#include <QAccessible>
#include <QPointingDevice>
#include <QTest>
#include <QWidget>
#include <functional>

#include "engine/rule_store.h"
#include "platform/ui/view_controller.h"
#include "tests/support/wait.h"

namespace quell::testing {

inline void tap(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// A mouse drag on widget from one of its points to another, in steps a few milliseconds apart.
inline void drag(QWidget* widget, QPoint from, QPoint to, int steps = 6) {
  QTest::mousePress(widget, Qt::LeftButton, {}, from);
  for (int step = 1; step <= steps; ++step) QTest::mouseMove(widget, from + (to - from) * step / steps, 8);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, to, 8);
}

// The touch screen the finger gestures use.
inline QPointingDevice* touchScreen() {
  static QPointingDevice* device = QTest::createTouchDevice();
  return device;
}

// A finger's drag on widget (in its coordinates), as the touch screen reports it, in steps a few
// milliseconds apart.
inline void touchDrag(QWidget* widget, QPoint from, QPoint to, int steps = 6) {
  QTest::touchEvent(widget, touchScreen()).press(0, from, widget);
  for (int step = 1; step <= steps; ++step) {
    QTest::qWait(8);
    QTest::touchEvent(widget, touchScreen()).move(0, from + (to - from) * step / steps, widget);
  }
  QTest::touchEvent(widget, touchScreen()).release(0, to, widget);
}

// The name a screen reader gives a widget: its accessible name, else what it shows (a button's text).
inline QString accessibleNameOf(QWidget* widget) {
  QAccessibleInterface* element = QAccessible::queryAccessibleInterface(widget);
  return element ? element->text(QAccessible::Name) : widget->accessibleName();
}

// The visible widget under root whose accessible name starts with `name`, as a screen reader finds it.
template <typename T = QWidget>
T* named(QWidget* root, const QString& name) {
  if (!root) return nullptr;
  for (auto* widget : root->findChildren<T*>())
    if (widget->isVisible() && accessibleNameOf(widget).startsWith(name)) return widget;
  return nullptr;
}

// The rules panel's tile of a list ("号码白名单 (4)", ...), and a row of the functions panel by its title.
inline QWidget* tile(QWidget* main, RuleListKind kind) {
  static const char* names[4] = {"号码白名单 (", "号码黑名单 (", "关键字白名单 (", "关键字黑名单 ("};
  return named(main, QString::fromUtf8(names[static_cast<int>(kind)]));
}
inline QWidget* functionRow(QWidget* main, const char* title) { return named(main, QString::fromUtf8(title)); }

// The screen presented over `screen` (the root of its container), if it is a T.
template <typename T>
T* presentedOver(QWidget* screen) {
  QWidget* presented = screenOf(screen)->presentedViewController();
  return presented ? qobject_cast<T*>(screenOf(presented)) : nullptr;
}

// The screen presented over `screen` once it is a T and has come to rest (nullptr when that does not
// happen within timeoutMs), so that the next tap reaches it as a person's would.
template <typename T>
T* settledOver(QWidget* screen, int timeoutMs = 10000) {
  T* shown = nullptr;
  waitFor(
      [&] {
        shown = presentedOver<T>(screen);
        QWidget* presented = screenOf(screen)->presentedViewController();
        return shown && shown->isSettled() && presented->pos() == QPoint(0, 0);
      },
      timeoutMs);
  return shown && shown->isSettled() ? shown : nullptr;
}

}  // namespace quell::testing
