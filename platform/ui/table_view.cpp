#include "platform/ui/table_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/ui/dynamic_palette.h"

namespace quell {

namespace {
constexpr int kSwipeOpensAt = UITableViewCell::kDeleteWidth / 2, kTextInset = 16, kSubtitleMargin = 11;
}

UITableViewCell::UITableViewCell(int row, Style style, bool swipeToDelete, QWidget* parent)
    : QWidget(parent),
      row_(row),
      style_(style),
      swipeToDelete_(swipeToDelete),
      content_(new QWidget(this)),
      label_(new QLabel(content_)),
      delete_(new QPushButton("删除", this)) {
  // Rows show text as it is: markup in an entry is text, not formatting.
  label_->setTextFormat(Qt::PlainText);
  setTextColor(label_, UIColor::labelColor());  // subtitle cells get their colours from the screen
  if (style_ == Style::kSubtitle) {
    detail_ = new QLabel(content_);
    detail_->setTextFormat(Qt::PlainText);
    detail_->setWordWrap(true);
    detail_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  delete_->setStyleSheet("QPushButton { background: #FF3B30; color: white; border: none; font-size: 17px; }");
  delete_->setAccessibleName("删除");
  delete_->hide();
  connect(delete_, &QPushButton::clicked, this, [this] { emit deleteTapped(row_); });
  QFont font = label_->font();
  font.setPixelSize(17);
  label_->setFont(font);
  content_->setAutoFillBackground(false);
  content_->raise();
}

void UITableViewCell::setCellBackgroundColor(const UIColor& color) {
  background_ = color;
  update();
}

int UITableViewCell::rowHeight(int w) const {
  if (style_ == Style::kDefault) return kHeight;
  const int textWidth = std::max(1, w - 2 * kTextInset);
  return kSubtitleMargin + label_->heightForWidth(textWidth) + 2 + detail_->heightForWidth(textWidth) + kSubtitleMargin;
}

void UITableViewCell::placeContent(int offset) {
  offset_ = std::clamp(offset, -kDeleteWidth, 0);
  content_->setGeometry(offset_, 0, width(), height());
  const int textWidth = std::max(0, width() - 2 * kTextInset);
  if (style_ == Style::kSubtitle) {
    label_->setWordWrap(true);
    int titleHeight = label_->heightForWidth(textWidth);
    label_->setGeometry(kTextInset, kSubtitleMargin, textWidth, titleHeight);
    detail_->setGeometry(kTextInset, kSubtitleMargin + titleHeight + 2, textWidth, detail_->heightForWidth(textWidth));
  } else {
    label_->setGeometry(kTextInset, 0, textWidth, height());
  }
  delete_->setGeometry(width() - kDeleteWidth, 0, kDeleteWidth, height());
  delete_->setVisible(offset_ < 0);
  update();
}

void UITableViewCell::setShowingDeleteButton(bool open) {
  open_ = open;
  placeContent(open ? -kDeleteWidth : 0);
}

void UITableViewCell::mousePressEvent(QMouseEvent* event) {
  if (!swipeToDelete_) return;
  pressX_ = static_cast<int>(event->position().x()) - offset_;
}

void UITableViewCell::mouseMoveEvent(QMouseEvent* event) {
  if (!pressX_) return;
  int dx = static_cast<int>(event->position().x()) - *pressX_;
  if (dx < 0 && offset_ == 0) emit swipeStarted(this);
  placeContent(dx);
}

void UITableViewCell::mouseReleaseEvent(QMouseEvent*) {
  if (!pressX_) return;
  pressX_.reset();
  setShowingDeleteButton(offset_ <= -kSwipeOpensAt);
}

void UITableViewCell::resizeEvent(QResizeEvent*) { placeContent(offset_); }

void UITableViewCell::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect face(offset_, 0, width(), height());
  if (background_) painter.fillRect(face, background_->resolved());
  if (separator_)
    painter.fillRect(QRect(kTextInset + offset_, height() - 1, width() - kTextInset, 1), QColor(128, 128, 128, 70));
}

UITableView::UITableView(QWidget* parent) : QScrollArea(parent), body_(new QWidget) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // no indicator, as the screen wants
  setWidget(body_);
  body_->setAutoFillBackground(false);  // setWidget turned it on; the viewport paints the background
  setWidgetResizable(false);
}

void UITableView::setTableHeaderView(QWidget* header) {
  if (header_) header_->deleteLater();
  header_ = header;
  header_->setParent(body_);
  layoutRows();
}

void UITableView::setBackgroundColor(const UIColor& color) {
  background_ = color;
  viewport()->setAutoFillBackground(false);  // paintEvent fills it
  viewport()->update();
}

void UITableView::paintEvent(QPaintEvent* event) {
  // Resolved when drawn, so the page follows a change of appearance.
  if (background_) QPainter(viewport()).fillRect(viewport()->rect(), background_->resolved());
  QScrollArea::paintEvent(event);
}

void UITableView::reloadData() {
  for (auto* cell : cells_) cell->deleteLater();
  cells_.clear();
  const int rows = source_.numberOfRows ? source_.numberOfRows() : 0;
  for (int row = 0; row < rows; ++row) {
    auto* cell = new UITableViewCell(row, style_, static_cast<bool>(source_.commitDelete), body_);
    cell->setShowsSeparator(separators_);
    cell->setDeleteTitle(source_.deleteTitle);
    if (source_.configureCell) source_.configureCell(*cell);
    connect(cell, &UITableViewCell::deleteTapped, this, [this](int r) {
      if (source_.commitDelete) source_.commitDelete(r);
    });
    // One row shows its delete button at a time.
    connect(cell, &UITableViewCell::swipeStarted, this, [this](UITableViewCell* swiping) {
      for (auto* other : cells_)
        if (other != swiping && other->isShowingDeleteButton()) other->setShowingDeleteButton(false);
    });
    cell->show();
    cells_.push_back(cell);
  }
  layoutRows();
}

UITableViewCell* UITableView::cellForRow(int row) const {
  return row >= 0 && row < numberOfRows() ? cells_[static_cast<std::size_t>(row)] : nullptr;
}

void UITableView::layoutRows() {
  const int w = viewport()->width();
  int y = 0;
  if (header_) {
    header_->setGeometry(0, 0, w, header_->height());
    y = header_->height();
  }
  for (auto* cell : cells_) {
    int h = cell->rowHeight(w);
    cell->setGeometry(0, y, w, h);
    y += h;
  }
  body_->resize(w, std::max(y, viewport()->height()));
}

void UITableView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  layoutRows();
}

}  // namespace quell
