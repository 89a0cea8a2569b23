#include "platform/ui/hud.h"

#include <QPainter>
#include <QPainterPath>

namespace quell {

namespace {

constexpr int kSide = 156;

class HudView : public QWidget {
 public:
  HudView(QWidget* parent, PKHUD::Content content, QString text)
      : QWidget(parent), content_(content), text_(std::move(text)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(44, 44, 46, 235));  // dark, so that it stands out on the light page and the dark one
    painter.drawRoundedRect(rect(), 12, 12);
    painter.setPen(QPen(QColor(255, 255, 255), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPointF c = QRectF(rect()).center();
    if (content_ == PKHUD::Content::kSuccess) {
      QPainterPath check;
      check.moveTo(c + QPointF(-30, 2));
      check.lineTo(c + QPointF(-8, 24));
      check.lineTo(c + QPointF(32, -22));
      painter.drawPath(check);
    } else if (content_ == PKHUD::Content::kError) {
      painter.drawLine(c + QPointF(-26, -26), c + QPointF(26, 26));
      painter.drawLine(c + QPointF(26, -26), c + QPointF(-26, 26));
    } else {
      painter.setPen(QColor(255, 255, 255));
      painter.drawText(rect(), Qt::AlignCenter, text_);
    }
  }

 private:
  PKHUD::Content content_;
  QString text_;
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
  QSize size = content_ == Content::kText ? QSize(std::max(120, QFontMetrics(font).horizontalAdvance(text_) + 48), 64)
                                          : QSize(kSide, kSide);
  view->setGeometry(
      QRect(QPoint((window_->width() - size.width()) / 2, (window_->height() - size.height()) / 2), size));
  view->setAccessibleName(accessibilityLabel_);
  view->show();
  view->raise();
  view_ = view;
}

void PKHUD::hide(int afterMs) { hideTimer_.start(afterMs); }

void PKHUD::hideNow() {
  if (view_) view_->deleteLater();
  view_ = nullptr;
}

}  // namespace quell
