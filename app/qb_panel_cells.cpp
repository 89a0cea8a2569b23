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

QBIconCell::QBIconCell(QWidget* parent, Qt::Alignment titleAlignment, int titlePixelSize)
    : QWidget(parent), imageView(new QLabel(this)), titleLabel(new QLabel(this)) {
  imageView->setAlignment(Qt::AlignCenter);
  titleLabel->setAlignment(titleAlignment);
  setFontSize(titleLabel, titlePixelSize);
  setCursor(Qt::PointingHandCursor);
}

void QBIconCell::configure(const QString& title, const QImage& image) {
  titleLabel->setText(title);
  labelColour(titleLabel);
  showImage(imageView, image);
  setAccessibleName(title);  // one element: the cell, named by its title
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
