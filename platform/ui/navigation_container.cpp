#include "platform/ui/navigation_container.h"

#include <QPainter>

#include "platform/ui/dynamic_palette.h"
#include "platform/ui/view_controller.h"

namespace quell {

namespace {
constexpr int kBarRow = 44, kLargeTitleRow = 52, kSideMargin = 16;
}  // namespace

NavigationContainer::NavigationContainer(UIViewController* root, QWidget* parent)
    : QWidget(parent), root_(root), title_(new QLabel(this)) {
  root_->setParent(this);
  title_->setTextFormat(Qt::PlainText);
  title_->setText(root_->title());
  connect(root_, &UIViewController::titleChanged, title_, &QLabel::setText);
  setPrefersLargeTitles(false);
}

void NavigationContainer::setPrefersLargeTitles(bool large) {
  largeTitles_ = large;
  layoutBar();
}

void NavigationContainer::setBarBackgroundColor(const UIColor& color) {
  barColor_ = color;
  update();
}

void NavigationContainer::setShowsHairline(bool shows) {
  hairline_ = shows;
  update();
}

QPushButton* NavigationContainer::makeBarButton(QPushButton*& slot, const QString& title, bool done) {
  if (slot) {
    slot->hide();
    slot->deleteLater();  // it may be the very button whose click is being handled
    slot = nullptr;
  }
  if (title.isEmpty()) return nullptr;
  slot = new QPushButton(title, this);
  slot->setFlat(true);
  slot->setCursor(Qt::PointingHandCursor);
  QFont font = slot->font();
  font.setPixelSize(17);
  font.setBold(done);
  slot->setFont(font);
  slot->setStyleSheet("QPushButton { border: none; background: transparent; padding: 0 4px; }");
  setDynamicPaletteColor(slot, QPalette::ButtonText, UIColor::systemBlueColor());
  slot->show();
  layoutBar();
  return slot;
}

QPushButton* NavigationContainer::setLeftBarButton(const QString& title, bool done) {
  return makeBarButton(left_, title, done);
}

QPushButton* NavigationContainer::setRightBarButton(const QString& title, bool done) {
  return makeBarButton(right_, title, done);
}

int NavigationContainer::barHeight() const { return kBarRow + (showsLargeTitle() ? kLargeTitleRow : 0); }

void NavigationContainer::layoutBar() {
  const int w = width();
  const bool large = showsLargeTitle();
  QFont font = title_->font();
  font.setPixelSize(large ? 34 : 17);
  font.setBold(true);
  title_->setFont(font);
  title_->setAlignment(large ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  if (left_) left_->setGeometry(kSideMargin - 4, 0, left_->sizeHint().width(), kBarRow);
  if (right_)
    right_->setGeometry(w - kSideMargin + 4 - right_->sizeHint().width(), 0, right_->sizeHint().width(), kBarRow);
  if (large)
    title_->setGeometry(kSideMargin, kBarRow, w - 2 * kSideMargin, kLargeTitleRow);
  else
    title_->setGeometry(80, 0, std::max(0, w - 160), kBarRow);
  root_->setGeometry(0, barHeight(), w, std::max(0, height() - barHeight()));
  update();
}

void NavigationContainer::resizeEvent(QResizeEvent*) { layoutBar(); }

void NavigationContainer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(QRect(0, 0, width(), barHeight()), barColor_.value_or(UIColor::systemBackgroundColor()).resolved());
  QPalette palette = title_->palette();
  palette.setColor(QPalette::WindowText, UIColor::labelColor().resolved());
  title_->setPalette(palette);
  if (hairline_) painter.fillRect(QRect(0, barHeight() - 1, width(), 1), QColor(0, 0, 0, 40));
}

}  // namespace quell
