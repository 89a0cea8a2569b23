#include "platform/ui/focus_ring.h"

#include <QApplication>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>

#include "platform/ui/ui_color.h"

namespace quell {

namespace {

// The ring itself: a child of the focused widget, covering it and drawing only its outline, so that it
// moves and scrolls with the widget. A QFocusFrame, which assistive technology does not list as an element.
class Ring : public QFocusFrame {
 public:
  explicit Ring(QWidget* around) : QFocusFrame(around) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }

  void follow(QWidget* widget) {
    if (parentWidget() != widget) setParent(widget);
    setGeometry(widget->rect());
    raise();
    show();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(UIColor::systemBlueColor().resolved(), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 8, 8);
  }
};

class Tracker : public QObject {
 public:
  Tracker() : QObject(qApp) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { place(now); });
  }

  QWidget* ringed() const { return ring_ && ring_->isVisible() ? ring_->parentWidget() : nullptr; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
        // Typing into a field is not moving the focus about.
        if (!qobject_cast<QLineEdit*>(watched) || isNavigationKey(static_cast<QKeyEvent*>(event)->key())) {
          keyboard_ = true;
          place(QApplication::focusWidget());
        }
        break;
      case QEvent::MouseButtonPress:
      case QEvent::TouchBegin:
        keyboard_ = false;
        place(nullptr);
        break;
      case QEvent::Resize:
        if (ring_ && watched == ring_->parentWidget() && ring_->isVisible())
          ring_->setGeometry(ring_->parentWidget()->rect());
        break;
      default: break;
    }
    return false;
  }

 private:
  static bool isNavigationKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Up || key == Qt::Key_Down;
  }

  void place(QWidget* focused) {
    if (!keyboard_ || !focused || focused->isWindow()) {
      if (ring_) ring_->hide();
      return;
    }
    if (!ring_) ring_ = new Ring(focused);
    ring_->follow(focused);
  }

  QPointer<Ring> ring_;  // dies with the widget it is around; made anew when needed
  bool keyboard_ = false;
};

Tracker* tracker = nullptr;

}  // namespace

void FocusRing::install() {
  if (!tracker) tracker = new Tracker;
}

QWidget* FocusRing::ringedWidget() { return tracker ? tracker->ringed() : nullptr; }

}  // namespace quell
