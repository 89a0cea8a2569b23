#include "app/qb_guide_page_controller.h"

#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include "app/guide_snapping.h"
#include "platform/ui/dynamic_palette.h"
#include "platform/ui/image_resources.h"
#include "platform/ui/system_services.h"
#include "platform/ui/system_version.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"

namespace quell {

namespace {
// Where the design puts the parts on a phone held upright; a page at least kRoomyHeight high uses them.
constexpr int kTitleTop = 50, kStripTop = 150, kStripHeight = 360, kButtonTop = 550, kRoomyHeight = 620;
constexpr double kStripInset = 50, kCardAspect = 275.0 / 360.0;       // a card's width for its height
constexpr int kButtonHeight = 50, kWidestButton = 400, kMargin = 15;  // the widest column too

void setPixelFont(QWidget* widget, int pixelSize) {
  QFont font = widget->font();
  font.setPixelSize(pixelSize);
  widget->setFont(font);
}
}  // namespace

QBGuidePageCell::QBGuidePageCell(QWidget* parent) : QWidget(parent), imageView(new QLabel(this)) {
  imageView->hide();  // the card draws its image itself, aspect-filled and clipped to its rounded corners
}

void QBGuidePageCell::setImage(const QImage& image) {
  image_ = image;
  update();
}

void QBGuidePageCell::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  QPainterPath card;
  card.addRoundedRect(QRectF(rect()), 10, 10);
  painter.fillPath(card, Qt::white);
  if (image_.isNull()) return;  // a missing image leaves the card blank
  painter.setClipPath(card);
  QSizeF filled = QSizeF(image_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatioByExpanding);
  painter.drawImage(QRectF(QPointF((width() - filled.width()) / 2, (height() - filled.height()) / 2), filled), image_);
}

QBGuidePageController::QBGuidePageController(QWidget* parent) : UIViewController(parent) {}

void QBGuidePageController::viewDidLoad() {
  itemSpacing_ = 35;
  images_ = {"Guide_1.png", "Guide_2.png", "Guide_3.png"};
  // The steps on Linux: the app's own settings page, where the filter service is switched on.
  accessibilityLabels_ = {"设置页面打开过滤收到的短信", "确认 ModemManager 已找到调制解调器",
                          "可选：打开从调制解调器删除垃圾短信"};
  setBackgroundColor(this, qb_mainColor());
  // The background picture shows only on systems without appearances; elsewhere the page colour does,
  // so that the dark appearance can change it.
  if (!systemSupportsDynamicColors()) {
    backgroundView_ = new QLabel(this);
    backgroundView_->setScaledContents(true);
    backgroundView_->setPixmap(QPixmap::fromImage(imageNamed("GuidePage_bg.png")));
    backgroundView_->show();
  }

  collectionView_ = new UICollectionView(UICollectionViewFlowLayout(), this);
  collectionView_->setScrollEnabled(true);
  collectionView_->scrollViewWillEndDragging = [this](QPointF v, QPointF* target) {
    scrollViewWillEndDragging(v, target);
  };
  collectionView_->setDataSource({
      [this] { return static_cast<int>(images_.size()); },
      [](QWidget* parent) -> QWidget* { return new QBGuidePageCell(parent); },
      [this](QWidget* cell, int row) {
        static_cast<QBGuidePageCell*>(cell)->setImage(imageNamed(images_[row]));
        cell->setAccessibleName(accessibilityLabels_[row]);  // the step, not the picture
      },
      nullptr,
  });
  collectionView_->show();
  collectionView_->reloadData();

  titleLabel_ = new QLabel("垃圾短信过滤开启教程", this);
  setPixelFont(titleLabel_, 30);
  titleLabel_->setAlignment(Qt::AlignCenter);
  titleLabel_->setStyleSheet("color: white;");
  titleLabel_->show();

  setupPageLabel_ = new QLabel("前往设置 > 过滤收到的短信", this);
  setupPageLabel_->setAccessibleName("点击前往设置，再打开过滤收到的短信");
  setPixelFont(setupPageLabel_, 15);
  setupPageLabel_->setAlignment(Qt::AlignCenter);
  // Light on the blue page (5.2:1); the grey the design names reads at 1.7:1 there.
  setTextColor(setupPageLabel_, quell::create(UIColor::colorWithRGBA(1, 1, 1, 0.85), qb_secondaryLabel()));
  setupPageLabel_->show();

  completionButton_ = new QPushButton("前往设置", this);
  setPixelFont(completionButton_, 17);
  completionButton_->setStyleSheet(
      "QPushButton { color: white; background: transparent; border: 1px solid white; border-radius: 10px; }"
      "QPushButton:pressed { background: rgba(255,255,255,40); }");
  connect(completionButton_, &QPushButton::clicked, this, &QBGuidePageController::completionAction);
  completionButton_->show();

  dismissButton_ = new QPushButton("×", this);
  dismissButton_->setAccessibleName("关闭");
  setPixelFont(dismissButton_, 20);
  dismissButton_->setStyleSheet(
      "QPushButton { color: white; background: transparent; border: none; border-radius: 10px; }");
  connect(dismissButton_, &QPushButton::clicked, this, &QBGuidePageController::dismissAction);
  dismissButton_->show();
  setEscapeButton(dismissButton_);
  layoutGuide();
}

