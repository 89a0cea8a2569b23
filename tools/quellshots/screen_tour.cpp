#include "tools/quellshots/screen_tour.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "app/app_delegate.h"
#include "app/common_problem_controller.h"
#include "app/launch_interface.h"
#include "app/qb_add_controller.h"
#include "app/qb_guide_page_controller.h"
#include "app/qb_network_request.h"
#include "app/qb_settings_controller.h"
#include "app/view_controller.h"
#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/collection_view.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/table_view.h"
#include "platform/ui/trait_collection.h"
#include "tests/support/gui_driving.h"

namespace quell {

namespace {

using testing::named;
using testing::tap;

constexpr int kPatienceMs = 30000;  // for any one condition, however busy the machine
const QSize kTourSize(375, 812);
const QSize kFitSizes[] = {QSize(360, 720), QSize(720, 360)};

const char* kEditorNames[4] = {"number-whitelist", "number-blacklist", "keyword-whitelist", "keyword-blacklist"};

class Tour {
 public:
  Tour(QString dir, QString appearance) : dir_(std::move(dir)), appearance_(std::move(appearance)) {}

  bool failed() const { return failed_; }
  // Pictures from now on carry this after their name ("-360x720"), before the appearance.
  void setSuffix(const QString& suffix) { suffix_ = suffix; }

  // Runs the event loop until `condition` holds; false (and the tour failed, with a message) when it does
  // not within the patience.
  bool waitFor(const QString& what, const std::function<bool()>& condition) {
    if (failed_) return false;
    if (testing::waitFor(condition, kPatienceMs)) return true;
    std::fprintf(stderr, "quellshots: gave up after %d s waiting for %s (%s appearance)\n", kPatienceMs / 1000,
                 qPrintable(what), qPrintable(appearance_));
    failed_ = true;
    return false;
  }

  // Waits for the screen over `over` to be a T at rest, and returns it.
  template <typename T>
  T* awaitPresented(QWidget* over, const QString& what) {
    if (failed_) return nullptr;
    T* shown = testing::settledOver<T>(over, kPatienceMs);
    if (!shown) waitFor(what + " to be presented and at rest", [] { return false; });
    return shown;
  }
  void awaitNothingOver(QWidget* screen, const QString& what) {
    waitFor(what + " to be dismissed", [&] { return screenOf(screen)->presentedViewController() == nullptr; });
  }

  void shoot(QWidget* window, const QString& what) {
    if (failed_) return;
    QString path = QString("%1/%2%3-%4.png").arg(dir_, what, suffix_, appearance_);
    if (!window->grab().save(path)) {
      std::fprintf(stderr, "quellshots: cannot write %s\n", qPrintable(path));
      failed_ = true;
    }
  }

 private:
  QString dir_, appearance_, suffix_;
  bool failed_ = false;
};

// The app's settings on a store of their own for the life of the object, launched once as on a first
// start; the user's own lists are never touched.
class FreshStore {
 public:
  FreshStore() : previous_(qgetenv("XDG_DATA_HOME")) {
    if (!dir_.isValid()) return;
    qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
    AppDelegate().didFinishLaunching();
  }
  ~FreshStore() {
    if (previous_.isEmpty())
      qunsetenv("XDG_DATA_HOME");
    else
      qputenv("XDG_DATA_HOME", previous_);
  }
  bool isValid() const { return dir_.isValid(); }

