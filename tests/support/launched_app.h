// The app as a person finds it: launched once on a private settings store, its window shown; and the
// gestures the GUI tests use on it.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <memory>

#include "app/app_delegate.h"
#include "app/launch_interface.h"
#include "app/view_controller.h"
#include "engine/rule_store.h"
#include "platform/ui/view_controller.h"
#include "tests/support/qt_wait.h"
#include "tests/support/test_environment.h"

namespace quell::testing {

inline void tap(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// The screen presented over `screen` (the root of its container), if it is a T.
template <typename T>
T* presentedOver(QWidget* screen) {
  QWidget* presented = screenOf(screen)->presentedViewController();
  return presented ? qobject_cast<T*>(screenOf(presented)) : nullptr;
}

// The screen presented over `screen` once it is a T and has come to rest (nullptr after 10 s), so that the
// next tap reaches it as a person's would.
template <typename T>
T* settledOver(QWidget* screen) {
  T* shown = nullptr;
  waitFor([&] {
    shown = presentedOver<T>(screen);
    QWidget* presented = screenOf(screen)->presentedViewController();
    return shown && shown->isSettled() && presented->pos() == QPoint(0, 0);
  });
  return shown && shown->isSettled() ? shown : nullptr;
}

// The name a screen reader gives a widget: its accessible name, else what it shows (a button's text).
inline QString accessibleNameOf(QWidget* widget) {
  QAccessibleInterface* element = QAccessible::queryAccessibleInterface(widget);
  return element ? element->text(QAccessible::Name) : widget->accessibleName();
}

// The visible widget under root whose accessible name starts with `name`, as a screen reader finds it.
template <typename T = QWidget>
T* named(QWidget* root, const QString& name) {
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

class LaunchedApp : public ::testing::Test {
 protected:
  void SetUp() override {
    AppDelegate().didFinishLaunching();
    window_ = std::make_unique<LaunchInterface>();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  ViewController* main() { return window_->mainScreen(); }

  ScopedDataHome home_;
  std::unique_ptr<LaunchInterface> window_;
};

}  // namespace quell::testing
