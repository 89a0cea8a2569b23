#include "platform/ui/view_controller.h"

#include <QApplication>
#include <QEvent>
#include <QPropertyAnimation>
#include <QResizeEvent>
#include <QShortcut>

#include "platform/ui/navigation_container.h"

namespace quell {

namespace {

// Keeps a presented screen covering its window as the window is resized.
class CoverWindow : public QObject {
 public:
  CoverWindow(QWidget* screen, QWidget* window) : QObject(screen), screen_(screen) { window->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) screen_->setGeometry(static_cast<QWidget*>(watched)->rect());
    return false;
  }

 private:
  QWidget* screen_;
};

void slide(QWidget* widget, QPoint from, QPoint to, bool animated, std::function<void()> done) {
  if (!animated) {
    widget->move(to);
    if (done) done();
    return;
  }
  widget->move(from);
  auto* animation = new QPropertyAnimation(widget, "pos", widget);
  animation->setDuration(UIViewController::kAnimationMs);
  animation->setStartValue(from);
  animation->setEndValue(to);
  animation->setEasingCurve(QEasingCurve::OutCubic);
  QObject::connect(animation, &QPropertyAnimation::finished, widget, [done] {
    if (done) done();
  });
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace

UIViewController::UIViewController(QWidget* parent) : QWidget(parent) {}

UIViewController::~UIViewController() {
  // What this screen presents goes with it: no prompt is left to act for a screen that is gone.
  if (presented_) {
    presented_->hide();
    presented_->deleteLater();
  }
}

QWidget* UIViewController::shownWidget() {
  if (NavigationContainer* container = navigationContainer()) return container;
  return this;
}

void UIViewController::setEscapeButton(QAbstractButton* button) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), shownWidget());
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  QPointer<QAbstractButton> target = button;
  connect(escape, &QShortcut::activated, this, [target] {
    if (target && target->isVisible() && target->isEnabled()) target->click();
  });
}

void UIViewController::setTitle(const QString& title) {
  title_ = title;
  emit titleChanged(title);
}

NavigationContainer* UIViewController::navigationContainer() const {
  auto* container = qobject_cast<NavigationContainer*>(parentWidget());
  return container && container->rootViewController() == this ? container : nullptr;
}

void UIViewController::loadViewIfNeeded() {
  if (loaded_) return;
  loaded_ = true;
  viewDidLoad();
}

void UIViewController::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // the window came back; nothing appeared anew
  loadViewIfNeeded();
  // Shown again while what covered it slides away: it appears when that is gone (see uncover).
  if (reshownBehind_) return;
  viewWillAppear();
}

void UIViewController::presentViewController(QWidget* screen, bool animated, std::function<void()> completion) {
  if (presented_ || transitioning_) {
    // Busy: a second tap, or a request while this screen comes or goes. The screen is not shown.
    screen->deleteLater();
    return;
  }
  QWidget* host = window();
  QWidget* covered = shownWidget();
  QWidget* focused = QApplication::focusWidget();
  focusBeforePresenting_ = focused && covered->isAncestorOf(focused) ? focused : nullptr;
  screen->setParent(host);
  screen->setGeometry(host->rect());
  new CoverWindow(screen, host);
  presented_ = screen;
  QPointer<UIViewController> presentedScreen = screenOf(screen);
  if (presentedScreen) {
    presentedScreen->presenter_ = this;
    presentedScreen->transitioning_ = true;
    if (presentedScreen->presentationStyle() == PresentationStyle::kInPlace) animated = false;
  }
  transitioning_ = true;
  screen->raise();
  screen->show();
  // The screen may have placed the focus itself when it was built (an alert's text field).
  QWidget* placed = QApplication::focusWidget();
  if (placed != screen && !screen->isAncestorOf(placed)) focusFirstControl(screen);
  covered->setEnabled(false);  // from now on no key, tap or focus reaches the screens below
  const bool coversWholly = !presentedScreen || presentedScreen->presentationStyle() == PresentationStyle::kSlideUp;
  QPointer<UIViewController> self = this;
  QPointer<QWidget> shown = screen, below = covered;
  slide(screen, QPoint(0, host->height()), QPoint(0, 0), animated,
        [self, presentedScreen, shown, below, coversWholly, completion = std::move(completion)] {
          if (self) self->transitioning_ = false;
          if (presentedScreen) presentedScreen->transitioning_ = false;
          // Wholly covered, the screen below is hidden, so that a screen reader does not find it either.
          if (coversWholly && self && shown && self->presented_ == shown && below) below->hide();
          if (completion) completion();
        });
}

void UIViewController::uncover() {
  QWidget* shown = shownWidget();
  shown->setEnabled(true);
  shown->show();
  QWidget* focus = focusBeforePresenting_;
  if (focus && focus->isVisible() && focus->isEnabled())
    focus->setFocus(Qt::OtherFocusReason);
  else
    focusFirstControl(shown);
  viewWillAppear();
}

void UIViewController::dismissViewController(bool animated, std::function<void()> completion) {
  QWidget* shown = navigationContainer() ? static_cast<QWidget*>(navigationContainer()) : this;
  QPointer<UIViewController> presenter = presenter_;
  // Not presented, already going, or still coming in: nothing to do now.
  if (!presenter || transitioning_) return;
  presenter_ = nullptr;
  transitioning_ = true;
  if (presented_) presented_->hide();  // a prompt over this screen goes with it
  if (presentationStyle_ == PresentationStyle::kInPlace) animated = false;
  presenter->reshownBehind_ = true;  // in view again behind this screen as it slides away
  presenter->shownWidget()->show();
  presenter->reshownBehind_ = false;
  QPointer<QWidget> target = shown;
  slide(shown, shown->pos(), QPoint(0, shown->parentWidget() ? shown->parentWidget()->height() : shown->height()),
        animated, [presenter, target, completion] {
          if (target) {
            target->hide();
            target->deleteLater();
          }
          // The presenter's record is cleared only if it still names this screen.
          if (presenter && presenter->presented_ == target) {
            presenter->presented_ = nullptr;
            presenter->uncover();
          }
          if (completion) completion();
        });
}

UIViewController* screenOf(QWidget* widget) {
  if (auto* container = qobject_cast<NavigationContainer*>(widget)) return container->rootViewController();
  return qobject_cast<UIViewController*>(widget);
}

void focusFirstControl(QWidget* root) {
  for (QWidget* w = root->nextInFocusChain(); w && w != root; w = w->nextInFocusChain()) {
    if (!root->isAncestorOf(w)) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(root)) {
      w->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

void notifyWillAppear(QWidget* widget) {
  if (UIViewController* screen = screenOf(widget)) {
    screen->loadViewIfNeeded();
    screen->viewWillAppear();
  }
}

}  // namespace quell