 private:
  QByteArray previous_;
  QTemporaryDir dir_;
};

QWidget* tile(ViewController* main, int kind) { return testing::tile(main, static_cast<RuleListKind>(kind)); }

// A row swiped to the left far enough to reveal "删除".
void revealDelete(Tour& tour, UITableViewCell* row) {
  const int y = row->height() / 2;
  testing::drag(row, QPoint(row->width() - 40, y), QPoint(row->width() - 190, y));
  tour.waitFor("the revealed 删除 button", [&] { return row->isShowingDeleteButton(); });
}

void tourEditors(Tour& tour, LaunchInterface& window, ViewController* main) {
  for (int kind = 0; kind < 4 && !tour.failed(); ++kind) {
    tap(tile(main, kind));
    auto* editor = tour.awaitPresented<QBAddController>(main, QString("the editor of ") + kEditorNames[kind]);
    if (!editor) return;
    tour.shoot(&window, QString("editor-") + kEditorNames[kind]);
    if (kind == 3) {
      auto* table = editor->findChild<UITableView*>();
      UITableViewCell* first = table ? table->cellForRow(0) : nullptr;
      if (!tour.waitFor("the first row of the list", [&] { return first != nullptr; })) return;
      revealDelete(tour, first);
      tour.shoot(&window, "editor-row-delete");
      first->setShowingDeleteButton(false);

      NavigationContainer* bar = editor->navigationContainer();
      tap(bar->rightBarButton());  // 添加
      auto* prompt = tour.awaitPresented<UIAlertController>(editor, "the add prompt");
      if (!prompt) return;
      tour.shoot(&window, "add-alert-empty");
      prompt->textField()->insert("中奖");
      tour.shoot(&window, "add-alert");
      tap(prompt->actionButtons()[1]);  // 添加
      PKHUD& hud = PKHUD::sharedHUD();
      tour.waitFor("the success HUD", [&] { return hud.isShowing() && hud.content() == PKHUD::Content::kSuccess; });
      tour.shoot(&window, "hud-success");
      tour.waitFor("the success HUD to hide", [&] { return !hud.isShowing(); });
      tap(bar->rightBarButton());
      prompt = tour.awaitPresented<UIAlertController>(editor, "the add prompt, a second time");
      if (!prompt) return;
      prompt->textField()->insert("   ");
      tap(prompt->actionButtons()[1]);  // 添加 with only blanks typed
      tour.waitFor("the error HUD", [&] { return hud.isShowing() && hud.content() == PKHUD::Content::kError; });
      tour.shoot(&window, "hud-error");
      tour.waitFor("the error HUD to hide", [&] { return !hud.isShowing(); });
    }
    tap(editor->navigationContainer()->leftBarButton());  // 完成
    tour.awaitNothingOver(main, QString("the editor of ") + kEditorNames[kind]);
  }
  // An editor of an empty list.
  if (!RuleStore::writeList(RuleListKind::NumberBlacklist, {})) return;
  tap(tile(main, 1));
  auto* empty = tour.awaitPresented<QBAddController>(main, "the editor of the emptied number blacklist");
  if (!empty) return;
  tour.shoot(&window, "editor-empty");
  tap(empty->navigationContainer()->leftBarButton());
  tour.awaitNothingOver(main, "the editor of the empty list");
}

QString longMessage() {
  QString text;
  for (int line = 1; line <= 60; ++line) text += QString("第%1行：恭喜您中奖，请点击链接领取\n").arg(line);
  return text;
}

// Copies text, taps "反馈漏拦短信", and pictures the verdict.
void testCopied(Tour& tour, LaunchInterface& window, ViewController* main, const QString& name, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  tap(named(main, "反馈漏拦短信"));
  auto* alert = tour.awaitPresented<UIAlertController>(main, "the verdict alert of " + name);
  if (!alert) return;
  tour.shoot(&window, name);
  tap(alert->actionButtons().back());  // 好
  tour.awaitNothingOver(main, "the verdict alert of " + name);
}

void tourMessageTest(Tour& tour, LaunchInterface& window, ViewController* main) {
  const std::pair<const char*, QString> copied[] = {
      {"test-whitelist", "【快递】您的取件码是6218，请凭验证码到驿站取件，回复TD退订"},
      {"test-blacklist", "无抵押贷款，当天放款，回T退订"},
      {"test-model-spam", "【商城】会员专享，全场满减大促，新品首发低至五折，积分翻倍免费包邮，速来抢购"},
      {"test-model-ham", "好的，我明天下午三点到公司楼下等你"},
      {"test-markup", "<b>中奖</b>啦\n<br>请回复"},
      {"test-long", longMessage()},
      {"test-copy-request", ""},
  };
  for (const auto& [name, text] : copied) testCopied(tour, window, main, name, text);
}

void openFaq(Tour& tour, LaunchInterface& window, ViewController* main, bool toItsEnd) {
  tap(named(main, "常见问题"));
  auto* faq = tour.awaitPresented<CommonProblemController>(main, "the common problems page");
  if (!faq) return;
  tour.shoot(&window, "faq");
  if (toItsEnd) {
    QScrollBar* bar = faq->findChild<UITableView*>()->verticalScrollBar();
    bar->setValue(bar->maximum());
    tour.shoot(&window, "faq-bottom");
  }
  tap(faq->navigationContainer()->rightBarButton());  // 关闭
  tour.awaitNothingOver(main, "the common problems page");
}

// The guide, on each card (or on the first only).
void openGuide(Tour& tour, LaunchInterface& window, ViewController* main, int cards) {
  tap(named(main, "如何开启短信过滤"));
  auto* guide = tour.awaitPresented<QBGuidePageController>(main, "the guide");
  if (!guide) return;
  auto* strip = guide->findChild<UICollectionView*>();
  for (int card = 0; card < cards && strip; ++card) {
    if (card > 0) {
      // A flick to the left, as a finger turns the card.
      QWidget* cell = strip->cellForItem(card - 1);
      QPoint from = cell->mapTo(strip, cell->rect().center());
      testing::drag(strip, from, from - QPoint(150, 0));
    }
    tour.waitFor(QString("the guide to rest on card %1").arg(card + 1), [&] {
      return !strip->isAnimatingScroll() &&
             std::abs(strip->cellForItem(card)->geometry().center().x() - strip->width() / 2) < 40;
    });
    tour.shoot(&window, cards == 1 ? QString("guide") : QString("guide-%1").arg(card + 1));
  }
  if (auto* close = named<QPushButton>(guide, "关闭")) tap(close);
  tour.awaitNothingOver(main, "the guide");
}

// The settings page on a phone-sized screen, reached from the guide's "前往设置", once both services
// have answered.
void tourSettings(Tour& tour, LaunchInterface& window, ViewController* main) {
  const QSize size = window.size();
  window.resize(360, 720);
  tap(named(main, "如何开启短信过滤"));
  auto* guide = tour.awaitPresented<QBGuidePageController>(main, "the guide");
  if (!guide) return;
  tap(named<QPushButton>(guide, "前往设置"));
  auto* settings = tour.awaitPresented<QBSettingsController>(guide, "the settings page");
  if (!settings) return;
  tour.waitFor("the settings page's services to answer", [&] {
    for (auto* label : settings->findChildren<QLabel*>())
      if (label->text().contains("正在查询")) return false;
    return true;
  });
  tour.shoot(&window, "settings");
  tap(settings->navigationContainer()->rightBarButton());  // 关闭
  tour.awaitNothingOver(guide, "the settings page");
  if (auto* close = named<QPushButton>(guide, "关闭")) tap(close);
  tour.awaitNothingOver(main, "the guide");
  window.resize(size);
}

// A window of the given size, shown without a screen, at rest on its main page.
class TourWindow {
 public:
  TourWindow(Tour& tour, QSize size) {
    window_.setAttribute(Qt::WA_DontShowOnScreen);
    window_.resize(size);
    window_.show();
    tour.waitFor("the main screen", [&] { return window_.isVisible() && tile(main(), 0); });
  }
  LaunchInterface& window() { return window_; }
  ViewController* main() { return window_.mainScreen(); }

