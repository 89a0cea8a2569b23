#include "app/qb_panel_cells.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
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

// The icon scaled into the label's box, its aspect ratio kept.
void showImage(QLabel* view, const QImage& image) {
  if (image.isNull() || view->size().isEmpty()) {
    view->clear();
    return;
  }
  QPixmap pixmap = QPixmap::fromImage(image).scaled(view->size() * view->devicePixelRatioF(), Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation);
  pixmap.setDevicePixelRatio(view->devicePixelRatioF());
  view->setPixmap(pixmap);
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
  setFocusPolicy(Qt::StrongFocus);
  imageView->setAlignment(Qt::AlignCenter);
  titleLabel->setTextFormat(Qt::PlainText);
  setTextColor(titleLabel, UIColor::labelColor());
  titleLabel->setAlignment(titleAlignment);
  setFontSize(titleLabel, titlePixelSize);
  setCursor(Qt::PointingHandCursor);
}

void QBIconCell::configure(const QString& title, const QImage& image) {
  titleLabel->setText(title);
  showImage(imageView, image);
  setAccessibleName(title);  // one element: the cell, named by its title
}

void QBIconCell::paintEvent(QPaintEvent*) {
  if (!hasFocus()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 122, 255), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 10, 10);
}

QBRulesCell::QBRulesCell(QWidget* parent) : QBIconCell(parent, Qt::AlignCenter, 15) {}

void QBRulesCell::resizeEvent(QResizeEvent*) {
  const int w = width(), h = height();
  imageView->setGeometry(0, 20, w, h / 2 - 20);
  titleLabel->setGeometry(0, h / 2, w, h / 2);
}

QBFunctionCell::QBFunctionCell(QWidget* parent) : QBIconCell(parent, Qt::AlignLeft | Qt::AlignVCenter, 20) {
  titleLabel->setWordWrap(true);
}

void QBFunctionCell::resizeEvent(QResizeEvent*) {
  const int w = width(), h = height();
  imageView->setGeometry(25, 0, 32, h);
  titleLabel->setGeometry(82, 0, w - 32, h);
}

}  // namespace quell
