#include "app/qb_panel_cells.h"

#include <QAccessible>
#include <QPixmap>

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

void labelColour(QLabel* label) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, UIColor::labelColor().resolved());
  label->setPalette(palette);
}

}  // namespace

QBRulesCell::QBRulesCell(QWidget* parent)
    : QWidget(parent), imageView(new QLabel(this)), titleLabel(new QLabel(this)) {
  imageView->setAlignment(Qt::AlignCenter);
  titleLabel->setAlignment(Qt::AlignCenter);
  setFontSize(titleLabel, 15);
  setCursor(Qt::PointingHandCursor);
}

void QBRulesCell::resizeEvent(QResizeEvent*) {
  const int w = width(), h = height();
  imageView->setGeometry(0, 20, w, h / 2 - 20);
  titleLabel->setGeometry(0, h / 2, w, h / 2);
}

void QBRulesCell::configure(const QString& title, const QImage& image) {
  titleLabel->setText(title);
  labelColour(titleLabel);
  showImage(imageView, image);
  setAccessibleName(title);  // one element: the tile, named by its title
}

QBFunctionCell::QBFunctionCell(QWidget* parent)
    : QWidget(parent), imageView(new QLabel(this)), titleLabel(new QLabel(this)) {
  imageView->setAlignment(Qt::AlignCenter);
  titleLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  titleLabel->setWordWrap(true);
  setFontSize(titleLabel, 20);
  setCursor(Qt::PointingHandCursor);
}

void QBFunctionCell::resizeEvent(QResizeEvent*) {
  const int w = width(), h = height();
  imageView->setGeometry(25, 0, 32, h);
  titleLabel->setGeometry(82, 0, w - 32, h);
}

void QBFunctionCell::configure(const QString& title, const QImage& image) {
  titleLabel->setText(title);
  labelColour(titleLabel);
  showImage(imageView, image);
  setAccessibleName(title);
}

}  // namespace quell
