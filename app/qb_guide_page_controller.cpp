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
constexpr double kStripTop = 150, kStripHeight = 360, kStripInset = 50;

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
  const double w = width();
  itemWidth_ = w - 100;
  itemSpacing_ = 35;
  images_ = {"Guide_1.png", "Guide_2.png", "Guide_3.png"};
  // The steps on Linux: the app's own settings page, where the filter service is switched on.
  accessibilityLabels_ = {"设置页面打开过滤收到的短信", "确认 ModemManager 已找到调制解调器",
                          "可选：打开从调制解调器删除垃圾短信"};
  setBackgroundColor(this, qb_mainColor());
  // The background picture shows only on systems without appearances; elsewhere the page colour does,
  // so that the dark appearance can change it.
  if (!systemSupportsDynamicColors()) {
    auto* background = new QLabel(this);
    background->setGeometry(rect());
    background->setScaledContents(true);
    background->setPixmap(QPixmap::fromImage(imageNamed("GuidePage_bg.png")));
    background->show();
  }

  UICollectionViewFlowLayout layout;
  layout.scrollDirection = UICollectionViewFlowLayout::ScrollDirection::kHorizontal;
  layout.minimumLineSpacing = itemSpacing_;
  layout.itemSize = QSizeF(itemWidth_, kStripHeight);
  layout.sectionInset = QMarginsF(kStripInset, kStripInset, kStripInset, kStripInset);
  collectionView_ = new UICollectionView(layout, this);
  collectionView_->setGeometry(QRectF(0, kStripTop, w, kStripHeight).toRect());
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

  auto* titleLabel = new QLabel("垃圾短信过滤开启教程", this);
  titleLabel->setGeometry(0, 50, static_cast<int>(w), 50);
  setPixelFont(titleLabel, 30);
  titleLabel->setAlignment(Qt::AlignCenter);
  titleLabel->setStyleSheet("color: white;");
  titleLabel->show();

  auto* setupPageLabel = new QLabel("前往设置 > 过滤收到的短信", this);
  setupPageLabel->setAccessibleName("点击前往设置，再打开过滤收到的短信");
  setupPageLabel->setGeometry(0, 100, static_cast<int>(w), 20);
  setPixelFont(setupPageLabel, 15);
  setupPageLabel->setAlignment(Qt::AlignCenter);
  setTextColor(setupPageLabel, qb_secondaryLabel());
  setupPageLabel->show();

  auto* completionButton = new QPushButton("前往设置", this);
  completionButton->setGeometry(40, 550, static_cast<int>(w) - 80, 50);
  setPixelFont(completionButton, 17);
  completionButton->setStyleSheet(
      "QPushButton { color: white; background: transparent; border: 1px solid white; border-radius: 10px; }"
      "QPushButton:pressed { background: rgba(255,255,255,40); }");
  connect(completionButton, &QPushButton::clicked, this, &QBGuidePageController::completionAction);
  completionButton->show();

  auto* dismissButton = new QPushButton("×", this);
  dismissButton->setAccessibleName("关闭");
  dismissButton->setGeometry(15, 10, 50, 50);
  setPixelFont(dismissButton, 20);
  dismissButton->setStyleSheet(
      "QPushButton { color: white; background: transparent; border: none; border-radius: 10px; }");
  connect(dismissButton, &QPushButton::clicked, this, &QBGuidePageController::dismissAction);
  dismissButton->show();
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
