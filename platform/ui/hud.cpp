#include "platform/ui/hud.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include "platform/ui/trait_collection.h"

namespace quell {

namespace {

constexpr int kSide = 156, kTextRow = 34, kWindowMargin = 20;

class HudView : public QWidget {
 public:
  HudView(QWidget* parent, PKHUD::Content content, QString text)
      : QWidget(parent), content_(content), text_(std::move(text)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (content_ == PKHUD::Content::kProgress) {
      auto* turn = new QVariantAnimation(this);
      turn->setStartValue(0.0);
      turn->setEndValue(360.0);
      turn->setDuration(1000);
      turn->setLoopCount(-1);
      connect(turn, &QVariantAnimation::valueChanged, this, [this](const QVariant& angle) {
        angle_ = angle.toDouble();
        update();
      });
      turn->start();
    }
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Opaque, so nothing behind shows through. In light, a dark box stands out on the light page; in dark,
    // a lighter grey with a hairline edge stands out from the black page and the dark grey rows alike.
    const bool dark = TraitCollection::current().userInterfaceStyle == UIUserInterfaceStyle::Dark;
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(dark ? QPen(QColor(255, 255, 255, 70), 1) : QPen(Qt::NoPen));
    painter.setBrush(dark ? QColor(0x48, 0x48, 0x4A) : QColor(44, 44, 46));
    painter.drawRoundedRect(box, 12, 12);
    if (content_ == PKHUD::Content::kText) {
      painter.setPen(QColor(255, 255, 255));
      painter.drawText(rect().adjusted(12, 0, -12, 0), Qt::AlignCenter | Qt::TextWordWrap, text_);
      return;
    }
    // A mark, centred in the square above the text row when there is a text.
    const int markHeight = text_.isEmpty() ? height() : height() - kTextRow;
    if (!text_.isEmpty()) {
      painter.setPen(QColor(255, 255, 255));
      painter.drawText(QRect(12, markHeight - 12, width() - 24, kTextRow), Qt::AlignHCenter | Qt::AlignTop, text_);
    }
    // The marks are strokes only: no fill.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPointF c(width() / 2.0, markHeight / 2.0);
    if (content_ == PKHUD::Content::kProgress) {
      painter.drawArc(QRectF(c - QPointF(26, 26), QSizeF(52, 52)), static_cast<int>(-angle_ * 16), 270 * 16);
    } else if (content_ == PKHUD::Content::kSuccess) {
      QPainterPath check;
      check.moveTo(c + QPointF(-30, 2));
      check.lineTo(c + QPointF(-8, 24));
      check.lineTo(c + QPointF(32, -22));
      painter.drawPath(check);
    } else {
      painter.drawLine(c + QPointF(-26, -26), c + QPointF(26, 26));
      painter.drawLine(c + QPointF(26, -26), c + QPointF(-26, 26));
    }
  }

 private:
  PKHUD::Content content_;
  QString text_;
  double angle_ = 0;
};

}  // namespace

PKHUD::PKHUD() {
  hideTimer_.setSingleShot(true);
  connect(&hideTimer_, &QTimer::timeout, this, &PKHUD::hideNow);
}

PKHUD& PKHUD::sharedHUD() {
  static PKHUD* hud = new PKHUD;  // for the whole process
  return *hud;
}

void PKHUD::setMainWindow(QWidget* window) {
  sharedHUD().hideNow();
  sharedHUD().window_ = window;
}

void PKHUD::setContentView(Content content, const QString& text) {
  content_ = content;
  text_ = text;
  accessibilityLabel_.clear();
}

void PKHUD::setAccessibilityLabel(const QString& label) {
  accessibilityLabel_ = label;
  if (view_) view_->setAccessibleName(label);
}

void PKHUD::show() {
  hideTimer_.stop();
  hideNow();
  if (!window_) return;  // no window: nothing to show on
  auto* view = new HudView(window_, content_, text_);
  QFont font = view->font();
  font.setPixelSize(17);
  view->setFont(font);
  const int room = std::max(kSide, window_->width() - 2 * kWindowMargin);
  const int textWidth = QFontMetrics(font).horizontalAdvance(text_);
  QSize size;
  if (content_ == Content::kText) {
    const int w = std::clamp(textWidth + 48, 120, room);
    size = QSize(
        w, std::max(64, QFontMetrics(font)
                                .boundingRect(QRect(0, 0, w - 24, 1000), Qt::AlignCenter | Qt::TextWordWrap, text_)
                                .height() +
                            40));
  } else {
    size = QSize(std::clamp(textWidth + 32, kSide, room), text_.isEmpty() ? kSide : kSide + kTextRow);
  }
  view->setGeometry(
      QRect(QPoint((window_->width() - size.width()) / 2, (window_->height() - size.height()) / 2), size));
  view->setAccessibleName(accessibilityLabel_);
  view->show();
  view->raise();
  view_ = view;
}

void PKHUD::hide(int afterMs) { hideTimer_.start(afterMs); }

void PKHUD::hideNow() {
  if (view_) {
    view_->hide();  // at once: a content shown next never shares the screen with this one
    view_->deleteLater();
  }
  view_ = nullptr;
}

}  // namespace quell
