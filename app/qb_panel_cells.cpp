#include "app/qb_panel_cells.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPixmap>

#include "platform/ui/collection_view.h"
#include "platform/ui/dynamic_palette.h"
#include "platform/ui/ui_color.h"

namespace quell {

namespace {

void setFontSize(QLabel* label, int px) {
  QFont font = label->font();
  font.setPixelSize(px);
  label->setFont(font);
}

// A cell as assistive technology sees it: one button, named by the cell's title, with no children.
class IconCellAccessible : public QAccessibleWidget {
 public:
  explicit IconCellAccessible(QWidget* cell) : QAccessibleWidget(cell, QAccessible::Button) {}
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action != pressAction()) return;
    if (auto* collection = qobject_cast<UICollectionView*>(widget()->parentWidget()))
      collection->activateCell(widget());
  }
};

QAccessibleInterface* iconCellAccessible(const QString&, QObject* object) {
  auto* cell = qobject_cast<QBIconCell*>(object);
  return cell ? new IconCellAccessible(cell) : nullptr;
}

}  // namespace

QBIconCell::QBIconCell(QWidget* parent, Qt::Alignment titleAlignment, int titlePixelSize)
    : QWidget(parent), imageView(new QLabel(this)), titleLabel(new QLabel(this)) {
  static const bool installed = (QAccessible::installFactory(iconCellAccessible), true);
  (void)installed;
  setFocusPolicy(Qt::TabFocus);  // the keyboard reaches every cell; a tap moves no focus
  imageView->setAlignment(Qt::AlignCenter);
  titleLabel->setTextFormat(Qt::PlainText);
  setTextColor(titleLabel, UIColor::labelColor());
  titleLabel->setAlignment(titleAlignment);
  setFontSize(titleLabel, titlePixelSize);
  setCursor(Qt::PointingHandCursor);
}

void QBIconCell::configure(const QString& title, const QImage& image) {
  titleLabel->setText(title);
  image_ = image;
  showImage();
  setAccessibleName(title);  // one element: the cell, named by its title
}

void QBIconCell::resizeEvent(QResizeEvent*) {
  placeContent(width(), height());
  showImage();
}

// The icon scaled into its box, its aspect ratio kept.
void QBIconCell::showImage() {
  if (image_.isNull() || imageView->size().isEmpty()) {
    imageView->clear();
    return;
  }
  const qreal ratio = imageView->devicePixelRatioF();
  QPixmap pixmap =
      QPixmap::fromImage(image_).scaled(imageView->size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  pixmap.setDevicePixelRatio(ratio);
  imageView->setPixmap(pixmap);
}

QBRulesCell::QBRulesCell(QWidget* parent) : QBIconCell(parent, Qt::AlignCenter, 15) { titleLabel->setWordWrap(true); }

void QBRulesCell::placeContent(int w, int h) {
  imageView->setGeometry(0, 20, w, h / 2 - 20);
  titleLabel->setGeometry(0, h / 2, w, h / 2);
}

QBFunctionCell::QBFunctionCell(QWidget* parent) : QBIconCell(parent, Qt::AlignLeft | Qt::AlignVCenter, 20) {
  titleLabel->setWordWrap(true);
}

void QBFunctionCell::placeContent(int w, int h) {
  imageView->setGeometry(25, 0, 32, h);
  titleLabel->setGeometry(82, 0, w - 82, h);
}

}  // namespace quell
