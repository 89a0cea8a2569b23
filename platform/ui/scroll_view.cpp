#include "platform/ui/scroll_view.h"

#include <QPainter>

#include "platform/ui/kinetic_scrolling.h"

namespace quell {

UIScrollView::UIScrollView(QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // a thin indicator shows while it scrolls instead
  setWidget(new QWidget);
  widget()->setAttribute(Qt::WA_TranslucentBackground);
  viewport()->setAutoFillBackground(false);
  setFocusPolicy(Qt::NoFocus);  // the keyboard stops at what the page holds, and scrolls it into view
  enableKineticScrolling(this);
  showScrollIndicator(this);
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
