// The two tools that take pictures of the app: quellshots (the app's screens) and quellgallery (the UI
// kit's styles), run as a person runs them, their pictures read back.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>

#include "engine/rule_store.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

// How far down the picture something other than the page's own colour reaches, looking up from the
// bottom along the column x: the end of an editor's rows.
int contentEnd(const QImage& picture, int x) {
  const QRgb page = picture.pixel(x, picture.height() - 1);
  for (int y = picture.height() - 1; y >= 0; --y)
    if (picture.pixel(x, y) != page) return y;
  return -1;
}

// Each appearance is toured on a fresh store of its own, so the light and the dark pictures show the same
// lists; the user's own lists are not touched; the phone sizes are pictured too.
TEST(Quellshots, EachAppearanceStartsFromTheSameFreshListsAndTheUsersStay) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"mine"}));
  testing::TemporaryDirectory out;
  auto run = testing::runProcess(QUELLSHOTS_PATH, {out.path().string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), std::vector<std::string>{"mine"});
  for (const char* name : {"editor-keyword-blacklist", "editor-keyword-whitelist", "editor-empty"}) {
    QImage light(QString::fromStdString((out.path() / (std::string(name) + "-light.png")).string()));
    QImage dark(QString::fromStdString((out.path() / (std::string(name) + "-dark.png")).string()));
    ASSERT_FALSE(light.isNull() || dark.isNull()) << name;
    EXPECT_EQ(contentEnd(light, 5), contentEnd(dark, 5)) << name << ": the two show lists of different lengths";
  }
  for (const char* size : {"360x720", "720x360"})
    for (const char* screen :
         {"main", "main-bottom", "editor", "editor-row-delete", "add-alert", "faq", "faq-bottom", "guide", "test-long"})
      for (const char* appearance : {"light", "dark"}) {
        const auto picture = out.path() / (std::string(screen) + "-" + size + "-" + appearance + ".png");
        QImage shot(QString::fromStdString(picture.string()));
        EXPECT_FALSE(shot.isNull()) << picture;
        EXPECT_EQ(shot.size(), size == std::string("360x720") ? QSize(360, 720) : QSize(720, 360)) << picture;
      }
}

// In dark, the gallery's raised views stand out from the page: not black on black.
TEST(Quellgallery, RaisedViewsStandOutInDark) {
  testing::TemporaryDirectory out;
  auto run = testing::runProcess(QUELLGALLERY_PATH, {"--screenshot", out.path().string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  QImage dark(QString::fromStdString((out.path() / "gallery-dark.png").string()));
  ASSERT_FALSE(dark.isNull());
  const QPoint inTheFirstView(99, 111), onThePage(5, 5);
  EXPECT_GT(QColor(dark.pixel(inTheFirstView)).lightness(), QColor(dark.pixel(onThePage)).lightness() + 15);
}

}  // namespace
}  // namespace quell
