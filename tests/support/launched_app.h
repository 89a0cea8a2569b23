// The app as a person finds it: launched once on a private settings store, its window shown.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "app/app_delegate.h"
#include "app/launch_interface.h"
#include "app/view_controller.h"
#include "engine/rule_store.h"
#include "platform/ui/view_controller.h"
#include "tests/support/gui_driving.h"
#include "tests/support/test_environment.h"

namespace quell::testing {

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
