#include "app/screenshots.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "app/common_problem_controller.h"
#include "app/launch_interface.h"
#include "app/qb_add_controller.h"
#include "app/qb_guide_page_controller.h"
#include "app/qb_network_request.h"
#include "app/view_controller.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/trait_collection.h"

namespace quell {

namespace {

const char* kEditorNames[4] = {"number-whitelist", "number-blacklist", "keyword-whitelist", "keyword-blacklist"};
constexpr int kSettleMs = UIViewController::kAnimationMs + 150;

class Shooter {
 public:
  Shooter(LaunchInterface& window, QString dir, QString appearance)
      : window_(window), dir_(std::move(dir)), appearance_(std::move(appearance)) {}

  // After the screen has settled.
  void shoot(const QString& what) {
    QTest::qWait(kSettleMs);
    shootNow(what);
  }
  // At once, for what shows only briefly.
  void shootNow(const QString& what) {
    QString path = QString("%1/%2-%3.png").arg(dir_, what, appearance_);
    if (!window_.grab().save(path)) {
      std::fprintf(stderr, "quellbox: cannot write %s\n", qPrintable(path));
      ok_ = false;
    }
  }
  bool ok() const { return ok_; }

 private:
  LaunchInterface& window_;
  QString dir_, appearance_;
  bool ok_ = true;
};

template <typename T>
T* presented(QWidget* over) {
  auto* screen = screenOf(over);
  return screen ? qobject_cast<T*>(screenOf(screen->presentedViewController())) : nullptr;
}

void tap(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

}  // namespace

bool writeScreenshots(const QString& dir) {
  if (!QDir().mkpath(dir)) return false;
  bool ok = true;
  for (auto style : {UIUserInterfaceStyle::Light, UIUserInterfaceStyle::Dark}) {
    TraitCollection::setOverride(style);
    LaunchInterface window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    Shooter shooter(window, dir, style == UIUserInterfaceStyle::Dark ? "dark" : "light");
    shooter.shoot("main");
    ViewController* main = window.mainScreen();
    for (int tile = 0; tile < 4; ++tile) {
      tap(main->rulesView->collectionView->cellForItem(tile));
      QTest::qWait(kSettleMs);
      auto* editor = presented<QBAddController>(main);
      if (!editor) return false;
      shooter.shoot(QString("editor-") + kEditorNames[tile]);
      if (tile == 3) {
        editor->rightBarButtonItemAction();
        auto* alert = presented<UIAlertController>(editor);
        alert->textField()->insert("中奖");
        shooter.shoot("add-alert");
        tap(alert->actionButtons()[1]);  // 添加
        QTest::qWait(50);
        shooter.shootNow("hud-success");
        QTest::qWait(600);
        editor->rightBarButtonItemAction();
        tap(presented<UIAlertController>(editor)->actionButtons()[1]);  // 添加 with nothing typed
        QTest::qWait(50);
        shooter.shootNow("hud-error");
        QTest::qWait(600);
      }
      tap(editor->navigationContainer()->leftBarButton());  // 完成
      QTest::qWait(kSettleMs);
    }
    // The message test: copy a text, tap "反馈漏拦短信".
    const std::pair<const char*, const char*> copied[] = {
        {"test-whitelist", "【快递】您的取件码是6218，请凭验证码到驿站取件，回复TD退订"},
        {"test-blacklist", "无抵押贷款，当天放款，回T退订"},
        {"test-model-spam", "【商城】会员专享，全场满减大促，新品首发低至五折，积分翻倍免费包邮，速来抢购"},
        {"test-model-ham", "好的，我明天下午三点到公司楼下等你"},
        {"test-copy-request", ""},
    };
    for (const auto& [name, text] : copied) {
      QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
      tap(main->functionView->collectionView->cellForItem(2));
      shooter.shoot(name);
      auto* alert = presented<UIAlertController>(main);
      if (!alert) return false;
      tap(alert->actionButtons().back());  // 好
    }
    // The help pages.
    tap(main->functionView->collectionView->cellForItem(0));
    shooter.shoot("faq");
    auto* faq = presented<CommonProblemController>(main);
    if (!faq) return false;
    faq->closeDismiss();
    QTest::qWait(kSettleMs);
    tap(main->functionView->collectionView->cellForItem(1));
    QTest::qWait(kSettleMs);
    auto* guide = presented<QBGuidePageController>(main);
    if (!guide) return false;
    for (int card = 0; card < 3; ++card) {
      guide->currentPage = card;
      guide->collectionView->setContentOffset(QPointF(card * (guide->itemWidth + guide->itemSpacing), 0), false);
      shooter.shoot(QString("guide-%1").arg(card + 1));
    }
    guide->dismissAction();
    QTest::qWait(kSettleMs);
    // The two outcomes of a report.
    showTextHUD("感谢");
    shooter.shootNow("hud-report-thanks");
    showTextHUD("提交失败");
    shooter.shootNow("hud-report-failed");
    QTest::qWait(1000);
    ok &= shooter.ok();
  }
  TraitCollection::setOverride(std::nullopt);
  return ok;
}

}  // namespace quell
