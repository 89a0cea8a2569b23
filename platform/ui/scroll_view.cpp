#include "platform/ui/scroll_view.h"

#include <QPainter>
#include <QScroller>

namespace quell {

UIScrollView::UIScrollView(QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the wheel, keys and drags scroll
  setWidget(new QWidget);
  widget()->setAttribute(Qt::WA_TranslucentBackground);
  viewport()->setAutoFillBackground(false);
  // Drags with a finger (or the mouse on a touch-style desktop) scroll with momentum and bounce back.
  QScroller::grabGesture(viewport(), QScroller::TouchGesture);
}

void UIScrollView::setContentSize(QSize size) {
  contentSize_ = size;
  sizeContent();
}

void UIScrollView::setBackgroundColor(const UIColor& color) {
  background_ = color;
  viewport()->update();
}

void UIScrollView::sizeContent() {
  int w = contentSize_.width() > 0 ? contentSize_.width() : viewport()->width();
  widget()->resize(w, contentSize_.height());
}

void UIScrollView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  sizeContent();
}

void UIScrollView::paintEvent(QPaintEvent* event) {
  QPainter(viewport()).fillRect(viewport()->rect(), background_.resolved());
  QScrollArea::paintEvent(event);
}

}  // namespace quell
