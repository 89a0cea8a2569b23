#include "platform/ui/kinetic_scrolling.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QScroller>
#include <QTimer>
#include <cmath>
#include <optional>

#include "platform/ui/trait_collection.h"

namespace quell {

namespace {

constexpr const char* kScrollsByDrag = "quell-scrolls-by-drag";  // set on the viewport of such an area
constexpr double kSlopPx = 8;                                    // how far a press moves before it is a drag, not a tap
constexpr int kIndicatorLingerMs = 800;  // the indicator stays this long after the last movement

// The nearest scroll area that scrolls by drag and whose viewport holds `widget`.
QAbstractScrollArea* dragScrolledAreaOf(QWidget* widget) {
  for (QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget())
    if (w->property(kScrollsByDrag).toBool()) return qobject_cast<QAbstractScrollArea*>(w->parentWidget());
  return nullptr;
}

// Watches every mouse press, drag and release of the application and turns the vertical drags that start
// in a drag-scrolled area into input for that area's QScroller.
class DragToScroll : public QObject {
 public:
  static void installOnce() {
    static DragToScroll* filter = [] {
      auto* f = new DragToScroll(qApp);
      qApp->installEventFilter(f);
      return f;
    }();
    (void)filter;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
      return false;
    if (cancelling_ || !watched->isWidgetType()) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress) return press(static_cast<QWidget*>(watched), mouse);
    if (type == QEvent::MouseMove) return move(mouse);
    return release(mouse);
  }

 private:
  using QObject::QObject;

  enum class Phase { kUndecided, kScrolling, kNotOurs, kStopping };
  struct Drag {
    QPointer<QAbstractScrollArea> area;
    QPointer<QWidget> pressed;
    QPointF start;
    quint64 startTime;
    Phase phase;
  };

  bool press(QWidget* widget, QMouseEvent* mouse) {
    if (mouse->button() != Qt::LeftButton) return false;
    // The same press, handed on to a parent of the widget that did not take it (a new press always
    // reaches the widget under the pointer first).
    if (drag_ && drag_->start == mouse->globalPosition() && drag_->pressed && widget->isAncestorOf(drag_->pressed))
      return drag_->phase == Phase::kStopping;
    drag_.reset();
    QAbstractScrollArea* area = dragScrolledAreaOf(widget);
    if (!area) return false;
    QScroller* scroller = QScroller::scroller(area->viewport());
    const bool gliding = scroller->state() == QScroller::Scrolling;
    drag_ =
        Drag{area, widget, mouse->globalPosition(), mouse->timestamp(), gliding ? Phase::kStopping : Phase::kUndecided};
    if (gliding) scroller->stop();  // a press that stops a glide is not a tap
    return gliding;
  }

  bool move(QMouseEvent* mouse) {
    if (!drag_ || !(mouse->buttons() & Qt::LeftButton)) return false;
    if (!drag_->area) {
      drag_.reset();
      return false;
    }
    switch (drag_->phase) {
      case Phase::kStopping: return true;
      case Phase::kNotOurs: return false;
      case Phase::kScrolling: feed(QScroller::InputMove, mouse->globalPosition(), mouse->timestamp()); return true;
      case Phase::kUndecided: break;
    }
    const QPointF delta = mouse->globalPosition() - drag_->start;
    if (std::abs(delta.x()) + std::abs(delta.y()) < kSlopPx) return false;
    if (std::abs(delta.y()) <= std::abs(delta.x()) || drag_->area->verticalScrollBar()->maximum() <= 0) {
      drag_->phase = Phase::kNotOurs;  // sideways: the widget's own gesture
      return false;
    }
    drag_->phase = Phase::kScrolling;
    cancelPress();
    feed(QScroller::InputPress, drag_->start, drag_->startTime);
    feed(QScroller::InputMove, mouse->globalPosition(), mouse->timestamp());
    return true;
  }

  bool release(QMouseEvent* mouse) {
    if (!drag_ || mouse->button() != Qt::LeftButton) return false;
    const Drag drag = *drag_;
    drag_.reset();
    if (drag.phase == Phase::kScrolling && drag.area) {
      drag_ = drag;
      feed(QScroller::InputRelease, mouse->globalPosition(), mouse->timestamp());  // it glides on from here
      drag_.reset();
    }
    return drag.phase == Phase::kScrolling || drag.phase == Phase::kStopping;
  }