 private:
  LaunchInterface window_;
};

void shootMainPage(Tour& tour, TourWindow& shown) {
  tour.shoot(&shown.window(), "main");
  auto* page = shown.main()->findChild<UIScrollView*>();
  page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum());
  tour.shoot(&shown.window(), "main-bottom");
  page->verticalScrollBar()->setValue(0);
}

void tourWholeApp(Tour& tour) {
  TourWindow shown(tour, kTourSize);
  shootMainPage(tour, shown);
  tourEditors(tour, shown.window(), shown.main());
  tourMessageTest(tour, shown.window(), shown.main());
  openFaq(tour, shown.window(), shown.main(), false);
  openGuide(tour, shown.window(), shown.main(), 3);
  tourSettings(tour, shown.window(), shown.main());

  // The report: under way, and its two outcomes.
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kProgress, "正在提交");
  hud.show();
  tour.shoot(&shown.window(), "hud-report-sending");
  for (const auto& [name, text] :
       {std::pair{"hud-report-thanks", "感谢"}, std::pair{"hud-report-failed", "提交失败"}}) {
    showTextHUD(QString::fromUtf8(text));
    tour.waitFor(QString("the HUD saying ") + name, [&] { return hud.isShowing(); });
    tour.shoot(&shown.window(), name);
    tour.waitFor("the report HUD to hide", [&] { return !hud.isShowing(); });
  }
}

