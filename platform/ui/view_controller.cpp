#include "platform/ui/view_controller.h"

#include <QEvent>
#include <QPropertyAnimation>
#include <QResizeEvent>

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
  viewWillAppear();
}

void UIViewController::presentViewController(QWidget* screen, bool animated, std::function<void()> completion) {
  if (presented_ || transitioning_) {
    // Busy: a second tap, or a request while this screen comes or goes. The screen is not shown.
    screen->deleteLater();
    return;
  }
  QWidget* host = window();
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
  QPointer<UIViewController> self = this;
  slide(screen, QPoint(0, host->height()), QPoint(0, 0), animated,
        [self, presentedScreen, completion = std::move(completion)] {
          if (self) self->transitioning_ = false;
          if (presentedScreen) presentedScreen->transitioning_ = false;
          if (completion) completion();
        });
}

void UIViewController::dismissViewController(bool animated, std::function<void()> completion) {
  QWidget* shown = navigationContainer() ? static_cast<QWidget*>(navigationContainer()) : this;
  QPointer<UIViewController> presenter = presenter_;
  // Not presented, already going, or still coming in: nothing to do now.
  if (!presenter || transitioning_) return;
  presenter_ = nullptr;
  transitioning_ = true;
  if (presentationStyle_ == PresentationStyle::kInPlace) animated = false;
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
            presenter->viewWillAppear();
          }
          if (completion) completion();
        });
}

UIViewController* screenOf(QWidget* widget) {
  if (auto* container = qobject_cast<NavigationContainer*>(widget)) return container->rootViewController();
  return qobject_cast<UIViewController*>(widget);
}

void notifyWillAppear(QWidget* widget) {
  if (UIViewController* screen = screenOf(widget)) {
    screen->loadViewIfNeeded();
    screen->viewWillAppear();
  }
}

}  // namespace quell
