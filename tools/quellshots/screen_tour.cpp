#include "tools/quellshots/screen_tour.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <cstdio>
#include <functional>
#include <memory>

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

namespace quell {

namespace {

constexpr int kPatienceMs = 30000;  // for any one condition, however busy the machine

const char* kEditorNames[4] = {"number-whitelist", "number-blacklist", "keyword-whitelist", "keyword-blacklist"};

void tap(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// The name a screen reader gives a widget: its accessible name, else what it shows (a button's text).
inline QString accessibleNameOf(QWidget* widget) {
  QAccessibleInterface* element = QAccessible::queryAccessibleInterface(widget);
  return element ? element->text(QAccessible::Name) : widget->accessibleName();
}

// The widget under root whose accessible name starts with `name`, as a screen reader finds it.
template <typename T = QWidget>
T* named(QWidget* root, const QString& name) {
  if (!root) return nullptr;
  for (auto* widget : root->findChildren<T*>())
    if (widget->isVisible() && accessibleNameOf(widget).startsWith(name)) return widget;
  return nullptr;
}

// The screen presented over `screen`, if it is a T and has come to rest.
template <typename T>
T* settledOver(QWidget* screen) {
  UIViewController* below = screenOf(screen);
  QWidget* presented = below ? below->presentedViewController() : nullptr;
  auto* shown = presented ? qobject_cast<T*>(screenOf(presented)) : nullptr;
  return shown && shown->isSettled() && presented->pos() == QPoint(0, 0) ? shown : nullptr;
}

class Tour {
 public:
  Tour(QString dir, QString appearance) : dir_(std::move(dir)), appearance_(std::move(appearance)) {}

  bool failed() const { return failed_; }

  // Runs the event loop until `condition` holds; false (and the tour failed, with a message) when it does
  // not within the patience.
  bool waitFor(const QString& what, const std::function<bool()>& condition) {
    if (failed_) return false;
    for (int waited = 0; !condition(); waited += 10) {
      if (waited >= kPatienceMs) {
        std::fprintf(stderr, "quellshots: gave up after %d s waiting for %s (%s appearance)\n", kPatienceMs / 1000,
                     qPrintable(what), qPrintable(appearance_));
        failed_ = true;
        return false;
      }
      QTest::qWait(10);
    }
    return true;
  }

  // Waits for the screen over `over` to be a T at rest, and returns it.
  template <typename T>
  T* awaitPresented(QWidget* over, const QString& what) {
    T* shown = nullptr;
    waitFor(what + " to be presented and at rest", [&] { return (shown = settledOver<T>(over)) != nullptr; });
    return shown;
  }
  void awaitNothingOver(QWidget* screen, const QString& what) {
    waitFor(what + " to be dismissed", [&] { return screenOf(screen)->presentedViewController() == nullptr; });
  }

  void shoot(QWidget* window, const QString& what) {
    if (failed_) return;
    QString path = QString("%1/%2-%3.png").arg(dir_, what, appearance_);
    if (!window->grab().save(path)) {
      std::fprintf(stderr, "quellshots: cannot write %s\n", qPrintable(path));
      failed_ = true;
    }
  }

 private:
  QString dir_, appearance_;
  bool failed_ = false;
};

// The tiles of the rules panel and the rows of the functions panel, found by their names.
QWidget* tile(ViewController* main, int kind) {
  static const char* titles[4] = {"号码白名单", "号码黑名单", "关键字白名单", "关键字黑名单"};
  return named(main, QString::fromUtf8(titles[kind]) + " (");
}
QWidget* row(ViewController* main, const char* title) { return named(main, QString::fromUtf8(title)); }

void tourEditors(Tour& tour, LaunchInterface& window, ViewController* main) {
  for (int kind = 0; kind < 4 && !tour.failed(); ++kind) {
    tap(tile(main, kind));
    auto* editor = tour.awaitPresented<QBAddController>(main, QString("the editor of ") + kEditorNames[kind]);
    if (!editor) return;
    tour.shoot(&window, QString("editor-") + kEditorNames[kind]);
    if (kind == 3) {
      // A row swiped far enough to reveal "删除".
      auto* table = editor->findChild<UITableView*>();
      UITableViewCell* first = table ? table->cellForRow(0) : nullptr;
      if (!tour.waitFor("the first row of the list", [&] { return first != nullptr; })) return;
      QTest::mousePress(first, Qt::LeftButton, {}, QPoint(300, 22));
      QTest::mouseMove(first, QPoint(150, 22));
      QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(150, 22));
      tour.waitFor("the revealed 删除 button", [&] { return first->isShowingDeleteButton(); });
      tour.shoot(&window, "editor-row-delete");
      first->setShowingDeleteButton(false);

      NavigationContainer* bar = editor->navigationContainer();
      tap(bar->rightBarButton());  // 添加
      auto* prompt = tour.awaitPresented<UIAlertController>(editor, "the add prompt");
      if (!prompt) return;
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
      tap(prompt->actionButtons()[1]);  // 添加 with nothing typed
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

void tourMessageTest(Tour& tour, LaunchInterface& window, ViewController* main) {
  QString longText;
  for (int line = 1; line <= 60; ++line) longText += QString("第%1行：恭喜您中奖，请点击链接领取\n").arg(line);
  const std::pair<const char*, QString> copied[] = {
      {"test-whitelist", "【快递】您的取件码是6218，请凭验证码到驿站取件，回复TD退订"},
      {"test-blacklist", "无抵押贷款，当天放款，回T退订"},
      {"test-model-spam", "【商城】会员专享，全场满减大促，新品首发低至五折，积分翻倍免费包邮，速来抢购"},
      {"test-model-ham", "好的，我明天下午三点到公司楼下等你"},
      {"test-markup", "<b>中奖</b>啦\n<br>请回复"},
      {"test-long", longText},
      {"test-copy-request", ""},
  };
  for (const auto& [name, text] : copied) {
    QGuiApplication::clipboard()->setText(text);
    tap(row(main, "反馈漏拦短信"));
    auto* alert = tour.awaitPresented<UIAlertController>(main, QString("the verdict alert of ") + name);
    if (!alert) return;
    tour.shoot(&window, name);
    tap(alert->actionButtons().back());  // 好
    tour.awaitNothingOver(main, QString("the verdict alert of ") + name);
  }
}

void tourHelp(Tour& tour, LaunchInterface& window, ViewController* main) {
  tap(row(main, "常见问题"));
  auto* faq = tour.awaitPresented<CommonProblemController>(main, "the common problems page");
  if (!faq) return;
  tour.shoot(&window, "faq");
  tap(faq->navigationContainer()->rightBarButton());  // 关闭
  tour.awaitNothingOver(main, "the common problems page");

  tap(row(main, "如何开启短信过滤"));
  auto* guide = tour.awaitPresented<QBGuidePageController>(main, "the guide");
  if (!guide) return;
  auto* strip = guide->findChild<UICollectionView*>();
  for (int card = 0; card < 3 && strip; ++card) {
    if (card > 0) {
      // A flick to the left, as a finger turns the card.
      QWidget* cell = strip->cellForItem(card - 1);
      QPoint from = cell->mapTo(strip, cell->rect().center());
      QTest::mousePress(strip, Qt::LeftButton, {}, from);
      for (int step = 1; step <= 6; ++step) {
        QTest::qWait(8);
        QTest::mouseMove(strip, from - QPoint(step * 25, 0));
      }
      QTest::mouseRelease(strip, Qt::LeftButton, {}, from - QPoint(150, 0));
    }
    tour.waitFor(QString("the guide to rest on card %1").arg(card + 1), [&] {
      return !strip->isAnimatingScroll() && strip->cellForItem(card)->geometry().intersects(strip->rect()) &&
             std::abs(strip->cellForItem(card)->geometry().center().x() - strip->width() / 2) < 40;
    });
    tour.shoot(&window, QString("guide-%1").arg(card + 1));
  }
  if (auto* close = named<QPushButton>(guide, "关闭")) tap(close);
  tour.awaitNothingOver(main, "the guide");
}

// The settings page on a phone-sized screen, reached from the guide's "前往设置", once both services
// have answered.
void tourSettings(Tour& tour, LaunchInterface& window, ViewController* main) {
  const QSize size = window.size();
  window.resize(360, 720);
  tap(row(main, "如何开启短信过滤"));
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

void tourAppearance(Tour& tour, UIUserInterfaceStyle style) {
  TraitCollection::setOverride(style);
  LaunchInterface window;
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  ViewController* main = window.mainScreen();
  if (!tour.waitFor("the main screen", [&] { return window.isVisible() && tile(main, 0); })) return;
  tour.shoot(&window, "main");
  // The end of the page.
  auto* page = main->findChild<UIScrollView*>();
  page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum());
  tour.shoot(&window, "main-bottom");
  page->verticalScrollBar()->setValue(0);

  tourEditors(tour, window, main);
  tourMessageTest(tour, window, main);
  tourHelp(tour, window, main);
  tourSettings(tour, window, main);

  // The two outcomes of a report.
  PKHUD& hud = PKHUD::sharedHUD();
  for (const auto& [name, text] :
       {std::pair{"hud-report-thanks", "感谢"}, std::pair{"hud-report-failed", "提交失败"}}) {
    showTextHUD(QString::fromUtf8(text));
    tour.waitFor(QString("the HUD saying ") + name, [&] { return hud.isShowing(); });
    tour.shoot(&window, name);
    tour.waitFor("the report HUD to hide", [&] { return !hud.isShowing(); });
  }
}

// A launch on one of the two system versions whose filtering is broken, which warns at once.
void tourVersionWarning(Tour& tour, UIUserInterfaceStyle style) {
  TraitCollection::setOverride(style);
  const QByteArray previous = qgetenv("QUELL_SYSTEM_VERSION");
  qputenv("QUELL_SYSTEM_VERSION", "12.3.1");
  {
    LaunchInterface window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
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
    Tour tour(dir, style == UIUserInterfaceStyle::Dark ? "dark" : "light");
    tourAppearance(tour, style);
    tourVersionWarning(tour, style);
    ok = ok && !tour.failed();
  }
  TraitCollection::setOverride(std::nullopt);
  return ok;
}

}  // namespace quell
