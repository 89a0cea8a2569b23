// The entry of the UI and app tests: a real QApplication on the offscreen platform, with the kit's hooks
// installed as the app installs them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include "uikit/neumorphic_hooks.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QUELL_LOG", "stderr");
  QApplication app(argc, argv);
  QApplication::setFont(QFont("Noto Sans CJK SC", 15));
  quell::installNeumorphicHooks(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