// The screens a phone shows, at one of its sizes: the main page and its end, an editor with a row's
// "删除" and the add prompt, the common problems to their end, the guide and a long verdict.
void tourFit(Tour& tour, QSize size) {
  tour.setSuffix(QString("-%1x%2").arg(size.width()).arg(size.height()));
  TourWindow shown(tour, size);
  shootMainPage(tour, shown);
  ViewController* main = shown.main();
  tap(tile(main, 3));
  if (auto* editor = tour.awaitPresented<QBAddController>(main, "the editor of the keyword blacklist")) {
    tour.shoot(&shown.window(), "editor");
    if (UITableViewCell* first = editor->findChild<UITableView*>()->cellForRow(0)) {
      revealDelete(tour, first);
      tour.shoot(&shown.window(), "editor-row-delete");
      first->setShowingDeleteButton(false);
    }
    tap(editor->navigationContainer()->rightBarButton());  // 添加
    if (auto* prompt = tour.awaitPresented<UIAlertController>(editor, "the add prompt")) {
      tour.shoot(&shown.window(), "add-alert");
      tap(prompt->actionButtons()[0]);  // 取消
      tour.awaitNothingOver(editor, "the add prompt");
    }
    tap(editor->navigationContainer()->leftBarButton());  // 完成
    tour.awaitNothingOver(main, "the editor of the keyword blacklist");
  }
  openFaq(tour, shown.window(), main, true);
  openGuide(tour, shown.window(), main, 1);
  testCopied(tour, shown.window(), main, "test-long", longMessage());
  tour.setSuffix(QString());
}

// A launch on one of the two system versions whose filtering is broken, which warns at once.
void tourVersionWarning(Tour& tour) {
  const QByteArray previous = qgetenv("QUELL_SYSTEM_VERSION");
  qputenv("QUELL_SYSTEM_VERSION", "12.3.1");
  {
    LaunchInterface window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.resize(kTourSize);
    window.show();
    if (tour.awaitPresented<UIAlertController>(window.mainScreen(), "the system version warning"))
      tour.shoot(&window, "version-warning");
  }
  if (previous.isEmpty())
    qunsetenv("QUELL_SYSTEM_VERSION");
  else
    qputenv("QUELL_SYSTEM_VERSION", previous);
}

}  // namespace

bool writeScreenTour(const QString& dir) {
  if (!QDir().mkpath(dir)) {
    std::fprintf(stderr, "quellshots: cannot create %s\n", qPrintable(dir));
    return false;
  }
  bool ok = true;
  for (auto style : {UIUserInterfaceStyle::Light, UIUserInterfaceStyle::Dark}) {
    FreshStore store;
    if (!store.isValid()) {
      std::fprintf(stderr, "quellshots: cannot make a temporary settings store\n");
      return false;
    }
    TraitCollection::setOverride(style);
    Tour tour(dir, style == UIUserInterfaceStyle::Dark ? "dark" : "light");
    tourWholeApp(tour);
    tourVersionWarning(tour);
    for (QSize size : kFitSizes) tourFit(tour, size);
    ok = ok && !tour.failed();
  }
  TraitCollection::setOverride(std::nullopt);
  return ok;
}

}  // namespace quell
