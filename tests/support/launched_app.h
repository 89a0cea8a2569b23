// The app as a person finds it: launched once on a private settings store, its window shown; and the
// gestures the GUI tests use on it.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "app/app_delegate.h"
#include "app/launch_interface.h"
#include "app/view_controller.h"
#include "platform/ui/view_controller.h"
#include "tests/support/test_environment.h"

namespace quell::testing {

inline void tap(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// The screen presented over `screen` (the root of its container), if it is a T.
template <typename T>
T* presentedOver(QWidget* screen) {
  QWidget* presented = screenOf(screen)->presentedViewController();
  return presented ? qobject_cast<T*>(screenOf(presented)) : nullptr;
}

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