void QBGuidePageController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutGuide();
}

// Everything from the page's size. A page at least kRoomyHeight high has the parts where the design puts
// them, stacked. A shorter page held sideways (a phone in landscape) puts the title, the settings path and
// "前往设置" in a column on the left and the strip, as tall as the page, on the right; a short upright page
// stacks them closer, the strip taking the height left. The cards keep the design's proportions (275 wide
// for 360 high) and are at most their column's width less 100, so none is cut off; the card the strip
// rests on is centred in its column.
void QBGuidePageController::layoutGuide() {
  if (!collectionView_) return;
  const int w = width(), h = height();
  const bool roomy = h >= kRoomyHeight, sideways = !roomy && w > h;
  // The column the texts and "前往设置" sit in, and the strip's box.
  const int column = sideways ? std::min(w / 2, kWidestButton) : w;
  const int titleTop = roomy ? kTitleTop : 60;
  const int pathTop = titleTop + 50;
  const int buttonTop = roomy ? kButtonTop : h - kButtonHeight - kMargin;
  QRect strip;
  if (roomy)
    strip = QRect(0, kStripTop, w, kStripHeight);
  else if (sideways)
    strip = QRect(column, kMargin, w - column, h - 2 * kMargin);
  else
    strip = QRect(0, pathTop + 30, w, std::max(0, buttonTop - kMargin - (pathTop + 30)));

  if (backgroundView_) backgroundView_->setGeometry(rect());
  dismissButton_->setGeometry(15, 10, 50, 50);
  titleLabel_->setGeometry(0, titleTop, column, 50);
  setupPageLabel_->setGeometry(0, pathTop, column, 20);
  const int buttonWidth = std::min(column - 80, kWidestButton);
  completionButton_->setGeometry((column - buttonWidth) / 2, buttonTop, buttonWidth, kButtonHeight);

  itemWidth_ = std::max(1.0, std::min(strip.width() - 100.0, strip.height() * kCardAspect));
  const double side = (strip.width() - itemWidth_) / 2;
  UICollectionViewFlowLayout layout;
  layout.scrollDirection = UICollectionViewFlowLayout::ScrollDirection::kHorizontal;
  layout.minimumLineSpacing = itemSpacing_;
  layout.itemSize = QSizeF(itemWidth_, strip.height());
  layout.sectionInset = QMarginsF(side, kStripInset, side, kStripInset);
  collectionView_->setGeometry(strip);
  collectionView_->setCollectionViewLayout(layout);
  collectionView_->setContentOffset(QPointF(currentPage_ * (itemWidth_ + itemSpacing_), 0), false);
}

void QBGuidePageController::scrollViewWillEndDragging(QPointF velocity, QPointF* target) {
  const float pageWidth = static_cast<float>(itemWidth_ + itemSpacing_);
  GuideSnap snap =
      snapGuidePage(static_cast<float>(velocity.x()), static_cast<float>(target->x()), currentPage_, pageWidth,
                    static_cast<float>(collectionView_->contentSize().width()), static_cast<int>(images_.size()));
  currentPage_ = snap.page;
  target->setX(snap.offsetX);
}

void QBGuidePageController::completionAction() { openURL(QUrl(UIApplicationOpenSettingsURLString)); }

void QBGuidePageController::dismissAction() { dismissViewController(true); }

}  // namespace quell