  // As Qt's own scroller does: a release far outside the pressed widget tells it that its press came to
  // nothing (no click, no tap, no swipe).
  void cancelPress() {
    if (!drag_->pressed) return;
    const QPointF away(-QWIDGETSIZE_MAX, -QWIDGETSIZE_MAX);
    QMouseEvent release(QEvent::MouseButtonRelease, away, away, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    cancelling_ = true;
    QCoreApplication::sendEvent(drag_->pressed, &release);
    cancelling_ = false;
  }

  // Positions go to the scroller in the area's own coordinates, which stay put while the viewport moves
  // for the bounce at an end.
  void feed(QScroller::Input input, QPointF global, quint64 time) {
    QAbstractScrollArea* area = drag_->area;
    QScroller::scroller(area->viewport())->handleInput(input, area->mapFromGlobal(global), static_cast<qint64>(time));
  }

  std::optional<Drag> drag_;
  bool cancelling_ = false;
};

// The thin bar that shows where in the page the view is, while it scrolls.
class ScrollIndicator : public QWidget {
 public:
  explicit ScrollIndicator(QAbstractScrollArea* area) : QWidget(area), area_(area) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    linger_.setSingleShot(true);
    linger_.setInterval(kIndicatorLingerMs);
    connect(&linger_, &QTimer::timeout, this, [this] {
      if (gliding())
        linger_.start();
      else
        hide();
    });
    connect(area->verticalScrollBar(), &QScrollBar::valueChanged, this, &ScrollIndicator::flash);
    connect(area->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
      if (isVisible()) place();
    });
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = TraitCollection::current().userInterfaceStyle == UIUserInterfaceStyle::Dark;
    painter.setPen(Qt::NoPen);
    painter.setBrush(dark ? QColor(255, 255, 255, 140) : QColor(0, 0, 0, 110));
    painter.drawRoundedRect(QRectF(rect()), width() / 2.0, width() / 2.0);
  }

 private:
  static constexpr int kThickness = 3, kMargin = 3, kShortest = 24;

  bool gliding() const {
    QWidget* viewport = area_->viewport();
    return QScroller::hasScroller(viewport) && QScroller::scroller(viewport)->state() != QScroller::Inactive;
  }

  void flash() {
    if (area_->verticalScrollBar()->maximum() <= 0) return;
    place();
    show();
    raise();
    linger_.start();
  }

  void place() {
    const QScrollBar* bar = area_->verticalScrollBar();
    const QRect page = area_->viewport()->geometry();
    const double whole = bar->maximum() + bar->pageStep();
    const int length = std::max(kShortest, static_cast<int>(page.height() * bar->pageStep() / std::max(1.0, whole)));
    const double along = bar->maximum() > 0 ? std::clamp(double(bar->value()) / bar->maximum(), 0.0, 1.0) : 0;
    setGeometry(page.right() - kMargin - kThickness + 1,
                page.top() + static_cast<int>((page.height() - length) * along), kThickness, length);
  }

  QAbstractScrollArea* area_;
  QTimer linger_;
};

}  // namespace

void enableKineticScrolling(QAbstractScrollArea* area) {
  DragToScroll::installOnce();
  QWidget* viewport = area->viewport();
  viewport->setProperty(kScrollsByDrag, true);
  QScroller* scroller = QScroller::scroller(viewport);
  QScrollerProperties properties = scroller->scrollerProperties();
  // The drag has already been told apart from a tap and a swipe: the scroller follows it at once.
  properties.setScrollMetric(QScrollerProperties::DragStartDistance, 0.0001);
  properties.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy, QScrollerProperties::OvershootAlwaysOff);
  properties.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                             QScrollerProperties::OvershootWhenScrollable);
  scroller->setScrollerProperties(properties);
}

void showScrollIndicator(QAbstractScrollArea* area) { new ScrollIndicator(area); }

}  // namespace quell
